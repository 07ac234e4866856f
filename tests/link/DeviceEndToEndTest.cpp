// Every device sequence against the virtual processor, over the in-process serial channel and the
// emulated USB converter, in virtual time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "CountingSleeper.h"
#include "RecordingProgress.h"
#include "emulator/FactoryImage.h"
#include "emulator/VirtualProcessor.h"
#include "link/DeviceLink.h"
#include "link/DeviceSequences.h"
#include "link/EmulatedD2xx.h"
#include "link/FirmwareText.h"
#include "link/RealTimeSender.h"
#include "link/VirtualSerialChannel.h"

namespace kvn::link::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

enum class Via { Serial, Usb };

std::string name(const ::testing::TestParamInfo<Via>& info) {
    return info.param == Via::Serial ? "Serial" : "Usb";
}

Bytes imageWith(std::uint8_t mark) {
    const emu::Image factory = emu::factoryImage();
    Bytes image(factory.begin(), factory.end());
    image[12] = mark;  // the first character of the preset name
    return image;
}

Bytes stored(const emu::VirtualProcessor& device, int memory) {
    const emu::Image image = device.memory(memory);
    return {image.begin(), image.end()};
}

class EndToEnd : public ::testing::TestWithParam<Via> {
protected:
    EndToEnd() { choose(); }

    DeviceLink::Choice choose() {
        if (GetParam() == Via::Serial) {
            return link.choose(LinkOption::com(1, [this] {
                auto made = std::make_unique<VirtualSerialChannel>(device);
                made->setPortPresent(portPresent);
                channel = made.get();
                return made;
            }));
        }
        return link.choose(LinkOption::usb([this] {
            auto made = std::make_unique<EmulatedD2xx>(device);
            made->setDevicePresent(portPresent);
            return made;
        }));
    }
    const std::string& lastMessage() const { return progress.messages.back(); }

    emu::VirtualProcessor device;
    bool portPresent = true;
    VirtualSerialChannel* channel = nullptr;
    RecordingProgress progress;
    CountingSleeper sleeper;
    DeviceLink link{progress, sleeper};
    DeviceSequences sequences{link, progress, sleeper};
};

INSTANTIATE_TEST_SUITE_P(Links, EndToEnd, ::testing::Values(Via::Serial, Via::Usb), name);

TEST_P(EndToEnd, Identify_InBothPasswordSchemes) {
    EXPECT_TRUE(link.identify().answered);
    EXPECT_TRUE(link.LetterPassword());  // the processor answers 60
    device.setCommandReply(49);
    const auto identified = link.identify();
    EXPECT_EQ(identified.statusText,
              GetParam() == Via::Serial ? "Status : Connected at COM1" : "Status : USB");
    EXPECT_FALSE(link.LetterPassword());
    EXPECT_THAT(progress.messages, IsEmpty());
}

TEST_P(EndToEnd, WriteThenReadBack_GivesTheSameBytesAndRunsTheMemory) {
    const Bytes image = imageWith('W');
    ASSERT_TRUE(sequences.WriteMemory(35, image));
    EXPECT_EQ(stored(device, 35), image);
    EXPECT_EQ(device.activeMemory(), 35);
    EXPECT_THAT(device.bankDifferences(1, image), IsEmpty());
    EXPECT_EQ(sequences.ReadMemory(35), image);
    EXPECT_EQ(sleeper.totalMs >= 100, true);  // the processor was given time to store it
    ASSERT_TRUE(sequences.ChangeMemory(21));
    EXPECT_EQ(device.activeMemory(), 21);
    EXPECT_THAT(progress.messages, IsEmpty());
}

TEST_P(EndToEnd, ProtectedMemory_IsNeitherWrittenNorRecalled) {
    device.setProtected(30, true);
    const Bytes before = stored(device, 30);
    EXPECT_FALSE(sequences.WriteMemory(30, imageWith('P')));
    EXPECT_EQ(stored(device, 30), before);
    EXPECT_EQ(device.activeMemory(), 21);
    EXPECT_THAT(progress.messages,
                ElementsAre("MEMORY PROTECTED. If you want to override it, you must unprotect it "
                            "from the keyboard of the Processor."));
    EXPECT_EQ(progress.reconnects, 0);
    EXPECT_EQ(link.ConnectionMode(), GetParam() == Via::Serial ? 1 : 5);
}

TEST_P(EndToEnd, KeyboardLockPasswordAndFirmware) {
    ASSERT_TRUE(sequences.KeyboardLock(true));
    EXPECT_TRUE(device.keyboardLocked());
    ASSERT_TRUE(sequences.KeyboardLock(false));
    EXPECT_FALSE(device.keyboardLocked());

    // A letter password (active), then a key-press one (not active).
    for (const emu::PasswordBlock block : {emu::PasswordBlock{'B', 'A', 'Z', 'A', 'A', 'A', 0xFF},
                                           emu::PasswordBlock{1, 1, 2, 3, 3, 2, 0x00}}) {
        ASSERT_TRUE(sequences.SetPassword(block));
        EXPECT_EQ(device.password(), block);
    }

    std::string text = "firmware\n";
    for (int line = 0; line < 512; ++line) {
        text += "0x01 , 0x23 , 0x45 , 0x67 , 0x89 , \n";
    }
    const FirmwarePayload payload = parseFirmwareText(text);
    ASSERT_TRUE(payload.valid()) << payload.error;
    ASSERT_TRUE(sequences.FirmwareUpdate(payload.bytes));
    EXPECT_EQ(device.firmware(), payload.bytes);
    EXPECT_TRUE(device.firmwareDone());
}

TEST_P(EndToEnd, RealTimeStart_ReadsTheMemoryTheProcessorRuns) {
    const Bytes image = imageWith('R');
    ASSERT_TRUE(sequences.WriteMemory(35, image));
    device.recallMemory(22);
    device.recallMemory(35);
    const auto start = sequences.EnterRealTime(MemoryRange::user());
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->memory, 35);
    EXPECT_EQ(start->bytes, image);
    // A factory memory is held to the selector's range.
    device.recallMemory(5);
    EXPECT_EQ(sequences.QueryActiveMemory(MemoryRange::user()), 21);
}

TEST_P(EndToEnd, RealTimeMessages_ReachTheRunningBankAfterTheirPauses) {
    RealTimeSender sender(sleeper);
    RealTimeBacklog backlog;
    backlog.post(RealTimeUpdate::integerWord(1, 142, 101));  // output 2 delayed by 100 samples
    backlog.post(RealTimeUpdate::section(1, 100, {1.0, -1.0, 0.5, 2.5, -0.000001}));
    backlog.post(RealTimeUpdate::coefficientWord(2, 144, 0.5));
    ASSERT_TRUE(sender.drain(backlog, link.transferLink(), progress));
    EXPECT_THAT(sleeper.waits, ElementsAre(4, 30, 1));
    EXPECT_EQ(device.bankWord(1, 142), (Word{0x00, 0x00, 0x65}));
    EXPECT_EQ(device.bankWord(1, 100), (Word{0x10, 0x00, 0x00}));
    EXPECT_EQ(device.bankWord(1, 103), (Word{0x1F, 0xFF, 0xFF}));
    EXPECT_EQ(device.bankWord(1, 104), (Word{0x3F, 0xFF, 0xFF}));
    EXPECT_EQ(device.bankWord(2, 144), (Word{0x08, 0x00, 0x00}));
    EXPECT_EQ(device.counters().realTimeApplied, 3u);
    // The START the processor echoed is left in the input; the next transfer is not misled.
    EXPECT_TRUE(sequences.ChangeMemory(22));

    // A processor that cannot be reached: one "ERROR", and the waiting edits are dropped.
    device.setFaults(emu::FaultPlan{.goneAfterBytes = 0});
    backlog.post(RealTimeUpdate::integerWord(1, 141, 1));
    backlog.post(RealTimeUpdate::integerWord(1, 143, 1));
    EXPECT_FALSE(sender.drain(backlog, link.transferLink(), progress));
    EXPECT_EQ(std::count(progress.messages.begin(), progress.messages.end(), "ERROR"), 1);
    EXPECT_FALSE(backlog.draining());
}

TEST_P(EndToEnd, RealTimeValueChangedDuringThePauseGoesOutAsItIsAtItsEnd) {
    // The mouse moves on while the sender waits before a section: the message carries the new
    // value, and the old one is never sent.
    struct MovingOn : Sleeper {
        std::function<void()> during;
        void sleepMs(int) override { std::exchange(during, nullptr)(); }
    } sleeperThatMovesOn;
    RealTimeSender sender(sleeperThatMovesOn);
    RealTimeBacklog backlog;
    backlog.post(RealTimeUpdate::section(1, 100, {0.25, 0, 0, 0, 0}));
    sleeperThatMovesOn.during = [&] {
        backlog.post(RealTimeUpdate::section(1, 100, {0.5, 0, 0, 0, 0}));
    };
    ASSERT_TRUE(sender.drain(backlog, link.transferLink(), progress));
    EXPECT_EQ(device.bankWord(1, 100), (Word{0x08, 0x00, 0x00}));
    EXPECT_EQ(device.counters().realTimeApplied, 1u);
}

TEST_P(EndToEnd, CopyToAllMemories_WritesEveryMemoryOfTheRangeOnce) {
    const Bytes before = stored(device, 20);
    const Bytes image = imageWith('C');
    ASSERT_TRUE(sequences.CopyToAllMemories(image, MemoryRange::user()));
    for (int memory = 21; memory <= 60; ++memory) {
        ASSERT_EQ(stored(device, memory), image) << "memory " << memory;
    }
    EXPECT_EQ(stored(device, 20), before);
    EXPECT_EQ(device.counters().transfersCompleted, 40u);
}

TEST_P(EndToEnd, SilentProcessor_FailsTellsTheUserAndDropsTheLink) {
    device.setFaults(emu::FaultPlan{.silentFromByte = 1});
    EXPECT_FALSE(sequences.ChangeMemory(22));
    EXPECT_EQ(lastMessage(), GetParam() == Via::Serial
                                 ? "Comunication ERROR. Please verify that the COM port selected "
                                   "is correct and there isn't a USB Connected and your KVN 350 "
                                   "unit is in its Main Menu"
                                 : "Comunication ERROR. Please verify that the USB port is "
                                   "correct and your KVN 350 unit is in its Main Menu");
    EXPECT_EQ(link.ConnectionMode(), 0);
    EXPECT_EQ(progress.drops, 1);
    EXPECT_FALSE(progress.windowShown);
}

TEST_P(EndToEnd, WrongAnswersStopTheTransferWithTheirTexts) {
    const struct {
        emu::TransferStep step;
        const char* info;
    } cases[] = {
        {emu::TransferStep::Start, "  ¡¡ERROR!! DATA NO VALID(123)"},
        {emu::TransferStep::Long, "¡¡ERROR!! DATA NO VALID (Long)"},
        {emu::TransferStep::End, " ¡¡ERROR!! DATA NO VALID (END)"},
    };
    for (const auto& c : cases) {
        device.setFaults(emu::FaultPlan{.wrongByte = emu::WrongByte{c.step, 0, 123}});
        EXPECT_FALSE(sequences.ChangeMemory(22)) << c.info;
        EXPECT_THAT(progress.texts, Contains(std::string("Info: ") + c.info));
        // The processor gives up on the broken transfer only after its time-out of silence.
        device.advanceTo(device.now() + std::chrono::seconds(4));
    }
    EXPECT_THAT(progress.messages, ElementsAre("ERROR"));
    EXPECT_EQ(link.ConnectionMode(), GetParam() == Via::Serial ? 1 : 5);
}

// A silent serial link gives up at its first reply time-out; USB reads may come back empty.
class UsbEndToEnd : public EndToEnd {};
INSTANTIATE_TEST_SUITE_P(Links, UsbEndToEnd, ::testing::Values(Via::Usb), name);

TEST_P(UsbEndToEnd, ReadThatStopsMidStream_GivesUpAfterAFewEmptyReads) {
    // The request takes 13 bytes, the stream's header answers 6 and the first ack 1 more.
    device.setFaults(emu::FaultPlan{.silentFromByte = 21});
    EXPECT_FALSE(sequences.ReadMemory(21).has_value());
    EXPECT_EQ(lastMessage(),
              "Comunication ERROR. Please verify that the USB port is correct and your KVN 350 "
              "unit is in its Main Menu");
    EXPECT_EQ(link.ConnectionMode(), 0);
}

TEST_P(EndToEnd, ProcessorGoneMidTransfer_DropsTheLinkAndAsksToReconnectOnUsb) {
    device.setFaults(emu::FaultPlan{.goneAfterBytes = 300});
    EXPECT_FALSE(sequences.WriteMemory(35, imageWith('G')));
    EXPECT_EQ(link.ConnectionMode(), 0);
    EXPECT_NE(stored(device, 35), imageWith('G'));
    if (GetParam() == Via::Usb) {
        EXPECT_THAT(progress.messages, Contains("The KVN 350 was closed. You need to Reconnect."));
        EXPECT_EQ(progress.reconnects, 1);
    }
}

TEST_P(EndToEnd, MissingPortOrConverter_LeavesTheLinkOffline) {
    portPresent = false;
    const auto choice = choose();
    EXPECT_EQ(link.ConnectionMode(), 0);
    if (GetParam() == Via::Serial) {
        EXPECT_EQ(choice, DeviceLink::Choice::PortInUse);
        EXPECT_EQ(lastMessage(), "COM Port already in use. Select another.");
    } else {
        EXPECT_EQ(choice, DeviceLink::Choice::Offline);
        EXPECT_EQ(lastMessage(),
                  "Can't open the USB. Please verify that the USB port is correct and your KVN "
                  "350 unit is switch on - Device Not Found....");
        EXPECT_EQ(link.identify().statusText, "Status : Offline");
    }
}

TEST_P(EndToEnd, RefusedRequests_SendNothing) {
    EXPECT_FALSE(sequences.WriteMemory(61, imageWith('X')));
    EXPECT_FALSE(sequences.ReadMemory(0).has_value());
    EXPECT_THAT(progress.messages, ElementsAre("There is no memory 61 in the KVN 350.",
                                               "There is no memory 0 in the KVN 350."));
    if (GetParam() == Via::Serial) {
        // Another program took the port between the choice and the connection check.
        channel->disconnect();
        channel->setPortPresent(false);
        const auto identified = link.identify();
        EXPECT_FALSE(identified.hideConnectionWindow);
        EXPECT_EQ(lastMessage(), "COM Port already used. Please, select another.");
    }
    link.choose(LinkOption::offline());
    EXPECT_FALSE(sequences.KeyboardLock(true));
    EXPECT_FALSE(sequences.QueryActiveMemory(MemoryRange::user()).has_value());
    EXPECT_EQ(device.counters().bytesReceived, 0u);
}

}  // namespace
}  // namespace kvn::link::test
