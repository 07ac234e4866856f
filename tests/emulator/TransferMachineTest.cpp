// Wire-level conversations with the virtual processor, byte for byte as the PC sees them.
#include "emulator/TransferMachine.h"

#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

namespace kvn::emu {
namespace {

using test::Bytes;
using test::Pc;
using test::Step;

Bytes imageBytes(const Image& image) {
    return Bytes(image.begin(), image.end());
}

// The write of memory 21 (0x15): LONG 07 FE is 2046, 31 blocks and a rest of 62.
std::vector<Step> writeMemory21(const Image& image) {
    return test::join(test::join(test::dialogue("84:84 03:3C 15:15 15: 07: FE:FE"),
                                 test::dataSteps(imageBytes(image))),
                      test::dialogue("55:55"));
}

TEST(TransferMachine, IdentifyIsAnsweredStepByStep) {
    VirtualProcessor device;
    Pc pc(device);
    // COMMAND is answered 3C, the default command reply.
    pc.converse(test::dialogue("84:84 00:3C 00:00 00: 00: 00:00 55:55"));
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.counters().transfersCompleted, 1U);

    // A processor that wants key presses for its password answers below 50.
    device.setCommandReply(0x20);
    EXPECT_EQ(pc.send({0x84, 0x00}), (Bytes{0x84, 0x20}));
}

TEST(TransferMachine, WriteOfMemory21ThenReadBackGivesTheSameBytes) {
    VirtualProcessor device;
    Pc pc(device);
    const Image image = test::testImage(3);
    pc.converse(writeMemory21(image));
    EXPECT_EQ(device.memory(21), image);
    EXPECT_NE(device.memory(22), image);

    // The request, then the stream: each byte the device sends waits for the PC's answer.
    pc.converse(
        test::dialogue("84:84 04:3C 15:15 15: 00: 00:00 55:55 84:84 84:04 04:15 15:07 07:FE"));
    Bytes received = pc.send({0xFE});
    for (int block = 1; block <= 31; ++block) {
        ASSERT_EQ(received.size(), 64U * static_cast<std::size_t>(block));
        const Bytes next = pc.send({received.back()});
        received.insert(received.end(), next.begin(), next.end());
    }
    ASSERT_EQ(received.size(), 2046U);
    EXPECT_EQ(received, imageBytes(image));
    EXPECT_EQ(pc.send({received.back()}), (Bytes{0x55}));
    EXPECT_FALSE(device.idle());
    EXPECT_EQ(pc.send({0x55}), Bytes{});
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.counters().streamsCompleted, 1U);
}

TEST(TransferMachine, RecallLoadsBothRunningBanksFromTheMemory) {
    VirtualProcessor device;
    Pc pc(device);
    const Image image = test::testImage(9);
    pc.converse(writeMemory21(image));
    EXPECT_FALSE(device.bankDifferences(1, image).empty()) << "a write alone changes nothing";

    pc.converse(test::dialogue("84:84 07:3C 15:15 15: 00: 00:00 55:55"));
    EXPECT_EQ(device.activeMemory(), 21);
    EXPECT_TRUE(device.bankDifferences(1, image).empty());
    EXPECT_TRUE(device.bankDifferences(2, image).empty());
    EXPECT_EQ(device.bankWord(1, 0), (Word{image[100], image[101], image[102]}));
    EXPECT_EQ(device.bankWord(2, 257),
              (Word{image[874 + 771], image[874 + 772], image[874 + 773]}));
}

TEST(TransferMachine, QueryAnswersTheActiveMemoryAtProgramNumber) {
    VirtualProcessor device;
    device.recallMemory(35);
    Pc pc(device);
    pc.converse(test::dialogue("84:84 13:3C 00:23 00: 00: 00:00 55:55"));
    EXPECT_EQ(device.counters().transfersCompleted, 1U);
}

TEST(TransferMachine, ProtectedMemoryRefusesWritesButNotRecallOrRead) {
    VirtualProcessor device;
    device.setProtected(40, true);
    Pc pc(device);
    const Image before = device.memory(40);
    pc.converse(test::dialogue("84:84 03:3C 28:FF"));
    EXPECT_TRUE(device.idle()) << "the PC sends no LONG, DATA or END after 0xFF";
    EXPECT_EQ(device.counters().transfersRefused, 1U);

    // Should a PC go on anyway, its bytes are ignored until the next START.
    EXPECT_EQ(pc.send({0x28, 0x07, 0xFE, 0x11, 0x55}), Bytes{});
    EXPECT_EQ(device.memory(40), before);

    pc.converse(test::dialogue("84:84 07:3C 28:28 28: 00: 00:00 55:55"));
    EXPECT_EQ(device.activeMemory(), 40);
    EXPECT_EQ(pc.send({0x84, 0x04, 0x28}), (Bytes{0x84, 0x3C, 0x28}));
}

TEST(TransferMachine, MemoryNumbersOutsideOneToSixtyAreRefused) {
    VirtualProcessor device;
    Pc pc(device);
    EXPECT_EQ(pc.send({0x84, 0x03, 0x00}), (Bytes{0x84, 0x3C, 0xFE}));
    EXPECT_EQ(pc.send({0x84, 0x07, 0x3D}), (Bytes{0x84, 0x3C, 0xFE}));
    EXPECT_EQ(pc.send({0x84, 0x04, 0xFE}), (Bytes{0x84, 0x3C, 0x00}));
    EXPECT_EQ(device.counters().transfersRefused, 3U);
    EXPECT_EQ(device.activeMemory(), kPowerUpMemory);
}

TEST(TransferMachine, KeyboardLockTakesOneByte) {
    VirtualProcessor device;
    Pc pc(device);
    pc.converse(test::dialogue("84:84 05:3C 00:00 00: 00: 01:01 FF:FF 55:55"));
    EXPECT_TRUE(device.keyboardLocked());

    // A byte that is neither lock nor unlock is refused at END and changes nothing.
    EXPECT_EQ(pc.send({0x84, 0x05, 0x00, 0x00, 0x00, 0x01, 0x37, 0x55}),
              (Bytes{0x84, 0x3C, 0x00, 0x01, 0x37, 0x00}));
    EXPECT_TRUE(device.keyboardLocked());

    EXPECT_EQ(pc.send({0x84, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00, 0x55}),
              (Bytes{0x84, 0x3C, 0x00, 0x01, 0x00, 0x55}));
    EXPECT_FALSE(device.keyboardLocked());
}

TEST(TransferMachine, PasswordBlockOfSevenBytesIsKept) {
    VirtualProcessor device;
    Pc pc(device);
    EXPECT_EQ(pc.send({0x84, 0x06, 0x00, 0x00, 0x00, 0x07}), (Bytes{0x84, 0x3C, 0x00, 0x07}));
    EXPECT_EQ(pc.send({'K', 'V', 'N', 'A', 'B', 'C', 0xFF}), (Bytes{0xFF}));
    EXPECT_EQ(pc.send({0x55}), (Bytes{0x55}));
    EXPECT_EQ(device.password(), (PasswordBlock{'K', 'V', 'N', 'A', 'B', 'C', 0xFF}));
}

TEST(TransferMachine, FirmwareOf6143BytesIsNinetyFiveBlocksAndARestOf63) {
    VirtualProcessor device;
    Pc pc(device);
    Bytes firmware(6143);
    for (std::size_t i = 0; i < firmware.size(); ++i) {
        firmware[i] = static_cast<std::uint8_t>(i % 251);
    }
    const std::vector<Step> data = test::dataSteps(firmware);
    ASSERT_EQ(data.size(), 96U);
    ASSERT_EQ(data.back().sent.size(), 63U);

    // FIRMWARE DONE before any firmware is refused.
    EXPECT_EQ(pc.send({0x84, 0x08, 0x00, 0x00, 0x00, 0x00, 0x55}),
              (Bytes{0x84, 0x3C, 0x00, 0x00, 0x00}));
    // The firmware area is program 61 only.
    EXPECT_EQ(pc.send({0x84, 0x01, 0x3C}), (Bytes{0x84, 0x3C, 0xFE}));

    pc.converse(test::join(test::join(test::dialogue("84:84 01:3C 3D:3D 3D: 17: FF:FF"), data),
                           test::dialogue("55:55")));
    EXPECT_EQ(device.firmware(), firmware);
    EXPECT_FALSE(device.firmwareDone());
    EXPECT_EQ(pc.send({0x84, 0x08, 0x00, 0x00, 0x00, 0x00, 0x55}),
              (Bytes{0x84, 0x3C, 0x00, 0x00, 0x55}));
    EXPECT_TRUE(device.firmwareDone());
}

TEST(TransferMachine, LengthACommandCannotTakeIsRefusedAtLong) {
    VirtualProcessor device;
    Pc pc(device);
    const Image before = device.memory(21);
    // A write of 2045 bytes (07 FD): the LONG reply is the low byte inverted.
    EXPECT_EQ(pc.send({0x84, 0x03, 0x15, 0x15, 0x07, 0xFD}), (Bytes{0x84, 0x3C, 0x15, 0x02}));
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(pc.send(Bytes(64, 0xAA)), Bytes{});
    EXPECT_EQ(device.memory(21), before);
    // Identify with a payload, keyboard lock with two bytes.
    EXPECT_EQ(pc.send({0x84, 0x00, 0x00, 0x00, 0x00, 0x01}), (Bytes{0x84, 0x3C, 0x00, 0xFE}));
    EXPECT_EQ(pc.send({0x84, 0x05, 0x00, 0x00, 0x00, 0x02}), (Bytes{0x84, 0x3C, 0x00, 0xFD}));
    EXPECT_EQ(device.counters().transfersRefused, 3U);
}

TEST(TransferMachine, WrongEndOrChangedProgramByteDiscardsTheWrite) {
    VirtualProcessor device;
    Pc pc(device);
    const Image before = device.memory(21);
    std::vector<Step> steps = writeMemory21(test::testImage(1));
    steps.back() = Step{{0x56}, {0x00}};
    pc.converse(steps);
    EXPECT_EQ(device.memory(21), before);

    // The repeated program byte must match the first; otherwise the device drops the transfer.
    EXPECT_EQ(pc.send({0x84, 0x03, 0x15, 0x16, 0x07, 0xFE}), (Bytes{0x84, 0x3C, 0x15}));
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.counters().transfersAbandoned, 1U);
    EXPECT_EQ(device.memory(21), before);
}

TEST(TransferMachine, UnknownCommandIsATransferWithoutEffect) {
    VirtualProcessor device;
    Pc pc(device);
    const DeviceState before = device.state();
    EXPECT_EQ(pc.send({0x84, 0x63, 0x09, 0x09, 0x00, 0x02, 0x12, 0x34, 0x55}),
              (Bytes{0x84, 0x3C, 0x09, 0x02, 0x34, 0x55}));
    EXPECT_EQ(device.counters().unknownCommands, 1U);
    const DeviceState after = device.state();
    EXPECT_EQ(after.memory(9), before.memory(9));
    EXPECT_EQ(after.activeMemory(), before.activeMemory());
    EXPECT_EQ(after.bank(1), before.bank(1));
}

TEST(TransferMachine, StartWhereACommandBelongsBeginsTheTransferAgain) {
    VirtualProcessor device;
    Pc pc(device);
    EXPECT_EQ(pc.send({0x84, 0x84, 0x84}), (Bytes{0x84, 0x84, 0x84}));
    EXPECT_EQ(pc.send({0x00, 0x00, 0x00, 0x00, 0x00, 0x55}), (Bytes{0x3C, 0x00, 0x00, 0x55}));
}

TEST(TransferMachine, StreamBrokenOffByAWrongEcho) {
    VirtualProcessor device;
    Pc pc(device);
    EXPECT_EQ(pc.send({0x84, 0x04, 0x15, 0x15, 0x00, 0x00, 0x55, 0x84, 0x84}),
              (Bytes{0x84, 0x3C, 0x15, 0x00, 0x55, 0x84, 0x04}));
    EXPECT_EQ(pc.send({0x05}), Bytes{});
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.counters().transfersAbandoned, 1U);
    EXPECT_EQ(pc.send({0x84}), (Bytes{0x84})) << "a new transfer starts at once";
}

}  // namespace
}  // namespace kvn::emu
