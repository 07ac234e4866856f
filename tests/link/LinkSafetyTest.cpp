// The check after a write, backups and their restore, the traffic record and the connection
// doctor, against the virtual processor in virtual time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Conversation.h"
#include "CountingSleeper.h"
#include "RecordingProgress.h"
#include "emulator/FactoryImage.h"
#include "emulator/VirtualProcessor.h"
#include "link/ConnectionDoctor.h"
#include "link/DeviceLink.h"
#include "link/DeviceSequences.h"
#include "link/EmulatedD2xx.h"
#include "link/ProcessorBackup.h"
#include "link/SystemPortProbe.h"
#include "link/TrafficLog.h"
#include "link/TrafficTap.h"
#include "link/VirtualSerialChannel.h"

namespace kvn::link::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes imageNamed(char first) {
    const emu::Image factory = emu::factoryImage();
    Bytes image(factory.begin(), factory.end());
    image[12] = static_cast<std::uint8_t>(first);  // the first character of the preset name
    return image;
}

Bytes stored(const emu::VirtualProcessor& device, int memory) {
    const emu::Image image = device.memory(memory);
    return {image.begin(), image.end()};
}

fs::path freshFolder(const std::string& name) {
    const fs::path folder =
        fs::temp_directory_path() / ("kvn-linksafe-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(folder);
    return folder;
}

struct Bench {
    Bench() { link.choose(option()); }
    LinkOption option() {
        return LinkOption::com(1,
                               [this] { return std::make_unique<VirtualSerialChannel>(device); });
    }

    emu::VirtualProcessor device;
    RecordingProgress progress;
    CountingSleeper sleeper;
    DeviceLink link{progress, sleeper};
    DeviceSequences sequences{link, progress, sleeper};
};

TEST(VerifiedWrite, PassesOnWhatWasWrittenAndListsTheFieldsThatDiffer) {
    Bench bench;
    const Bytes written = imageNamed('Q');
    ASSERT_TRUE(bench.sequences.WriteMemory(21, written));
    const auto same = bench.sequences.VerifyMemory(21, written);
    ASSERT_TRUE(same);
    EXPECT_TRUE(same->passed());
    EXPECT_NE(bench.progress.texts.back().find("Memory 21 verified"), std::string::npos)
        << bench.progress.texts.back();

    const auto other = bench.sequences.VerifyMemory(21, imageNamed('R'));
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->passed());
    ASSERT_EQ(other->check.fields.size(), 1u);
    EXPECT_NE(other->check.fields[0].a.find('R'), std::string::npos);
    EXPECT_NE(other->check.fields[0].b.find('Q'), std::string::npos);

    // A memory that cannot be read back is no verdict at all.
    bench.device.setFaults({.silentFromByte = 1});
    EXPECT_FALSE(bench.sequences.VerifyMemory(21, written));
}

// A wrong byte in data block 27 of a read lies in the first parameter copy: Output 2's band 7.
emu::FaultPlan wrongParameter(std::optional<std::uint64_t> transfers) {
    return {.wrongByte = emu::WrongByte{.step = emu::TransferStep::DataBlock, .block = 27},
            .faultTransfers = transfers};
}

TEST(CheckedRead, ADamagedCopyIsReadAgainAndRefusedWhenItStaysDamaged) {
    Bench bench;
    const Bytes held = stored(bench.device, 25);
    bench.device.setFaults(wrongParameter(1));
    EXPECT_EQ(bench.sequences.ReadMemory(25), held) << "the second read is whole";
    EXPECT_TRUE(bench.progress.messages.empty());
    EXPECT_NE(std::find(bench.progress.texts.begin(), bench.progress.texts.end(),
                        "Info: Memory 25 came back damaged: reading it again..."),
              bench.progress.texts.end());

    bench.device.setFaults(wrongParameter(std::nullopt));
    EXPECT_FALSE(bench.sequences.ReadMemory(25));
    ASSERT_EQ(bench.progress.messages.size(), 1u);
    EXPECT_EQ(bench.progress.messages[0],
              "Memory 25 came back damaged at two reads in a row, so nothing was taken from it. "
              "The two copies of the memory image differ: Output 2 band 7 frequency.");
    EXPECT_NE(bench.sequences.lastFailure().find("Output 2 band 7 frequency"), std::string::npos);
    // The check after a write reads through the same check.
    EXPECT_FALSE(bench.sequences.VerifyMemory(25, held));
}

TEST(CheckedRead, ANameDamagedAtOneReadIsCaughtByTheSecondAndSettledByAThird) {
    Bench bench;
    ASSERT_TRUE(bench.sequences.WriteMemory(30, imageNamed('H')));
    // Block 1 starts with Output 1's name, which the image holds once.
    bench.device.setFaults(
        {.wrongByte = emu::WrongByte{.step = emu::TransferStep::DataBlock, .block = 1},
         .faultTransfers = 1});
    const auto read = bench.sequences.ReadMemoryConfirmed(30);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->reads, 3);
    EXPECT_EQ(read->bytes, imageNamed('H'));

    bench.device.setFaults({});
    const auto plain = bench.sequences.ReadMemoryConfirmed(30);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->reads, 2);
}

TEST(Backup, SavesEveryMemoryRestoresThemAndSkipsWhatCannotBeRead) {
    Bench bench;
    for (int memory = 21; memory <= 23; ++memory) {
        ASSERT_TRUE(
            bench.sequences.WriteMemory(memory, imageNamed(static_cast<char>('A' + memory))));
    }
    const fs::path folder = freshFolder("backup");
    ProcessorBackup backup(bench.sequences);
    // A fault on the first read only (Output 1's name, which the image holds once) is caught by
    // the second: what is saved is what the memory holds.
    bench.device.setFaults(
        {.wrongByte = emu::WrongByte{.step = emu::TransferStep::DataBlock, .block = 1},
         .faultTransfers = 1});
    const ProcessorBackup::Report saved = backup.backup(folder, {21, 23});
    bench.device.setFaults({});
    ASSERT_TRUE(saved.complete()) << saved.error;
    std::ifstream exact(folder / saved.saved[0].image, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(exact), {}), stored(bench.device, 21));
    ASSERT_EQ(saved.saved.size(), 3u);
    EXPECT_TRUE(fs::exists(folder / "backup.json"));
    EXPECT_TRUE(fs::exists(folder / saved.saved[1].file));
    const Bytes memory22 = stored(bench.device, 22);

    ASSERT_TRUE(bench.sequences.WriteMemory(22, imageNamed('z')));
    const ProcessorBackup::Report restored = backup.restore(folder, {21, 23});
    EXPECT_TRUE(restored.complete()) << restored.error;
    // The memory holds exactly what it held, values the editor's load would change included.
    EXPECT_EQ(stored(bench.device, 22), memory22);

    // The processor goes away after the first memory (read twice): the others are listed, the
    // first is kept, and the manifest says which were missed.
    const std::uint64_t before = bench.device.counters().bytesReceived;
    ASSERT_TRUE(bench.sequences.ReadMemory(21));
    const std::uint64_t perRead = bench.device.counters().bytesReceived - before;
    bench.device.setFaults({.goneAfterBytes = 2 * perRead + perRead / 2});
    const fs::path partialFolder = freshFolder("partial");
    const ProcessorBackup::Report partial = backup.backup(partialFolder, {21, 23});
    EXPECT_FALSE(partial.complete());
    ASSERT_EQ(partial.saved.size(), 1u);
    EXPECT_EQ(partial.saved[0].memory, 21);
    ASSERT_EQ(partial.skipped.size(), 2u);
    EXPECT_EQ(partial.problems().size(), 2u);
    std::ifstream manifest(partialFolder / "backup.json");
    const std::string json((std::istreambuf_iterator<char>(manifest)), {});
    EXPECT_NE(json.find("23"), std::string::npos);

    // A folder that cannot be made is an error, not an empty success.
    const ProcessorBackup::Report nowhere = backup.backup(folder / "backup.json" / "x", {21, 21});
    EXPECT_FALSE(nowhere.complete());
    EXPECT_FALSE(nowhere.error.empty());
    fs::remove_all(folder);
    fs::remove_all(partialFolder);
}

TEST(TrafficRecord, SavesAConversationTheLinkTestsReplay) {
    Bench bench;
    auto log = std::make_shared<TrafficLog>();
    ASSERT_EQ(bench.link.choose(withTrafficLog(bench.option(), log)),
              DeviceLink::Choice::Connected);
    ASSERT_TRUE(bench.link.identify().answered);
    const fs::path path = freshFolder("traffic");
    std::string error;
    ASSERT_TRUE(log->save(path.string(), error)) << error;
    std::ifstream in(path);
    const Conversation replay =
        Conversation::parse(std::string((std::istreambuf_iterator<char>(in)), {}));
    ASSERT_GE(replay.steps.size(), 2u);
    EXPECT_EQ(replay.steps[0].kind, Conversation::Kind::Sent);
    EXPECT_EQ(replay.steps[1].kind, Conversation::Kind::Recv);

    // A file that cannot be written says why and leaves the old one.
    EXPECT_FALSE(log->save((path / "inside").string(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_regular_file(path));
    fs::remove(path);
}

// Facts as the test wants them.
class MadeUpProbe : public PortProbe {
public:
    PortFacts facts;
    std::vector<UsbConverter> converters;
    PortFacts port(const std::string&) const override { return facts; }
    std::vector<UsbConverter> usbConverters() const override { return converters; }
};

TEST(ConnectionDoctor, NamesWhatIsWrongFromTheChecksItMakes) {
    struct Case {
        const char* name;
        bool usb;
        std::function<void(MadeUpProbe&, emu::VirtualProcessor&, bool& present)> setUp;
        std::string expected;  // part of the diagnosis
        bool answered;
    };
    const UsbConverter ftdi{"FT232R USB UART", "/dev/bus/usb/001/004", true, "plugdev",
                            "/dev/ttyUSB0"};
    const std::vector<Case> cases = {
        {"healthy", false, [](auto&, auto&, bool&) {}, "A KVN 350 answers on /dev/ttyS0", true},
        {"missing", false, [](MadeUpProbe& p, auto&, bool&) { p.facts.exists = false; },
         "/dev/ttyS0 does not exist. No FTDI USB serial converter", false},
        {"missing, converter elsewhere", false,
         [&](MadeUpProbe& p, auto&, bool&) {
             p.facts.exists = false;
             p.converters = {ftdi};
         },
         "plugged in as /dev/ttyUSB0", false},
        {"no permission", false,
         [](MadeUpProbe& p, auto&, bool&) {
             p.facts.permitted = false;
             p.facts.group = "dialout";
             p.facts.inGroup = false;
             p.facts.groupMayUse = true;
         },
         "sudo usermod -aG dialout $USER", false},
        {"held", false,
         [](MadeUpProbe& p, auto&, bool& present) {
             p.facts.holders = {"minicom (pid 4711)"};
             present = false;
         },
         "in use by another program (minicom (pid 4711))", false},
        {"silent", false,
         [](auto&, emu::VirtualProcessor& d, bool&) { d.setFaults({.silentFromByte = 1}); },
         "nothing comes back", false},
        {"garbage", false,
         [](auto&, emu::VirtualProcessor& d, bool&) {
             d.setFaults({.wrongByte = emu::WrongByte{emu::TransferStep::Start, 0, 0x3F}});
         },
         "not as a KVN 350 does", false},
        {"usb healthy", true, [](auto&, auto&, bool&) {}, "A KVN 350 answers", true},
        {"usb absent", true, [](auto&, auto&, bool& present) { present = false; },
         "No FTDI USB converter is plugged in", false},
        {"usb held by the kernel", true,
         [&](MadeUpProbe& p, auto&, bool& present) {
             present = false;
             p.converters = {ftdi};
         },
         "sudo rmmod ftdi_sio", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emu::VirtualProcessor device;
        MadeUpProbe probe;
        probe.facts.exists = true;
        bool present = true;
        c.setUp(probe, device, present);
        LinkOption option = c.usb ? LinkOption::usb([&] {
            auto made = std::make_unique<EmulatedD2xx>(device);
            made->setDevicePresent(present);
            return made;
        })
                                  : LinkOption::com(1, [&] {
                                        auto made = std::make_unique<VirtualSerialChannel>(device);
                                        made->setPortPresent(present);
                                        return made;
                                    });
        if (!c.usb) {
            option.portPath = "/dev/ttyS0";
        }
        CountingSleeper sleeper;
        const DoctorReport report = diagnoseConnection(option, probe, sleeper);
        EXPECT_EQ(report.answered(), c.answered);
        EXPECT_NE(report.diagnosis().find(c.expected), std::string::npos) << report.diagnosis();
        EXPECT_FALSE(report.lines().empty());
    }
}

TEST(SystemPortProbe, SeesAMissingPortAPortHeldOpenAndOneWithoutPermission) {
    const SystemPortProbe probe;
    EXPECT_FALSE(probe.port("/dev/kvn-no-such-port").exists);

    const fs::path port = freshFolder("port");
    std::ofstream(port) << "x";

    // Another program holds it open.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int fd = open(port.c_str(), O_RDWR);
        const char byte = fd >= 0 ? 1 : 0;
        (void)!write(ready[1], &byte, 1);
        pause();
        _exit(0);
    }
    char opened = 0;
    ASSERT_EQ(read(ready[0], &opened, 1), 1);
    EXPECT_EQ(opened, 1);
    const PortFacts held = probe.port(port.string());
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(held.exists);
    ASSERT_EQ(held.holders.size(), 1u);
    EXPECT_NE(held.holders[0].find(std::to_string(holder)), std::string::npos) << held.holders[0];

    // A port without permission for anyone but root; root opens anything, so the check runs
    // as an unprivileged user in a child.
    fs::permissions(port, fs::perms::none);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0) {
            _exit(2);
        }
        _exit(probe.port(port.string()).permitted ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    fs::remove(port);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "root could not become an unprivileged user to check the permission";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a port nobody may open was reported as usable";
}

}  // namespace
}  // namespace kvn::link::test
