// Rig files and rig runs against several in-process virtual processors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "emulator/FactoryImage.h"
#include "link/BackupManifest.h"
#include "link/RigBackupManifest.h"
#include "link/RigFile.h"
#include "link/RigRun.h"
#include "link/VirtualSerialChannel.h"

namespace kvn::link::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Pacing waits cost nothing; safe from several workers at once.
class NoSleep final : public Sleeper {
public:
    void sleepMs(int) override {}
};

class Rig : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kvn-rig-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        preset("a.KV2", "Hall A");
        preset("b.KV2", "Hall B");
    }
    void TearDown() override { fs::remove_all(dir_); }

    void preset(const std::string& file, const std::string& name) {
        ProcessorConfig config;
        config.resetToNew();
        config.SystemName = name;
        ASSERT_TRUE(SavePresetFile((dir_ / file).string(), config).success);
    }
    void write(const std::string& file, const std::string& text) {
        std::ofstream(dir_ / file) << text;
    }
    std::optional<RigFile> parse(const std::string& json, std::string& error) {
        return RigFile::parse(json, dir_, PortMap::defaults(PortMap::Platform::Linux), error);
    }
    // Serial links by path to the test's virtual processors.
    SystemLinks links() {
        return [this](const PortAddress& port) {
            emu::VirtualProcessor& device = devices_[port.location];
            return LinkOption::serial(7, port.location, [&device] {
                return std::make_unique<VirtualSerialChannel>(device);
            });
        };
    }

    fs::path dir_;
    std::map<std::string, emu::VirtualProcessor> devices_;
    NoSleep sleeper_;
};

std::string entry(const std::string& name, const std::string& port, const std::string& memory,
                  const std::string& preset) {
    return R"({"name": ")" + name + R"(", "port": ")" + port + R"(", "memory": )" + memory +
           R"(, "preset": ")" + preset + R"("})";
}

TEST_F(Rig, File_BadEntriesAreRefusedNamingEntryAndField) {
    write("garbage.KV2", "not a preset");
    const std::string good = entry("Left hang", "/dev/ttyUSB0", "30", "a.KV2");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"processors": []})", "processors: the list is empty"},
        {R"([1, 2])", "processors: expected a list"},
        {R"({"processors": [{"port": "COM1", "memory": 30, "preset": "a.KV2"}]})",
         "entry 1: name:"},
        {"{\"processors\": [" + good + ", " + entry("Subs", "", "30", "a.KV2") + "]}",
         "entry 2 (Subs): port:"},
        {"{\"processors\": [" + entry("Subs", "tcp:10.0.0.1", "30", "a.KV2") + "]}",
         "entry 1 (Subs): port: 'tcp:10.0.0.1' is no port"},
        {"{\"processors\": [" + entry("Subs", "usb:", "30", "a.KV2") + "]}", "port: usb:"},
        {"{\"processors\": [" + entry("Subs", "virtual", "30", "a.KV2") + "]}",
         "needs its state file"},
        {"{\"processors\": [" + entry("Subs", "COM2", "70", "a.KV2") + "]}",
         "entry 1 (Subs): memory: expected a memory number from 21 to 60"},
        {"{\"processors\": [" + entry("Subs", "COM2", "5", "a.KV2") + "]}", "memory:"},
        {"{\"processors\": [" + entry("Subs", "COM2", "30.5", "a.KV2") + "]}", "memory:"},
        // Far outside int: refused, not converted.
        {"{\"processors\": [" + entry("Subs", "COM2", "1e300", "a.KV2") + "]}", "memory:"},
        {"{\"processors\": [" + entry("Subs", "COM2", "30", "missing.KV2") + "]}",
         "entry 1 (Subs): preset: "},
        {"{\"processors\": [" + entry("Subs", "COM2", "30", "garbage.KV2") + "]}",
         "is not a KVN 350File"},
        {"{\"processors\": [" + good + ", " + entry("Left hang", "COM2", "31", "b.KV2") + "]}",
         "entry 1 (Left hang) and entry 2 (Left hang): name:"},
        {"{\"processors\": [" + good + ", " + entry("left hang ", "COM2", "31", "b.KV2") + "]}",
         "one backup folder"},
        // COM 1 leads to /dev/ttyS0 on Linux: one port.
        {"{\"processors\": [" + entry("A", "/dev/ttyS0", "30", "a.KV2") + ", " +
             entry("B", "com1", "31", "b.KV2") + "]}",
         "entry 1 (A) and entry 2 (B): port: both lead to /dev/ttyS0"},
        {"{\"processors\": [" + entry("A", "virtual:s.kvs", "30", "a.KV2") + ", " +
             entry("B", "virtual:./x/../s.kvs", "31", "b.KV2") + "]}",
         "port: both lead to"},
    };
    for (const auto& [json, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parse(json, error)) << json;
        EXPECT_THAT(error, HasSubstr(expected)) << json;
    }

    std::string error;
    const auto rig = parse("{\"processors\": [" + good + ", " +
                               entry("Subs", "virtual:state/subs.kvs", "31", "b.KV2") +
                               "], \"venue\": \"ignored\"}",
                           error);
    ASSERT_TRUE(rig) << error;
    ASSERT_EQ(rig->processors.size(), 2u);
    const RigProcessor& subs = rig->processors[1];
    EXPECT_EQ(subs.port.kind, PortAddress::Kind::Virtual);
    EXPECT_EQ(fs::path(subs.port.location), fs::absolute(dir_ / "state/subs.kvs"));
    EXPECT_EQ(subs.preset, dir_ / "b.KV2");
    EXPECT_EQ(subs.folder, "Subs");
    ProcessorConfig decoded;
    decoded.resetToNew();
    ASSERT_TRUE(LoadImage(subs.image, decoded).loaded);
    EXPECT_THAT(decoded.SystemName, HasSubstr("Hall B"));
}

TEST_F(Rig, Write_ProtectedAndVanishingProcessorsFailAloneAndNothingElseIsTouched) {
    std::string error;
    const auto rig =
        parse("{\"processors\": [" + entry("L", "/p/1", "30", "a.KV2") + ", " +
                  entry("R", "/p/2", "31", "b.KV2") + ", " + entry("Front", "/p/3", "32", "a.KV2") +
                  ", " + entry("Sub", "/p/4", "33", "b.KV2") + "]}",
              error);
    ASSERT_TRUE(rig) << error;
    devices_["/p/3"].setProtected(32, true);
    emu::FaultPlan gone;
    gone.goneAfterBytes = 900;  // in the middle of the image
    devices_["/p/4"].setFaults(gone);
    const emu::Image factory = emu::factoryImage();

    RigListener quiet;
    RigRun run(links(), PortMap::defaults(), sleeper_);
    const RigReport report = run.run(rig->processors, RigAction::Write, {}, quiet);

    ASSERT_EQ(report.results.size(), 4u);
    EXPECT_FALSE(report.allSucceeded());
    for (int i : {0, 1}) {
        const RigProcessor& p = rig->processors[static_cast<std::size_t>(i)];
        EXPECT_TRUE(report.results[static_cast<std::size_t>(i)].succeeded()) << p.name;
        emu::VirtualProcessor& device = devices_[p.port.location];
        const emu::Image held = device.memory(p.memory);
        EXPECT_TRUE(std::equal(p.image.begin(), p.image.end(), held.begin())) << p.name;
        EXPECT_EQ(device.activeMemory(), p.memory);
        EXPECT_EQ(device.memory(p.memory + 1), factory) << "a memory the rig does not name";
    }
    EXPECT_EQ(devices_["/p/3"].memory(32), factory);
    EXPECT_EQ(devices_["/p/4"].memory(33), factory);
    EXPECT_EQ(rigStateText(report.results[2], RigAction::Write), "failed");
    EXPECT_THAT(
        report.failures(rig->processors),
        ::testing::ElementsAre(AllOf(HasSubstr("Front: the memory is protected ("),
                                     HasSubstr("MEMORY PROTECTED. If you want to override it")),
                               AllOf(HasSubstr("Sub: the processor did not answer ("),
                                     HasSubstr("Comunication ERROR"))));

    // The status check afterwards tells the same story.
    devices_["/p/4"].reconnect();
    devices_["/p/4"].setFaults({});
    devices_["/p/2"].recallMemory(40);
    const RigReport status = run.run(rig->processors, RigAction::Status, {}, quiet);
    const std::vector<std::string> states = {rigStateText(status.results[0], RigAction::Status),
                                             rigStateText(status.results[1], RigAction::Status),
                                             rigStateText(status.results[2], RigAction::Status),
                                             rigStateText(status.results[3], RigAction::Status)};
    EXPECT_THAT(states, ::testing::ElementsAre("ready", "wrong memory", "differs", "differs"));
    EXPECT_EQ(status.results[1].activeMemory, 40);
    EXPECT_EQ(status.results[2].holds, RigResult::Holds::No);
}

TEST_F(Rig, BackupAndRestore_BringEveryProcessorsMemoriesBackThroughTheRigManifest) {
    std::string error;
    const auto rig = parse("{\"processors\": [" + entry("Left", "virtual:l.kvs", "30", "a.KV2") +
                               ", " + entry("Right", "virtual:r.kvs", "31", "b.KV2") + ", " +
                               entry("Gone", "/p/9", "32", "a.KV2") + "]}",
                           error);
    ASSERT_TRUE(rig) << error;
    emu::FaultPlan gone;
    gone.goneAfterBytes = 0;
    devices_["/p/9"].setFaults(gone);
    RigListener quiet;
    RigRun run(links(), PortMap::defaults(), sleeper_);
    ASSERT_TRUE(run.run({rig->processors[0], rig->processors[1]}, RigAction::Write, {}, quiet)
                    .allSucceeded());

    const RigReport backup = run.run(rig->processors, RigAction::Backup, dir_ / "bk", quiet);
    EXPECT_TRUE(backup.results[0].succeeded());
    EXPECT_EQ(backup.results[1].report.saved.size(), 40u);
    EXPECT_EQ(rigStateText(backup.results[2], RigAction::Backup), "failed");
    EXPECT_TRUE(fs::exists(dir_ / "bk" / "Right" / "backup.json"));

    // Another preset overwrites memory 31; the restore brings back what the backup held.
    RigProcessor overwrite = rig->processors[1];
    overwrite.image = rig->processors[0].image;
    ASSERT_TRUE(run.run({overwrite}, RigAction::Write, {}, quiet).allSucceeded());
    RigBackupManifest manifest;
    const auto listed = RigBackupManifest::load(dir_ / "bk", PortMap::defaults(), manifest, error);
    ASSERT_TRUE(listed) << error;
    ASSERT_EQ(listed->size(), 2u);
    ASSERT_EQ(manifest.missing.size(), 1u);
    EXPECT_EQ(manifest.missing[0].name, "Gone");
    const RigReport restore = run.run(*listed, RigAction::Restore, dir_ / "bk", quiet);
    EXPECT_TRUE(restore.allSucceeded());
    ASSERT_TRUE(run.run({rig->processors[1]}, RigAction::Status, {}, quiet).allSucceeded());

    // A damaged rig manifest is refused with its name.
    write("bk/rig-backup.json", R"({"processors": [{"name": "X", "port": "COM1", "memory": 30,
        "folder": "../elsewhere"}]})");
    EXPECT_FALSE(RigBackupManifest::load(dir_ / "bk", PortMap::defaults(), manifest, error));
    EXPECT_THAT(error, HasSubstr("entry 1 (X): folder:"));
    EXPECT_FALSE(RigBackupManifest::parse(
        R"({"processors": [{"name": "X", "port": "COM1", "memory": 1e300, "folder": "X"}]})",
        error));
    EXPECT_FALSE(
        BackupManifest::parse(R"({"memories": [{"memory": -1e300, "file": "a.KV2"}]})", error));
    EXPECT_THAT(error, HasSubstr("memory:"));
}

TEST_F(Rig, Cancel_StopsProcessorsNotYetStartedOnAPort) {
    std::string error;
    auto rig = parse("{\"processors\": [" + entry("A", "/p/1", "30", "a.KV2") + "]}", error);
    ASSERT_TRUE(rig) << error;
    RigProcessor second = rig->processors[0];
    second.name = "B";
    second.memory = 31;
    // Two processors behind one port (a hand-edited backup manifest) take turns on one worker.
    class CancelAfterFirst final : public RigListener {
    public:
        explicit CancelAfterFirst(RigRun& run) : run_(run) {}
        void finished(std::size_t, const RigResult&) override { run_.cancel(); }
        RigRun& run_;
    };
    RigRun run(links(), PortMap::defaults(), sleeper_);
    CancelAfterFirst listener(run);
    const RigReport report = run.run({rig->processors[0], second}, RigAction::Write, {}, listener);
    EXPECT_TRUE(report.results[0].succeeded());
    EXPECT_EQ(report.results[1].state, RigResult::State::Cancelled);
    EXPECT_EQ(devices_["/p/1"].memory(31), emu::factoryImage());
}

}  // namespace
}  // namespace kvn::link::test
