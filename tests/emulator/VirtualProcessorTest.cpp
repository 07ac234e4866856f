// The virtual processor's clock: silences, faults, line rate and recovery from garbage.
#include "emulator/VirtualProcessor.h"

#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace kvn::emu {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using test::Bytes;
using test::Pc;

const Bytes kIdentify = {0x84, 0x00, 0x00, 0x00, 0x00, 0x00, 0x55};
const Bytes kIdentifyReplies = {0x84, 0x3C, 0x00, 0x00, 0x55};

TEST(VirtualProcessor, GarbageAndTruncatedInputNeverStopTheNextStart) {
    VirtualProcessor device;
    Pc pc(device);
    std::mt19937 random(7);
    Bytes garbage(5000);
    for (auto& b : garbage) {
        b = static_cast<std::uint8_t>(random());
    }
    pc.send(garbage);
    pc.wait(seconds(3));
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(pc.send(kIdentify), kIdentifyReplies);
    const std::uint64_t timeoutsBefore = device.counters().silenceTimeouts;

    // A write cut off half-way: after 3 s of silence the device is at rest and unchanged.
    const Image before = device.memory(30);
    pc.send({0x84, 0x03, 0x1E, 0x1E, 0x07, 0xFE});
    pc.send(Bytes(1000, 0x84));
    pc.wait(milliseconds(2999));
    EXPECT_FALSE(device.idle()) << "2.999 s is within the silence the device waits out";
    pc.wait(milliseconds(1));
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.counters().silenceTimeouts, timeoutsBefore + 1);
    EXPECT_EQ(device.memory(30), before);
    EXPECT_EQ(pc.send(kIdentify), kIdentifyReplies);
}

TEST(VirtualProcessor, SilenceTimeoutIsAnEventAWaitingLinkCanSee) {
    VirtualProcessor device(DeviceOptions{.silenceTimeout = milliseconds(500)});
    Pc pc(device);
    EXPECT_EQ(device.nextEventTime(), std::nullopt);
    pc.send({0x84, 0x00});
    EXPECT_EQ(device.nextEventTime(), Micros(milliseconds(500)));
    device.advanceTo(Micros(milliseconds(500)));
    EXPECT_TRUE(device.idle());
    EXPECT_EQ(device.nextEventTime(), std::nullopt);

    // Replies that have reached the PC and wait to be read are not a coming event: a waiter that
    // took them for one would never sleep.
    device.write(kIdentify, pc.now);
    EXPECT_EQ(device.nextEventTime(), std::nullopt);
    EXPECT_EQ(device.read(pc.now), kIdentifyReplies);
}

TEST(VirtualProcessor, SilenceFaultHangsTheDeviceFromTheChosenByte) {
    VirtualProcessor device;
    device.setFaults(FaultPlan{.silentFromByte = 3});
    Pc pc(device);
    EXPECT_EQ(pc.send(kIdentify), (Bytes{0x84, 0x3C}));
    EXPECT_EQ(device.counters().silencedBytes, 5U);

    device.setFaults(FaultPlan{});
    pc.wait(seconds(3));
    EXPECT_EQ(pc.send(kIdentify), kIdentifyReplies);
}

TEST(VirtualProcessor, WrongByteFaultAtEachStepOfATransfer) {
    struct Case {
        TransferStep step;
        Bytes replies;
    };
    // Keyboard lock: START, COMMAND, PROGRAM, LONG, one data block, END.
    const Bytes lock = {0x84, 0x05, 0x00, 0x00, 0x00, 0x01, 0xFF, 0x55};
    const std::vector<Case> cases = {
        {TransferStep::Start, {0x7B, 0x3C, 0x00, 0x01, 0xFF, 0x55}},
        {TransferStep::Command, {0x84, 0xC3, 0x00, 0x01, 0xFF, 0x55}},
        {TransferStep::Program, {0x84, 0x3C, 0xFF, 0x01, 0xFF, 0x55}},
        {TransferStep::Long, {0x84, 0x3C, 0x00, 0xFE, 0xFF, 0x55}},
        {TransferStep::DataBlock, {0x84, 0x3C, 0x00, 0x01, 0x00, 0x55}},
        {TransferStep::End, {0x84, 0x3C, 0x00, 0x01, 0xFF, 0xAA}},
    };
    for (const Case& c : cases) {
        VirtualProcessor device;
        device.setFaults(FaultPlan{.wrongByte = WrongByte{.step = c.step}});
        Pc pc(device);
        EXPECT_EQ(pc.send(lock), c.replies) << static_cast<int>(c.step);
    }

    VirtualProcessor device;
    device.setFaults(FaultPlan{.wrongByte = WrongByte{.step = TransferStep::End, .value = 0x54}});
    Pc pc(device);
    EXPECT_EQ(pc.send(kIdentify), (Bytes{0x84, 0x3C, 0x00, 0x00, 0x54}));
}

TEST(VirtualProcessor, WrongByteFaultInTheMemoryStream) {
    VirtualProcessor device;
    device.setFaults(
        FaultPlan{.wrongByte = WrongByte{.step = TransferStep::DataBlock, .block = 31}});
    Pc pc(device);
    const Image stored = device.memory(21);
    // The transfer's five replies, BEGIN, COMMAND, PROGRAM, LONG high and low, then block 0.
    Bytes received =
        pc.send({0x84, 0x04, 0x15, 0x15, 0x00, 0x00, 0x55, 0x84, 0x84, 0x04, 0x15, 0x07, 0xFE});
    ASSERT_EQ(received.size(), 10U + 64U);
    received.erase(received.begin(), received.begin() + 10);
    for (int block = 0; block < 32; ++block) {
        const Bytes next = pc.send({0x00});
        received.insert(received.end(), next.begin(), next.end());
    }
    ASSERT_EQ(received.size(), 2046U + 1);
    EXPECT_EQ(received[1984], static_cast<std::uint8_t>(~stored[1984])) << "the rest's first byte";
    EXPECT_EQ(received[1983], stored[1983]);
    EXPECT_EQ(received.back(), 0x55);

    device.setFaults(FaultPlan{.wrongByte = WrongByte{.step = TransferStep::Start}});
    pc.send({0x55});
    EXPECT_EQ(pc.send({0x84, 0x04, 0x15, 0x15, 0x00, 0x00, 0x55, 0x84}),
              (Bytes{0x7B, 0x3C, 0x15, 0x00, 0x55, 0x7B}));
    EXPECT_EQ(pc.send({0x84}), (Bytes{0x04})) << "the PC answers BEGIN with 0x84 whatever came";
}

TEST(VirtualProcessor, FaultsLimitedToTheFirstTransfers_LeaveTheLaterOnesWell) {
    const Bytes wrongStart = {0x7B, 0x3C, 0x00, 0x00, 0x55};
    const struct {
        FaultPlan plan;
        std::vector<Bytes> replies;  // to four identifications in a row
    } cases[] = {
        {{.wrongByte = WrongByte{.step = TransferStep::Start}, .faultTransfers = 2},
         {wrongStart, wrongStart, kIdentifyReplies, kIdentifyReplies}},
        {{.wrongByte = WrongByte{.step = TransferStep::Start}},
         {wrongStart, wrongStart, wrongStart, wrongStart}},
        // A hang within the first transfer ends with it: the PC's next START is heard.
        {{.silentFromByte = 3, .faultTransfers = 1}, {{0x84, 0x3C}, kIdentifyReplies}},
    };
    for (const auto& c : cases) {
        VirtualProcessor device;
        device.setFaults(c.plan);
        Pc pc(device);
        for (std::size_t i = 0; i < c.replies.size(); ++i) {
            EXPECT_EQ(pc.send(kIdentify), c.replies[i]) << "identification " << i + 1;
            pc.wait(seconds(4));
        }
    }
}

TEST(VirtualProcessor, DisappearedDeviceTakesAndGivesNothingUntilReconnected) {
    VirtualProcessor device;
    device.setFaults(FaultPlan{.goneAfterBytes = 2});
    Pc pc(device);
    EXPECT_EQ(pc.send({0x84}), (Bytes{0x84}));
    EXPECT_EQ(pc.send({0x00}), Bytes{});
    EXPECT_TRUE(device.gone());
    EXPECT_EQ(pc.send(kIdentify), Bytes{});
    EXPECT_EQ(device.counters().bytesReceived, 2U);
    EXPECT_EQ(device.nextEventTime(), std::nullopt);

    device.setFaults(FaultPlan{});
    device.reconnect();
    EXPECT_EQ(pc.send(kIdentify), kIdentifyReplies);

    device.setFaults(FaultPlan{.goneAfterBytes = 0});
    EXPECT_TRUE(device.gone());
}

TEST(VirtualProcessor, RepliesAreDelayedByTheChosenTime) {
    VirtualProcessor device;
    device.setFaults(FaultPlan{.replyDelay = milliseconds(250)});
    Pc pc(device);
    EXPECT_EQ(pc.send({0x84}), Bytes{});
    EXPECT_EQ(device.nextEventTime(), Micros(milliseconds(250)));
    pc.wait(milliseconds(249));
    EXPECT_EQ(device.read(pc.now), Bytes{});
    pc.wait(milliseconds(1));
    EXPECT_EQ(device.read(pc.now), (Bytes{0x84}));
}

TEST(VirtualProcessor, LineRateOf9600MovesTenBitsPerByteBothWays) {
    VirtualProcessor device(DeviceOptions{.baud = kProcessorBaud});
    Pc pc(device);
    // 960 bytes (garbage at rest) take exactly 1 s to reach the device.
    pc.send(Bytes(960, 0x00));
    device.advanceTo(Micros(999'999));
    EXPECT_EQ(device.counters().bytesReceived, 959U);
    device.advanceTo(Micros(seconds(1)));
    EXPECT_EQ(device.counters().bytesReceived, 960U);

    // START arrives after one byte time (1041.7 µs), its echo one byte time later.
    pc.now = Micros(seconds(2));
    EXPECT_EQ(pc.send({0x84}), Bytes{});
    EXPECT_EQ(device.nextEventTime(), Micros(seconds(2)) + Micros(1042));
    device.advanceTo(Micros(seconds(2)) + Micros(1042));
    EXPECT_EQ(device.nextEventTime(), Micros(seconds(2)) + Micros(2084));
    EXPECT_EQ(device.read(Micros(seconds(2)) + Micros(2083)), Bytes{});
    EXPECT_EQ(device.read(Micros(seconds(2)) + Micros(2084)), (Bytes{0x84}));
}

TEST(VirtualProcessor, TimeNeverRunsBackwards) {
    VirtualProcessor device;
    device.advanceTo(Micros(seconds(5)));
    device.write(Bytes{0x84}, Micros(seconds(1)));
    EXPECT_EQ(device.now(), Micros(seconds(5)));
    EXPECT_EQ(device.read(Micros(0)), (Bytes{0x84}));
}

}  // namespace
}  // namespace kvn::emu
