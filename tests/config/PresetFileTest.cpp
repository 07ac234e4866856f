#include "config/PresetFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "TestSupport.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace kvn {
namespace {

using test::hex;
namespace fs = std::filesystem;

std::vector<std::uint8_t> slice(const PresetRecord& r, std::size_t offset, std::size_t count) {
    return {r.begin() + static_cast<std::ptrdiff_t>(offset),
            r.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

std::vector<std::uint8_t> asBytes(const PresetRecord& r) {
    return {r.begin(), r.end()};
}

std::string notAPreset(const std::string& path) {
    return path + " is not a KVN 350File";
}

// What Open leaves when it loads nothing: the configuration as New made it from `before`.
ProcessorConfig newFrom(ProcessorConfig before) {
    before.resetToNew();
    return before;
}

std::vector<std::string> leftoverFiles(const fs::path& folder, const fs::path& keep) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path() != keep) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

TEST(PresetFile, DefaultConfigGoldenBytes) {
    const PresetRecord r = BuildPresetRecord(ProcessorConfig{}, "C:\\p.KV2");
    EXPECT_EQ(slice(r, 0, 15), hex("05 58 44 41 43 46 00 00 00 00 04 32 2E 31 2E"));
    const std::string header = "Korvellab S.A. KVN 3502.1.0.0C:\\p.KV2";
    EXPECT_EQ(r[15], header.size());
    EXPECT_EQ(std::string(r.begin() + 16, r.begin() + 16 + 37), header);
    EXPECT_EQ(slice(r, 116, 8), hex("06 4E 6F 4E 61 6D 65 00"));  // "NoName", then zeros
    EXPECT_EQ(slice(r, 420, 8), hex("80 BB 00 00 19 00 00 00"));  // 48000, 25 degrees
    EXPECT_EQ(slice(r, 428, 36),
              hex("03 49 6E 31 00 00 00 03 49 6E 32 00 00 00 04 4F 75 74 31 00 00 "
                  "04 4F 75 74 32 00 00 03 53 55 42 00 00 00 00"));
    EXPECT_EQ(slice(r, 476, 12), hex("02 00 00 00 02 00 00 00 02 00 00 00"));
    // Output 1 band 2 was never selected: 0 dB, 1000 Hz, Q 0.707, Bypass.
    EXPECT_EQ(slice(r, 488 + 28, 28), hex("00 00 00 00 00 00 00 00 00 00 00 00 00 40 8F 40 "
                                          "39 B4 C8 76 BE 9F E6 3F 00 00 00 00"));
    EXPECT_EQ(slice(r, 964, 8), hex("00 00 00 00 00 00 F0 3F"));
    EXPECT_EQ(slice(r, 996 + 56, 28), hex("00 00 A0 41 00 00 F0 43 02 00 00 00 02 00 00 00 "
                                          "00 00 00 00 00 00 00 00 01 00 00 00"));
    EXPECT_EQ(slice(r, 1088, 64), hex("00 00 C0 C0 00 00 00 40 00 00 00 00 DA DB 16 3A "
                                      "80 07 00 00 24 00 00 00 00 00 00 00 00 00 00 00 "
                                      "00 00 80 40 01 01 00 00 00 00 48 41 00 00 24 42 "
                                      "00 00 00 41 00 00 C8 43 00 00 16 44 01 00 00 00"));
    EXPECT_EQ(slice(r, 1216, 57),
              hex("00 00 00 00 02 00 00 00 01 00 00 00 0A 00 00 00 00 00 00 00 05 00 00 00 "
                  "00 00 00 00 0A 00 00 00 05 00 00 00 0A 00 00 00 00 00 00 00 00 00 00 00 "
                  "0A 00 00 00 01 01 01 01 01"));
    EXPECT_EQ(slice(r, 1580, 32), hex("00 00 B4 42 00 00 00 00 00 00 00 00 00 00 00 00 "
                                      "0D 00 00 00 01 00 00 00 04 00 00 00 04 00 00 00"));
}

TEST(PresetFile, ConfigurationFileConfigurationPreservesEveryField) {
    test::TempDir dir;
    const std::string path = (dir / "rich.KV2").string();
    const ProcessorConfig rich = test::richConfig();
    ASSERT_TRUE(SavePresetFile(path, rich).success);
    ASSERT_EQ(fs::file_size(path), 1612u);

    ProcessorConfig loaded;
    const LoadResult r = OpenPresetFile(path, loaded);
    EXPECT_TRUE(r.success && r.loaded);
    EXPECT_TRUE(r.messages.empty());
    test::expectSameConfig(rich, loaded);

    // File -> configuration -> file gives the same bytes.
    const auto first = test::readBytes(path);
    ASSERT_TRUE(SavePresetFile(path, loaded).success);
    EXPECT_EQ(test::readBytes(path), first);
    EXPECT_EQ(leftoverFiles(dir.path(), path), std::vector<std::string>{});
}

TEST(PresetFile, OpenReportsEveryStageInOrder) {
    test::TempDir dir;
    const std::string path = (dir / "p.KV2").string();
    ASSERT_TRUE(SavePresetFile(path, ProcessorConfig{}).success);
    std::vector<std::pair<int, std::string>> stages;
    ProcessorConfig c;
    OpenPresetFile(path, c, [&](const ProgressStage& s) {
        stages.emplace_back(s.percent, std::string(s.step));
    });
    const std::vector<std::pair<int, std::string>> expected = {
        {0, "Reading VERSION and HEADER..."},
        {5, "Reading PEQs..."},
        {10, "Reading Gains, and Polarity..."},
        {15, "Reading CrossOvers..."},
        {20, "Reading Dinamics..."},
        {25, "Reading Sub Route..."},
        {28, "Reading Import File Route..."},
        {30, "Updating Delays..."},
        {35, "Updating relative distance between speakers..."},
        {45, "Updating Gains..."},
        {65, "Updating Xover..."},
        {75, "Updating Dinamics..."},
        {95, "Updating Equalization..."},
        {100, "DONE"}};
    EXPECT_EQ(stages, expected);
}

TEST(PresetFile, PreviousVersionLoadsWithAWarningAndDefaultGates) {
    test::TempDir dir;
    const std::string path = (dir / "old.KV2").string();
    const ProcessorConfig rich = test::richConfig();
    auto bytes = asBytes(BuildPresetRecord(rich, path));
    bytes.resize(1596);
    test::writeBytes(path, bytes);

    ProcessorConfig c;
    const LoadResult r = OpenPresetFile(path, c);
    EXPECT_TRUE(r.success && r.loaded);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0],
              (UserMessage{MessageKind::Warning,
                           path + " is not a KVN 350 File or is an older version (then re-save "
                                  "the file to translate it to VERSION 2.1.0.0"}));
    for (int u = 1; u <= 2; ++u) {
        EXPECT_EQ(c.unit(u).gateLevel, 13.0f);
        EXPECT_EQ(c.unit(u).gateSlope, 4.0f);
    }
    ProcessorConfig expected = rich;
    for (int u = 1; u <= 2; ++u) {
        expected.unit(u).gateLevel = 13.0f;
        expected.unit(u).gateSlope = 4.0f;
        expected.unit(u).design();
    }
    test::expectSameConfig(expected, c);

    // Saving translates it: the old record followed by the gate values.
    ASSERT_TRUE(SavePresetFile(path, c).success);
    const auto saved = test::readBytes(path);
    ASSERT_EQ(saved.size(), 1612u);
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin(), saved.begin() + 1596), bytes);
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin() + 1596, saved.end()),
              hex("0D 00 00 00 0D 00 00 00 04 00 00 00 04 00 00 00"));
}

TEST(PresetFile, WrongSizeOrTagLoadsNothingAndLeavesNew) {
    test::TempDir dir;
    const std::string path = (dir / "x.KV2").string();
    const auto good = asBytes(BuildPresetRecord(test::richConfig(), path));
    const ProcessorConfig before = test::richConfig();

    auto expectRefused = [&](const std::vector<std::uint8_t>& bytes,
                             const std::vector<UserMessage>& messages) {
        test::writeBytes(path, bytes);
        ProcessorConfig c = before;
        const LoadResult r = OpenPresetFile(path, c);
        EXPECT_FALSE(r.success || r.loaded);
        EXPECT_EQ(r.messages, messages);
        test::expectSameConfig(newFrom(before), c);
        // The byte-span entry behaves the same.
        ProcessorConfig d = before;
        EXPECT_EQ(OpenPresetBytes(bytes, path, d).messages, messages);
    };
    const UserMessage refused{MessageKind::Error, notAPreset(path)};

    for (std::size_t size : {0u, 800u, 1595u, 1600u, 1613u, 4000u}) {
        SCOPED_TRACE(size);
        auto bytes = good;
        bytes.resize(size, 0);
        expectRefused(bytes, {refused});
    }
    auto wrongTag = good;
    wrongTag[5] = 'G';
    expectRefused(wrongTag, {refused});
    auto longTag = good;
    longTag[0] = 6;
    expectRefused(longTag, {refused});
    auto oldWrongTag = wrongTag;
    oldWrongTag.resize(1596);
    expectRefused(oldWrongTag,
                  {{MessageKind::Warning, path + " is not a KVN 350 File or is an older version "
                                                 "(then re-save the file to translate it to "
                                                 "VERSION 2.1.0.0"},
                   refused});
}

TEST(PresetFile, UnreadablePathsAreErrorsNotLoads) {
    test::TempDir dir;
    const ProcessorConfig before = test::richConfig();
    const std::string missing = (dir / "missing.KV2").string();
    ProcessorConfig c = before;
    LoadResult r = OpenPresetFile(missing, c);
    EXPECT_FALSE(r.success || r.loaded);
    EXPECT_EQ(
        r.messages,
        (std::vector<UserMessage>{{MessageKind::Error, missing + ": No such file or directory"}}));
    test::expectSameConfig(newFrom(before), c);

    c = before;
    r = OpenPresetFile(dir.path().string(), c);
    EXPECT_FALSE(r.success || r.loaded);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].kind, MessageKind::Error);
    test::expectSameConfig(newFrom(before), c);
}

TEST(PresetFile, HeaderPathAndTextsAreCutToTheirFields) {
    const std::string path71 = "/" + std::string(66, 'a') + ".KV2";  // 71 characters
    ASSERT_EQ(path71.size(), 71u);
    PresetRecord r = BuildPresetRecord(ProcessorConfig{}, path71);
    EXPECT_EQ(r[15], 100);
    EXPECT_EQ(std::string(r.begin() + 16, r.begin() + 116),
              "Korvellab S.A. KVN 3502.1.0.0" + path71);
    r = BuildPresetRecord(ProcessorConfig{}, path71 + "/deeper/name.KV2");
    EXPECT_EQ(r[15], 100);
    EXPECT_EQ(std::string(r.begin() + 16, r.begin() + 116),
              "Korvellab S.A. KVN 3502.1.0.0" + path71);

    ProcessorConfig c;
    c.SystemName = std::string(45, 'S');
    c.InputName[0] = "Input-A";
    c.Comments = std::string(250, 'c');
    c.MeasurementFile[1] = std::string(120, 'm');
    r = BuildPresetRecord(c, "p");
    EXPECT_EQ(r[116], 40);
    EXPECT_EQ(r[428], 6);
    EXPECT_EQ(r[219], 200);
    EXPECT_EQ(r[1374], 100);
    EXPECT_EQ(r[157], 0);  // the Project name field right after the cut name is untouched

    // A length byte above the capacity is read as the capacity.
    r[449] = 200;  // Output 2's name, capacity 6
    ProcessorConfig loaded;
    ASSERT_TRUE(OpenPresetBytes(r, "p", loaded).loaded);
    EXPECT_EQ(loaded.SystemName, std::string(40, 'S'));
    EXPECT_EQ(loaded.InputName[0], "Input-");
    EXPECT_EQ(loaded.Comments, std::string(200, 'c'));
    EXPECT_EQ(loaded.output(2).Name, std::string("Out2\0\0", 6));
}

TEST(PresetFile, RoutesComeBackThroughTheRouteButton) {
    ProcessorConfig c;
    c.output(1).Route = kRouteA;
    c.output(2).Route = kRouteB;
    c.output(3).Route = 7;        // damaged
    c.output(1).GainFromA = 0.3;  // stored gains are replaced by the ones the route implies
    PresetRecord r = BuildPresetRecord(c, "p");
    ProcessorConfig loaded;
    ASSERT_TRUE(OpenPresetBytes(r, "p", loaded).loaded);
    EXPECT_EQ(loaded.output(1).Route, kRouteA);
    EXPECT_EQ(loaded.output(1).GainFromA, 1.0);
    EXPECT_EQ(loaded.output(2).Route, kRouteB);
    EXPECT_EQ(loaded.output(2).GainFromB, 1.0);
    EXPECT_EQ(loaded.output(3).Route, kRouteA);
}

#if !defined(_WIN32)
// Drops the effective user while it lives, so that permissions hold also for a test run as root.
class Unprivileged {
public:
    Unprivileged() : was_(geteuid()) {
        if (was_ == 0) {
            dropped_ = seteuid(65534) == 0;
        }
    }
    ~Unprivileged() {
        if (dropped_) {
            [[maybe_unused]] const int ignored = seteuid(was_);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;
    bool effective() const { return was_ != 0 || dropped_; }

private:
    uid_t was_;
    bool dropped_ = false;
};

TEST(PresetFile, SaveIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
    test::TempDir dir;
    const fs::path folder = dir / "presets";
    fs::create_directory(folder);
    const std::string path = (folder / "show.KV2").string();
    ASSERT_TRUE(SavePresetFile(path, ProcessorConfig{}).success);
    const auto old = test::readBytes(path);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    SaveResult r;
    {
        Unprivileged user;
        if (!user.effective()) {
            GTEST_SKIP() << "cannot give up the rights to write everywhere";
        }
        r = SavePresetFile(path, test::richConfig());
    }
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.messages,
              (std::vector<UserMessage>{
                  {MessageKind::Error, "Cannot save " + path + ": Permission denied"}}));
    EXPECT_EQ(test::readBytes(path), old);
    EXPECT_EQ(leftoverFiles(folder, path), std::vector<std::string>{});
}

TEST(PresetFile, SaveThatRunsOutOfSpaceKeepsTheOldFile) {
    test::TempDir dir;
    const std::string path = (dir / "show.KV2").string();
    ASSERT_TRUE(SavePresetFile(path, ProcessorConfig{}).success);
    const auto old = test::readBytes(path);

    // A file size limit below one record makes the write fail as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveResult r = SavePresetFile(path, test::richConfig());
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.messages, (std::vector<UserMessage>{
                              {MessageKind::Error, "Cannot save " + path + ": File too large"}}));
    EXPECT_EQ(test::readBytes(path), old);
    EXPECT_EQ(leftoverFiles(dir.path(), path), std::vector<std::string>{});
}
#endif

TEST(PresetFile, SaveOverAFolderFailsAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const fs::path target = dir / "taken.KV2";
    fs::create_directory(target);
    test::writeBytes(target / "inside", {1, 2, 3});
    const SaveResult r = SavePresetFile(target.string(), ProcessorConfig{});
    EXPECT_FALSE(r.success);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text.rfind("Cannot save " + target.string() + ": ", 0), 0u);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(test::readBytes(target / "inside"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(leftoverFiles(dir.path(), target), std::vector<std::string>{});

    const std::string nowhere = (dir / "no" / "such" / "folder.KV2").string();
    const SaveResult missing = SavePresetFile(nowhere, ProcessorConfig{});
    EXPECT_FALSE(missing.success);
    EXPECT_EQ(missing.messages[0].text, "Cannot save " + nowhere + ": No such file or directory");
}

}  // namespace
}  // namespace kvn
