// The transfer protocol against recorded conversations (tests/fixtures/).
#include "link/TransferProtocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Replay.h"

namespace kvn::link::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::uint8_t> pattern(int count, int multiplier, int offset) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(i * multiplier + offset));
    }
    return bytes;
}

TEST(Transfer, Identify_ReplaysTheHeaderAndKeepsTheCommandReply) {
    Replay replay("identify_letter_scheme.txt");
    EXPECT_TRUE(replay.protocol.SendTransfer(wire::Command::Identify, 0, {}, true));
    replay.expectRecordedConversation();
    EXPECT_EQ(replay.protocol.CommandReply(), 0x32);
    EXPECT_FALSE(replay.progress.windowShown);
    EXPECT_EQ(replay.channel.lastTimeoutMs, 2000);
}

TEST(Transfer, Payloads_GoInBlocksOf64WithARest) {
    Replay write("write_65_bytes.txt");
    EXPECT_TRUE(
        write.protocol.SendTransfer(wire::Command::WriteMemory, 21, pattern(65, 7, 3), true));
    write.expectRecordedConversation();
    EXPECT_EQ(write.progress.gaugeMaximum, 65);
    EXPECT_THAT(write.progress.gaugePositions, ElementsAre(0, 64, 65));

    Replay lock("keyboard_lock.txt");
    const std::uint8_t locked = 0xFF;
    EXPECT_TRUE(
        lock.protocol.SendTransfer(wire::Command::KeyboardLock, 0, std::span(&locked, 1), true));
    lock.expectRecordedConversation();
}

TEST(Transfer, WrongAnswers_StopTheTransferWhereTheyCome) {
    const std::uint8_t byte = 0x00;
    const struct {
        const char* fixture;
        wire::Command command;
        std::uint8_t program;
        std::span<const std::uint8_t> payload;
        TransferFailure failure;
    } cases[] = {
        {"wrong_start.txt", wire::Command::RecallMemory, 22, {}, TransferFailure::BadStart},
        {"wrong_program.txt", wire::Command::RecallMemory, 22, {}, TransferFailure::BadProgram},
        {"memory_protected.txt", wire::Command::WriteMemory, 30, std::span(&byte, 1),
         TransferFailure::MemoryProtected},
        {"wrong_long.txt", wire::Command::KeyboardLock, 0, std::span(&byte, 1),
         TransferFailure::BadLong},
        {"wrong_end.txt", wire::Command::RecallMemory, 21, {}, TransferFailure::BadEnd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        Replay replay(c.fixture);
        EXPECT_FALSE(replay.protocol.SendTransfer(c.command, c.program, c.payload, true));
        // The fixtures end at the wrong answer: nothing more may be sent.
        replay.expectRecordedConversation();
        EXPECT_EQ(replay.protocol.lastFailure(), c.failure);
        EXPECT_EQ(replay.drops, 0);
        EXPECT_TRUE(replay.progress.windowShown) << "the error text stays visible";
    }
}

TEST(Transfer, Silence_ReportsTheLostLinkAndDropsToOffline) {
    Replay replay("serial_silence.txt");
    EXPECT_FALSE(replay.protocol.SendTransfer(wire::Command::Identify, 0, {}, true));
    replay.expectRecordedConversation();
    EXPECT_EQ(replay.protocol.lastFailure(), TransferFailure::NoReply);
    EXPECT_EQ(replay.drops, 1);
    EXPECT_FALSE(replay.channel.connected());
    EXPECT_FALSE(replay.progress.windowShown);
}

TEST(Transfer, StrayAndLateBytes_AreNotTakenForAnswers) {
    for (const char* fixture : {"stray_start.txt", "split_replies.txt"}) {
        SCOPED_TRACE(fixture);
        Replay replay(fixture);
        EXPECT_TRUE(replay.protocol.SendTransfer(wire::Command::RecallMemory, 21, {}, true));
        replay.expectRecordedConversation();
    }
}

TEST(Transfer, ReadMemory_ReturnsTheStreamAndAcknowledgesEachBlock) {
    Replay replay("read_memory_70_bytes.txt");
    std::vector<std::uint8_t> expected{0x00, 0x46};
    const auto data = pattern(68, 13, 1);
    expected.insert(expected.end(), data.begin(), data.end());
    EXPECT_EQ(replay.protocol.ReadMemory(21), expected);
    replay.expectRecordedConversation();
    EXPECT_EQ(replay.progress.gaugeMaximum, 70);
    EXPECT_THAT(replay.progress.gaugePositions, ElementsAre(0, 64, 70));

    // A wrong BEGIN is only shown, always as 128.
    Replay wrongBegin("serial_read_memory_wrong_begin.txt");
    EXPECT_TRUE(wrongBegin.protocol.ReadMemory(21).has_value());
    wrongBegin.expectRecordedConversation();
}

TEST(Transfer, MoreThanTheBufferHolds_IsRefused) {
    Replay send(Conversation{});
    EXPECT_FALSE(send.protocol.SendTransfer(wire::Command::WriteMemory, 21,
                                            std::vector<std::uint8_t>(32769), true));
    EXPECT_EQ(send.protocol.lastFailure(), TransferFailure::TooLong);
    EXPECT_THAT(send.channel.allSent, IsEmpty());

    // A stream announcing 0x8001 bytes is not received.
    Replay read(
        Conversation::parse("Sent: 84\nRecv: 84\nSent: 04\nRecv: 04\nSent: 15\nRecv: 15\n"
                            "Sent: 15 00 00\nRecv: 00\nSent: 55\nRecv: 55\n"
                            "Sent: 84\nRecv: 84\nSent: 84\nRecv: 04\nSent: 04\n"
                            "Recv: 15\nSent: 15\nRecv: 80\nSent: 80\nRecv: 01\nSent: 01\n"));
    EXPECT_FALSE(read.protocol.ReadMemory(21).has_value());
    EXPECT_THAT(read.channel.faults, IsEmpty());
    EXPECT_TRUE(read.channel.finished());
    EXPECT_EQ(read.protocol.lastFailure(), TransferFailure::TooLong);
}

}  // namespace
}  // namespace kvn::link::test
