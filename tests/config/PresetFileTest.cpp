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
    EXPECT_EQ(slice(r, 456, 12), hex("03 53 55 42 00 00 00 00 00 00 00 00"));  // "SUB", delay 0
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

    // File -> configuration -> file gives the same bytes, and the file keeps its permissions.
    const auto first = test::readBytes(path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(SavePresetFile(path, loaded).success);
    EXPECT_EQ(test::readBytes(path), first);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(leftoverFiles(dir.path(), path), std::vector<std::string>{});
}

TEST(PresetFile, OpenReportsEveryStageInOrder) {
    test::TempDir dir;
    const std::string path = (dir / "p.KV2").string();
    ASSERT_TRUE(SavePresetFile(path, ProcessorConfig{}).success);
    std::string stages;
    ProcessorConfig c;
    OpenPresetFile(path, c, [&](const ProgressStage& s) {
        stages += std::to_string(s.percent) + " " + std::string(s.step) + "|";
    });
    EXPECT_EQ(stages,
              "0 Reading VERSION and HEADER...|5 Reading PEQs...|10 Reading Gains, and Polarity...|"
              "15 Reading CrossOvers...|20 Reading Dinamics...|25 Reading Sub Route...|"
              "28 Reading Import File Route...|30 Updating Delays...|"
              "35 Updating relative distance between speakers...|45 Updating Gains...|"
              "65 Updating Xover...|75 Updating Dinamics...|95 Updating Equalization...|100 DONE|");
}

TEST(PresetFile, WrongSizeTagOrUnreadablePathLoadsNothingAndLeavesNew) {
    test::TempDir dir;
    const std::string path = (dir / "x.KV2").string();
    const auto good = asBytes(BuildPresetRecord(test::richConfig(), path));
    const ProcessorConfig before = test::richConfig();
    auto expectRefused = [&](const std::string& file, const std::vector<UserMessage>& messages) {
        ProcessorConfig c = before;
        const LoadResult r = OpenPresetFile(file, c);
        EXPECT_FALSE(r.success || r.loaded);
        EXPECT_EQ(r.messages, messages);
        test::expectSameConfig(newFrom(before), c);
    };
    const UserMessage refused{MessageKind::Error, path + " is not a KVN 350File"};

    for (std::size_t size : {0u, 1595u, 1600u, 1613u}) {
        auto bytes = good;
        bytes.resize(size, 0);
        test::writeBytes(path, bytes);
        expectRefused(path, {refused});
    }
    auto wrongTag = good;
    wrongTag[5] = 'G';
    test::writeBytes(path, wrongTag);
    expectRefused(path, {refused});
    wrongTag.resize(1596);
    test::writeBytes(path, wrongTag);
    expectRefused(path, {{MessageKind::Warning, path + " is not a KVN 350 File or is an older "
                                                       "version (then re-save the file to "
                                                       "translate it to VERSION 2.1.0.0"},
                         refused});

    const std::string missing = (dir / "missing.KV2").string();
    expectRefused(missing, {{MessageKind::Error, missing + ": No such file or directory"}});
    expectRefused(dir.path().string(),
                  {{MessageKind::Error, dir.path().string() + ": Is a directory"}});
}

TEST(PresetFile, HeaderPathAndTextsAreCutToTheirFields) {
    const std::string path71 = "/" + std::string(66, 'a') + ".KV2";  // 29 + 71 = 100 characters
    for (const std::string& path : {path71, path71 + "/deeper/name.KV2"}) {
        const PresetRecord r = BuildPresetRecord(ProcessorConfig{}, path);
        EXPECT_EQ(std::string(r.begin() + 15, r.begin() + 116),
                  "\x64Korvellab S.A. KVN 3502.1.0.0" + path71);
    }

    ProcessorConfig c;
    c.SystemName = std::string(45, 'S');
    c.InputName[0] = "Input-A";
    c.Comments = std::string(250, 'c');
    PresetRecord r = BuildPresetRecord(c, "p");
    EXPECT_EQ(slice(r, 116, 1), hex("28"));
    EXPECT_EQ(slice(r, 156, 2), hex("53 00"));                    // the next field starts clean
    EXPECT_EQ(slice(r, 428, 8), hex("06 49 6E 70 75 74 2D 03"));  // then "In2"
    EXPECT_EQ(slice(r, 219, 1), hex("C8"));

    r[449] = 200;  // a length byte above the capacity of Output 2's name is cut to 6
    ProcessorConfig loaded;
    ASSERT_TRUE(OpenPresetBytes(r, "p", loaded).loaded);
    EXPECT_EQ(loaded.SystemName, std::string(40, 'S'));
    EXPECT_EQ(loaded.Comments, std::string(200, 'c'));
    EXPECT_EQ(loaded.output(2).Name, std::string("Out2\0\0", 6));
}

// A failed save reports the system's message and leaves the old preset and no temporary file.
void expectFailedSave(const fs::path& folder, const std::string& path, const std::string& reason) {
    const auto old = test::readBytes(path);
    const SaveResult r = SavePresetFile(path, test::richConfig());
    EXPECT_FALSE(r.success);
    EXPECT_EQ(
        r.messages,
        (std::vector<UserMessage>{{MessageKind::Error, "Cannot save " + path + ": " + reason}}));
    EXPECT_EQ(test::readBytes(path), old);
    EXPECT_EQ(leftoverFiles(folder, path), std::vector<std::string>{});
}

TEST(PresetFile, FailedSavesKeepTheOldFile) {
    test::TempDir dir;
    const std::string path = (dir / "show.KV2").string();
    ASSERT_TRUE(SavePresetFile(path, ProcessorConfig{}).success);

#if !defined(_WIN32)
    // A file size limit below one record makes the write fail as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    expectFailedSave(dir.path(), path, "File too large");
    setrlimit(RLIMIT_FSIZE, &saved);

    // A read-only folder; the test gives up root's rights for it when it runs as root.
    fs::permissions(dir.path(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const uid_t user = geteuid();
    if (user != 0 || seteuid(65534) == 0) {
        expectFailedSave(dir.path(), path, "Permission denied");
        [[maybe_unused]] const int restored = seteuid(user);
    }
    fs::permissions(dir.path(), fs::perms::owner_all, fs::perm_options::add);
#endif

    // The rename fails when a folder stands where the file should go.
    const fs::path taken = dir / "taken.KV2";
    fs::create_directory(taken);
    const SaveResult r = SavePresetFile(taken.string(), ProcessorConfig{});
    EXPECT_FALSE(r.success);
    EXPECT_TRUE(fs::is_empty(taken));
    EXPECT_EQ(leftoverFiles(dir.path(), taken), std::vector<std::string>{"show.KV2"});
}

}  // namespace
}  // namespace kvn

namespace kvn {
namespace {

TEST(PresetFile, ReadWithoutRefreshKeepsTheStoredValues) {
    ProcessorConfig config;
    config.output(2).band(5).FrequencyHz = 1000.0;  // the equaliser's sliders would make 999.97
    config.output(2).band(5).Q = 0.707;             // and 0.7
    config.output(1).Route = kRouteB;
    config.output(1).GainFromA = 0.3;  // not what the route implies: the refresh would replace it
    config.output(3).LowPassEdge.FrequencyHz = 470.5f;  // not whole hertz
    const PresetRecord record = BuildPresetRecord(config, "x.KV2");

    ProcessorConfig stored;
    const LoadResult r = ReadPresetBytes(record, "x.KV2", stored);
    EXPECT_TRUE(r.success && r.loaded);
    EXPECT_EQ(stored.output(2).band(5).FrequencyHz, 1000.0);
    EXPECT_EQ(stored.output(2).band(5).Q, 0.707);
    EXPECT_EQ(stored.output(1).Route, kRouteB);
    EXPECT_EQ(stored.output(1).GainFromA, 0.3);
    EXPECT_EQ(stored.output(3).LowPassEdge.FrequencyHz, 470.5);
    EXPECT_EQ(BuildPresetRecord(stored, "x.KV2"), record);

    // The same checks as Open: a record without its tag loads nothing.
    PresetRecord damaged = record;
    damaged[1] = 'Y';
    EXPECT_FALSE(ReadPresetBytes(damaged, "x.KV2", stored).loaded);
}

}  // namespace
}  // namespace kvn
