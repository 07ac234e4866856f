// Every writer of the program's files against the folder it cannot write to: each says why with
// the system's own text, leaves the file that was there as it was and leaves nothing else behind.
#include "cli/CliError.h"
#include "cli/PresetStore.h"
#include "config/AtomicFile.h"
#include "config/PresetFile.h"
#include "emulator/DeviceState.h"
#include "emulator/FactoryImage.h"
#include "emulator/StateFile.h"
#include "link/TrafficLog.h"
#include "widgets/ResponseGraph.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>

namespace kvn::test {
namespace {

namespace fs = std::filesystem;

// A writer: writes its file at `path`; the reason when it failed, nothing when it succeeded.
struct Writer {
    const char* name;
    std::function<std::optional<std::string>(const fs::path&)> write;
};

std::optional<std::string> reason(bool written, const std::string& text) {
    return written ? std::nullopt : std::optional<std::string>(text);
}

std::vector<Writer> writers(widgets::ResponseGraph& graph) {
    return {
        {"preset",
         [](const fs::path& path) {
             const SaveResult saved = SavePresetFile(path.string(), ProcessorConfig{});
             return reason(saved.success, saved.messages.empty() ? "" : saved.messages[0].text);
         }},
        {"command-line file (image, JSON, filter text)",
         [](const fs::path& path) -> std::optional<std::string> {
             try {
                 cli::PresetStore::writeFile(path.string(), std::vector<std::uint8_t>(4096, 'x'));
                 return std::nullopt;
             } catch (const cli::CliError& e) {
                 return e.what();
             }
         }},
        {"graph picture",
         [&graph](const fs::path& path) {
             QString error;
             const bool written =
                 graph.exportPng(QString::fromStdString(path.string()), 400, 300, &error);
             return reason(written, error.toStdString());
         }},
        {"graph numbers",
         [&graph](const fs::path& path) {
             QString error;
             const bool written = graph.exportCsv(QString::fromStdString(path.string()), &error);
             return reason(written, error.toStdString());
         }},
        {"emulator state",
         [](const fs::path& path) {
             std::string error;
             return reason(emu::StateFile::save(path, emu::DeviceState(emu::factoryImage()), error),
                           error);
         }},
        {"traffic log",
         [](const fs::path& path) {
             link::TrafficLog log;
             for (int i = 0; i < 200; ++i) {
                 log.note("the port was opened");
             }
             std::string error;
             return reason(log.save(path, error), error);
         }},
        {"backup file and manifest",
         [](const fs::path& path) {
             std::string error;
             return reason(writeFileAtomically(path, std::string(4096, '{'), error), error);
         }},
    };
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> names(const fs::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        found.push_back(entry.path().filename().string());
    }
    return found;
}

// A full disk: the write fails part-way. A file-size limit makes that happen without filling a
// disk (the system answers EFBIG instead of ENOSPC, at the same place in the write).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

TEST(FileWrites, EveryWriterRefusesMissingReadOnlyAndFullFoldersAndKeepsTheOldFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    widgets::ResponseGraph graph;
    graph.resize(400, 300);
    std::vector<QPointF> points;
    for (int i = 0; i < 401; ++i) {
        points.emplace_back(20.0 * std::pow(1.02, i), std::sin(i * 0.1));
    }
    graph.setSeriesPoints(1, points);

    const fs::path root = dir.path().toStdString();
    const std::string old = "the file as it was";
    int index = 0;
    for (const Writer& writer : writers(graph)) {
        SCOPED_TRACE(writer.name);
        const fs::path folder = root / std::to_string(index++);
        fs::create_directory(folder);
        const fs::path target = folder / "file";

        // It works where it can write, and replaces the file that was there.
        { std::ofstream(target) << old; }
        ASSERT_EQ(writer.write(target), std::nullopt);
        EXPECT_NE(contents(target), old);
        EXPECT_EQ(names(folder), std::vector<std::string>{"file"});
        std::ofstream(target, std::ios::trunc) << old;

        const auto refused = [&](const fs::path& path, int code) {
            const std::optional<std::string> why = writer.write(path);
            ASSERT_TRUE(why.has_value());
            EXPECT_NE(why->find(std::strerror(code)), std::string::npos) << *why;
            EXPECT_EQ(contents(target), old);
            EXPECT_EQ(names(folder), std::vector<std::string>{"file"});
        };
        refused(folder / "missing" / "file", ENOENT);
        {
            const FileSizeLimit full(1024);
            refused(target, EFBIG);
        }
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        const bool readOnly = ::access(folder.c_str(), W_OK) != 0;
        if (readOnly) {
            refused(target, EACCES);
        }
        fs::permissions(folder, fs::perms::owner_all);
        if (!readOnly && index == 1) {
            std::cout << "[ NOTE ] a read-only folder cannot be provoked here: this user writes "
                         "through folder permissions\n";
        }
    }
}

}  // namespace
}  // namespace kvn::test
