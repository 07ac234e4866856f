#include "link/TransferProtocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "Replay.h"

namespace kvn::link::test {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Le;

std::vector<std::uint8_t> bytesOf(int count, int multiplier, int offset) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((i * multiplier + offset) & 0xFF));
    }
    return bytes;
}

// The same recorded conversations hold on both links.
template <typename ReplayType>
class BothLinks : public ::testing::Test {};
using LinkTypes = ::testing::Types<SerialReplay, UsbReplay>;
TYPED_TEST_SUITE(BothLinks, LinkTypes);

TYPED_TEST(BothLinks, Identify_ReplaysHeaderAndKeepsTheCommandReply) {
    TypeParam replay("identify_letter_scheme.txt");
    EXPECT_TRUE(replay.protocol.SendTransfer(wire::Command::Identify, 0, {}, true));
    expectRecordedConversation(replay);
    EXPECT_EQ(replay.protocol.CommandReply(), 0x32);
    EXPECT_EQ(replay.protocol.lastFailure(), TransferFailure::None);
    EXPECT_EQ(replay.progress.shows, 1);
    EXPECT_FALSE(replay.progress.windowShown);
    EXPECT_EQ(replay.progress.gaugeMaximum, 0);
}

TYPED_TEST(BothLinks, Payloads_GoInBlocksOf64WithARest) {
    TypeParam write("write_65_bytes.txt");
    EXPECT_TRUE(
        write.protocol.SendTransfer(wire::Command::WriteMemory, 21, bytesOf(65, 7, 3), true));
    expectRecordedConversation(write);
    EXPECT_EQ(write.progress.gaugeMaximum, 65);
    EXPECT_THAT(write.progress.gaugePositions, ElementsAre(0, 64, 65));

    TypeParam lock("keyboard_lock.txt");
    const std::uint8_t locked = 0xFF;
    EXPECT_TRUE(
        lock.protocol.SendTransfer(wire::Command::KeyboardLock, 0, std::span(&locked, 1), true));
    expectRecordedConversation(lock);
    EXPECT_THAT(lock.progress.gaugePositions, ElementsAre(0, 1));
}

TYPED_TEST(BothLinks, WrongAnswers_StopTheTransferWhereTheyCome) {
    const std::uint8_t unlocked = 0x00;
    struct Case {
        const char* fixture;
        wire::Command command;
        std::uint8_t program;
        std::span<const std::uint8_t> payload;
        TransferFailure failure;
    };
    const Case cases[] = {
        {"wrong_start.txt", wire::Command::RecallMemory, 22, {}, TransferFailure::BadStart},
        {"wrong_program.txt", wire::Command::RecallMemory, 22, {}, TransferFailure::BadProgram},
        {"memory_protected.txt", wire::Command::WriteMemory, 30, std::span(&unlocked, 1),
         TransferFailure::MemoryProtected},
        {"wrong_long.txt", wire::Command::KeyboardLock, 0, std::span(&unlocked, 1),
         TransferFailure::BadLong},
        {"wrong_end.txt", wire::Command::RecallMemory, 21, {}, TransferFailure::BadEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        TypeParam replay(c.fixture);
        EXPECT_FALSE(replay.protocol.SendTransfer(c.command, c.program, c.payload, true));
        // Nothing is sent after the wrong answer: the fixtures end there.
        expectRecordedConversation(replay);
        EXPECT_EQ(replay.protocol.lastFailure(), c.failure);
        EXPECT_EQ(replay.drops, 0);
        // The error text stays visible in the window.
        EXPECT_TRUE(replay.progress.windowShown);
    }
}

TYPED_TEST(BothLinks, QueryMemory_KeepsTheActiveMemoryTheDeviceAnswers) {
    TypeParam replay("query_memory_35.txt");
    EXPECT_TRUE(replay.protocol.SendTransfer(wire::Command::QueryMemory, 0, {}, true));
    expectRecordedConversation(replay);
    EXPECT_EQ(replay.protocol.activeMemory(), 35);
}

TYPED_TEST(BothLinks, StrayStartEchoFromBefore_IsPurgedWhenTheTransferOpens) {
    TypeParam replay("stray_start.txt");
    EXPECT_TRUE(replay.protocol.SendTransfer(wire::Command::RecallMemory, 21, {}, true));
    expectRecordedConversation(replay);
}

TYPED_TEST(BothLinks, ReadMemory_ReturnsTheStreamedImageAndAcknowledgesEachBlock) {
    TypeParam replay("read_memory_70_bytes.txt");
    const auto image = replay.protocol.ReadMemory(21);
    ASSERT_TRUE(image.has_value());
    std::vector<std::uint8_t> expected{0x00, 0x46};
    const auto rest = bytesOf(68, 13, 1);
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(*image, expected);
    EXPECT_THAT(replay.script().faults, IsEmpty());
    if constexpr (std::is_same_v<TypeParam, SerialReplay>) {
        expectRecordedConversation(replay);
    }
    EXPECT_EQ(replay.progress.gaugeMaximum, 70);
    EXPECT_THAT(replay.progress.gaugePositions, ElementsAre(0, 64, 70));
    EXPECT_FALSE(replay.progress.windowShown);
}

TYPED_TEST(BothLinks, OversizedPayload_IsRefusedBeforeAnythingIsSent) {
    TypeParam replay(Conversation{});
    const std::vector<std::uint8_t> payload(wire::kBufferBytes + 1, 0);
    EXPECT_FALSE(replay.protocol.SendTransfer(wire::Command::WriteMemory, 21, payload, true));
    EXPECT_EQ(replay.protocol.lastFailure(), TransferFailure::TooLong);
    EXPECT_THAT(replay.script().allSent, IsEmpty());
}

TEST(SerialTransfer, Silence_ReportsTheLostLinkAndDropsToOffline) {
    SerialReplay replay("serial_silence.txt");
    EXPECT_FALSE(replay.protocol.SendTransfer(wire::Command::Identify, 0, {}, true));
    expectRecordedConversation(replay);
    EXPECT_EQ(replay.protocol.lastFailure(), TransferFailure::NoReply);
    EXPECT_EQ(replay.drops, 1);
    EXPECT_FALSE(replay.channel.connected());
    EXPECT_FALSE(replay.progress.windowShown);
    EXPECT_EQ(replay.channel.lastTimeoutMs, 2000);
}

TEST(SerialTransfer, LatePartsOfAnAnswer_AreNotTakenForTheNextAnswer) {
    SerialReplay replay("split_replies.txt");
    EXPECT_TRUE(replay.protocol.SendTransfer(wire::Command::RecallMemory, 21, {}, true));
    expectRecordedConversation(replay);
}

TEST(SerialTransfer, ReadMemory_WrongBeginAlwaysNames128AndTheReadGoesOn) {
    SerialReplay replay("serial_read_memory_wrong_begin.txt");
    EXPECT_TRUE(replay.protocol.ReadMemory(21).has_value());
    expectRecordedConversation(replay);
}

TEST(UsbTransfer, ReadMemory_WrongBeginNamesTheByteAndTheReadGoesOn) {
    UsbReplay replay("usb_read_memory_wrong_begin.txt");
    EXPECT_TRUE(replay.protocol.ReadMemory(21).has_value());
    expectRecordedConversation(replay);
}

TEST(UsbTransfer, EachTransferOpensPurgesPacesAndClosesTheDevice) {
    UsbReplay replay("stray_start.txt");
    EXPECT_TRUE(replay.protocol.SendTransfer(wire::Command::RecallMemory, 21, {}, true));
    EXPECT_EQ(replay.d2xx.calls.front(), "open 0");
    EXPECT_EQ(replay.d2xx.calls[1], "purge 3");
    EXPECT_EQ(replay.d2xx.calls.back(), "close");
    EXPECT_FALSE(replay.d2xx.isOpen());
    // Every read is preceded by the 1000 ms time-outs.
    std::string previous;
    for (const std::string& call : replay.d2xx.calls) {
        if (call == "read") {
            EXPECT_EQ(previous, "setTimeouts 1000 1000");
        }
        previous = call;
    }
    EXPECT_GT(replay.sleeper.totalMs, 0);
    EXPECT_THAT(replay.sleeper.waits, Each(Le(2)));
}

TEST(UsbTransfer, EmptyReplyRead_IsSilenceNotAStaleByte) {
    UsbReplay replay("usb_silence.txt");
    EXPECT_FALSE(replay.protocol.SendTransfer(wire::Command::Identify, 0, {}, true));
    expectRecordedConversation(replay);
    EXPECT_EQ(replay.protocol.lastFailure(), TransferFailure::NoReply);
    EXPECT_EQ(replay.drops, 1);
    EXPECT_FALSE(replay.d2xx.isOpen());
    EXPECT_FALSE(replay.progress.windowShown);
}

TEST(UsbTransfer, ReadMemory_GivesUpAfterAFewEmptyReadsInTheDataPhase) {
    UsbReplay replay(Conversation::parse(R"(
Sent: 84
Recv: 84
Sent: 04
Recv: 04
Sent: 15
Recv: 15
Sent: 15 00 00
Recv: 00
Sent: 55
Recv: 55
Sent: 84
Recv: 84
Sent: 84
Recv: 04
Sent: 04
Recv: 15
Sent: 15
Recv: 00
Sent: 00
Recv: 46
Sent: 46
Recv: 00 46 01 02 03
Silence
)"));
    EXPECT_FALSE(replay.protocol.ReadMemory(21).has_value());
    EXPECT_THAT(replay.script().faults, IsEmpty());
    EXPECT_EQ(replay.protocol.lastFailure(), TransferFailure::NoReply);
    // Five answers to the request, five header bytes of the stream, one read of the five data
    // bytes that came, then three empty ones.
    EXPECT_EQ(replay.d2xx.count("read"), 5 + 5 + 1 + 3);
    EXPECT_THAT(replay.progress.messages,
                ElementsAre("Comunication ERROR. Please verify that the USB port is correct and "
                            "your KVN 350 unit is in its Main Menu"));
}

TEST(UsbTransfer, FailingTimeoutsEndTheExchangeWithTheirOwnText) {
    UsbReplay replay(Conversation::parse("Sent: 84\nRecv: 84\n"));
    replay.d2xx.failures["setTimeouts"] = kFtIoError;
    EXPECT_FALSE(replay.protocol.SendTransfer(wire::Command::Identify, 0, {}, true));
    EXPECT_THAT(replay.progress.messages,
                ElementsAre("Comunication ERROR. Please verify that the USB port is correct - "
                            "General IO Error..."));
    EXPECT_EQ(replay.drops, 1);
    EXPECT_FALSE(replay.d2xx.isOpen());
}

TEST(Transfer, AnnouncedImageLongerThanTheBuffer_IsRefused) {
    SerialReplay replay(Conversation::parse(R"(
Sent: 84
Recv: 84
Sent: 04
Recv: 04
Sent: 15
Recv: 15
Sent: 15 00 00
Recv: 00
Sent: 55
Recv: 55
Sent: 84
Recv: 84
Sent: 84
Recv: 04
Sent: 04
Recv: 15
Sent: 15
Recv: 80
Sent: 80
Recv: 01
Sent: 01
)"));
    EXPECT_FALSE(replay.protocol.ReadMemory(21).has_value());
    EXPECT_THAT(replay.script().faults, IsEmpty());
    EXPECT_TRUE(replay.script().finished());
    EXPECT_EQ(replay.protocol.lastFailure(), TransferFailure::TooLong);
}

}  // namespace
}  // namespace kvn::link::test
