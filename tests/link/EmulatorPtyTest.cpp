// The real serial driver against kvn350-emulator on a pseudo-terminal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CountingSleeper.h"
#include "EmulatorProcess.h"
#include "RecordingProgress.h"
#include "emulator/FactoryImage.h"
#include "link/ConnectionDoctor.h"
#include "link/DeviceSequences.h"
#include "link/RealTimeSender.h"
#include "link/SystemPortProbe.h"
#include "link/TCommPortDriver.h"

namespace kvn::link::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct PtyLink {
    explicit PtyLink(const std::string& path) {
        choice = link.choose(
            LinkOption::serial(1, path, [path] { return TCommPortDriver::forProcessorAt(path); }));
    }
    RecordingProgress progress;
    CountingSleeper sleeper;
    DeviceLink link{progress, sleeper};
    DeviceSequences sequences{link, progress, sleeper};
    DeviceLink::Choice choice;
};

TEST(EmulatorOverPty, SerialDriverCarriesTransfersReadsAndRealTimeMessages) {
    EmulatorProcess emulator({"--command-reply", "40"});
    ASSERT_FALSE(emulator.path().empty());
    PtyLink pty(emulator.path());
    ASSERT_EQ(pty.choice, DeviceLink::Choice::Connected);
    EXPECT_TRUE(pty.link.identify().answered);
    EXPECT_FALSE(pty.link.LetterPassword());

    const emu::Image factory = emu::factoryImage();
    std::vector<std::uint8_t> image(factory.begin(), factory.end());
    image[12] = 'T';
    ASSERT_TRUE(pty.sequences.WriteMemory(22, image));
    // The processor echoes the START of a real-time message; the read after it must not take
    // that byte for an answer.
    RealTimeSender sender(pty.sleeper);
    RealTimeBacklog backlog;
    backlog.post(RealTimeUpdate::integerWord(1, 142, 101));
    ASSERT_TRUE(sender.drain(backlog, pty.link.transferLink(), pty.progress));
    EXPECT_EQ(pty.sequences.ReadMemory(22), image);
    EXPECT_EQ(pty.sequences.QueryActiveMemory(MemoryRange::user()), 22);
    EXPECT_THAT(pty.progress.messages, IsEmpty());
}

TEST(EmulatorOverPty, ProcessorPulledOutMidTransfer_DropsTheLink) {
    EmulatorProcess emulator({"--disappear-after", "300"});
    ASSERT_FALSE(emulator.path().empty());
    PtyLink pty(emulator.path());
    const emu::Image factory = emu::factoryImage();
    EXPECT_FALSE(
        pty.sequences.WriteMemory(21, std::vector<std::uint8_t>(factory.begin(), factory.end())));
    EXPECT_THAT(pty.progress.messages,
                ElementsAre("Comunication ERROR. Please verify that the COM port selected is "
                            "correct and there isn't a USB Connected and your KVN 350 unit is in "
                            "its Main Menu"));
    EXPECT_EQ(pty.link.ConnectionMode(), 0);
    EXPECT_EQ(pty.progress.drops, 1);
}

TEST(EmulatorOverPty, DoctorTellsAnAnsweringProcessorFromASilentOneAndFromGarbage) {
    struct Case {
        QStringList faults;
        std::string expected;  // part of the diagnosis
        bool answered;
    };
    const std::vector<Case> cases = {
        {{}, "A KVN 350 answers on", true},
        {{"--silent-from-byte", "1"}, "nothing comes back", false},
        {{"--wrong-byte", "start=63"}, "not as a KVN 350 does", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EmulatorProcess emulator(c.faults);
        ASSERT_FALSE(emulator.path().empty());
        const std::string path = emulator.path();
        LinkOption option =
            LinkOption::serial(1, path, [path] { return TCommPortDriver::forProcessorAt(path); });
        option.portPath = path;
        CountingSleeper sleeper;
        const DoctorReport report = diagnoseConnection(option, SystemPortProbe(), sleeper);
        EXPECT_EQ(report.answered(), c.answered);
        EXPECT_NE(report.diagnosis().find(c.expected), std::string::npos) << report.diagnosis();
    }
}

}  // namespace
}  // namespace kvn::link::test
