// preset export-eq and import-eq on real files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "CliTestSupport.h"

namespace kvn::cli {
namespace {

using test::runInProcess;

class FilterTextCommands : public ::testing::Test {
protected:
    std::string path(const char* name) const {
        return QDir(dir_.path()).filePath(QString::fromLatin1(name)).toStdString();
    }
    static std::string data(const char* name) { return std::string(KVN_TEST_DATA_DIR "/") + name; }
    void write(const std::string& path, const std::string& text) const {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    // The filter lines of a text, without its comment.
    static std::string filters(const std::string& text) { return text.substr(text.find("Filter")); }
    QTemporaryDir dir_;
};

TEST_F(FilterTextCommands, ExportThenImportIntoAnotherPreset_CarriesTheBands) {
    const auto exported = runInProcess(
        {"preset", "export-eq", data("rich.KV2"), "--output", "1", "-o", path("out1.txt")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const auto imported = runInProcess({"preset", "import-eq", data("default.KV2"), "--output", "1",
                                        path("out1.txt"), "-o", path("new.KV2")});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("7 filters imported into Output 1."), std::string::npos)
        << imported.out;

    const auto first = runInProcess({"preset", "export-eq", data("rich.KV2"), "--output", "1"});
    const auto again = runInProcess({"preset", "export-eq", path("new.KV2"), "--output", "1"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(filters(again.out), filters(first.out));
    EXPECT_NE(first.out.find("Filter 2: ON LS 6dB Fc 119.55 Hz Gain 6 dB\n"), std::string::npos)
        << first.out;
}

TEST_F(FilterTextCommands, Refusals_ExitTwoNamingTheLineOrBandAndWriteNothing) {
    write(path("bad.txt"),
          "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\nFilter 2: ON PK Fc 100 Hz Gain 20 dB Q 1\n");
    const auto bad = runInProcess({"preset", "import-eq", data("default.KV2"), "--output", "1",
                                   path("bad.txt"), "-o", path("new.KV2")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(
        bad.err.find("bad.txt: line 2: Gain 20 dB is outside the editor's range -15 to 12 dB"),
        std::string::npos)
        << bad.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("new.KV2"))));

    const auto allPass = runInProcess(
        {"preset", "export-eq", data("rich.KV2"), "--output", "2", "-o", path("out2.txt")});
    EXPECT_EQ(allPass.status, 2);
    EXPECT_NE(allPass.err.find("Output 2 band 3: AllPass 1 has no counterpart"), std::string::npos)
        << allPass.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("out2.txt"))));

    EXPECT_EQ(runInProcess({"preset", "export-eq", data("rich.KV2")}).status, 1);
    EXPECT_EQ(
        runInProcess({"preset", "import-eq", data("rich.KV2"), "--output", "1", path("bad.txt")})
            .status,
        1);
}

}  // namespace
}  // namespace kvn::cli
