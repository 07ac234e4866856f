// The real serial driver against kvn350-emulator on a pseudo-terminal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CountingSleeper.h"
#include "EmulatorProcess.h"
#include "RecordingProgress.h"
#include "emulator/FactoryImage.h"
#include "link/DeviceSequences.h"
#include "link/RealTimeSender.h"
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

}  // namespace
}  // namespace kvn::link::test
