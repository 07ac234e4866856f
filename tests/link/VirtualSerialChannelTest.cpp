// The in-process serial link to the virtual processor, in virtual and real time.
#include "link/VirtualSerialChannel.h"

#include <gtest/gtest.h>

#include <thread>

#include "config/Encodings.h"
#include "link/RealTimeUpdate.h"

namespace kvn::link {
namespace {

using Bytes = std::vector<std::uint8_t>;
using emu::Micros;
using std::chrono::milliseconds;

// Sends one byte and waits up to the PC's 2 s reply window for the answer.
Bytes exchange(ByteChannel& channel, std::uint8_t byte) {
    EXPECT_EQ(channel.sendData(Bytes{byte}), 1);
    return channel.awaitChunk(2000);
}

TEST(VirtualSerialChannel, IdentifyTakesNoDeviceTimeWithoutALineRate) {
    emu::VirtualProcessor device;
    VirtualSerialChannel channel(device);
    ASSERT_TRUE(channel.connect());
    EXPECT_EQ(exchange(channel, 0x84), Bytes{0x84});
    EXPECT_EQ(exchange(channel, 0x00), Bytes{0x3C});
    EXPECT_EQ(exchange(channel, 0x00), Bytes{0x00});
    EXPECT_EQ(channel.sendData(Bytes{0x00, 0x00}), 2);
    EXPECT_EQ(exchange(channel, 0x00), Bytes{0x00});
    EXPECT_EQ(exchange(channel, 0x55), Bytes{0x55});
    EXPECT_EQ(channel.clock().now(), Micros(0));
}

TEST(VirtualSerialChannel, SilentDeviceCostsTheFullWaitInVirtualTimeOnly) {
    emu::VirtualProcessor device;
    device.setFaults(emu::FaultPlan{.silentFromByte = 1});
    VirtualSerialChannel channel(device);
    ASSERT_TRUE(channel.connect());
    EXPECT_EQ(exchange(channel, 0x84), Bytes{});
    EXPECT_EQ(channel.clock().now(), Micros(milliseconds(2000)));
    EXPECT_TRUE(channel.connected()) << "a silent device is not a lost port";
}

TEST(VirtualSerialChannel, MemoryWriteAt9600TakesTheWireTimeOfEveryByte) {
    emu::VirtualProcessor device(emu::DeviceOptions{.baud = emu::kProcessorBaud});
    VirtualSerialChannel channel(device);
    ASSERT_TRUE(channel.connect());
    const Bytes header = {0x84, 0x03, 0x15};
    for (std::uint8_t b : header) {
        ASSERT_EQ(exchange(channel, b).size(), 1U);
    }
    channel.sendData(Bytes{0x15, 0x07});
    ASSERT_EQ(exchange(channel, 0xFE), Bytes{0xFE});
    const Bytes image(2046, 0x11);
    for (std::size_t from = 0; from < image.size(); from += 64) {
        const std::size_t count = std::min<std::size_t>(64, image.size() - from);
        channel.sendData(std::span(image).subspan(from, count));
        ASSERT_EQ(channel.awaitChunk(2000), Bytes{0x11});
    }
    ASSERT_EQ(exchange(channel, 0x55), Bytes{0x55});
    // 2053 bytes out and 37 back, one after the other, 1041.67 us each.
    const Micros elapsed = channel.clock().now();
    EXPECT_GE(elapsed, Micros(2'177'083));
    EXPECT_LT(elapsed, Micros(2'178'000));
}

TEST(VirtualSerialChannel, ChunksFollowTheLineRate) {
    emu::VirtualProcessor device;
    VirtualSerialChannel channel(device);
    ASSERT_TRUE(channel.connect());
    channel.sendData(Bytes{0x84, 0x04, 0x15, 0x15, 0x00, 0x00, 0x55, 0x84, 0x84, 0x04, 0x15, 0x07});
    EXPECT_EQ(channel.awaitChunk(2000).size(), 10U);
    device.setBaud(emu::kProcessorBaud);
    channel.sendData(Bytes{0xFE});
    std::size_t received = 0;
    int chunks = 0;
    while (received < 64) {
        const Bytes chunk = channel.awaitChunk(2000);
        ASSERT_FALSE(chunk.empty());
        received += chunk.size();
        ++chunks;
    }
    EXPECT_EQ(received, 64U);
    EXPECT_EQ(chunks, 64) << "a waiting PC sees each byte as it arrives";
    EXPECT_EQ(channel.clock().now(), Micros(1042 + 66'667));
}

TEST(VirtualSerialChannel, DisappearingDeviceBecomesAnIoError) {
    emu::VirtualProcessor device;
    device.setFaults(emu::FaultPlan{.goneAfterBytes = 3});
    VirtualSerialChannel channel(device);
    ASSERT_TRUE(channel.connect());
    EXPECT_EQ(exchange(channel, 0x84), Bytes{0x84});
    EXPECT_EQ(exchange(channel, 0x00), Bytes{0x3C});
    EXPECT_EQ(exchange(channel, 0x00), Bytes{});
    EXPECT_FALSE(channel.connected());
    EXPECT_EQ(channel.errorText(), "Input/output error");
    EXPECT_EQ(channel.sendData(Bytes{0x84}), 0);
    EXPECT_FALSE(channel.connect());
    EXPECT_EQ(channel.errorText(), "No such file or directory");

    device.setFaults(emu::FaultPlan{});
    device.reconnect();
    ASSERT_TRUE(channel.connect());
    EXPECT_EQ(exchange(channel, 0x84), Bytes{0x84});
}

TEST(VirtualSerialChannel, ClosedOrAbsentPortMovesNoBytes) {
    emu::VirtualProcessor device;
    VirtualSerialChannel channel(device);
    EXPECT_EQ(channel.sendData(Bytes{0x84}), 0);
    EXPECT_EQ(channel.awaitChunk(2000), Bytes{});
    EXPECT_EQ(channel.clock().now(), Micros(0)) << "a closed port does not wait";
    EXPECT_EQ(device.counters().bytesReceived, 0U);

    channel.setPortPresent(false);
    EXPECT_FALSE(channel.connect());
    EXPECT_FALSE(channel.connected());
    channel.setPortPresent(true);
    ASSERT_TRUE(channel.connect());
    EXPECT_EQ(channel.sendData(Bytes{}), 0);
}

TEST(VirtualSerialChannel, StaleRepliesAreDroppedByPurgeAndByReopening) {
    emu::VirtualProcessor device;
    VirtualSerialChannel channel(device);
    ASSERT_TRUE(channel.connect());
    // A real-time message: the device echoes its START, which nobody reads.
    channel.sendData(Bytes{0x84, 0x12, 0x01, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55});
    channel.purgeInput();
    EXPECT_EQ(exchange(channel, 0x84), Bytes{0x84});

    channel.sendData(Bytes{0x00});  // answered 3C while the port closes
    channel.disconnect();
    ASSERT_TRUE(channel.connect());
    EXPECT_EQ(exchange(channel, 0x00), Bytes{0x00});
}

TEST(VirtualSerialChannel, RealClockDeliversDelayedReplies) {
    emu::VirtualProcessor device;
    device.setFaults(emu::FaultPlan{.replyDelay = milliseconds(20)});
    VirtualSerialChannel channel(device, ClockPolicy::Real);
    ASSERT_TRUE(channel.connect());
    EXPECT_EQ(exchange(channel, 0x84), Bytes{0x84});
    EXPECT_GE(channel.clock().now(), Micros(milliseconds(20)));
    device.setFaults(emu::FaultPlan{.silentFromByte = 1});
    channel.sendData(Bytes{0x00});
    EXPECT_EQ(channel.awaitChunk(50), Bytes{});
}

TEST(VirtualSerialChannel, RealClockTakesInAMessageNobodyReadsAnAnswerTo) {
    // A real-time edit is never answered; the device still holds it once its bytes are across.
    emu::VirtualProcessor device(emu::DeviceOptions{.baud = emu::kProcessorBaud});
    VirtualSerialChannel channel(device, ClockPolicy::Real);
    ASSERT_TRUE(channel.connect());
    const RealTimeUpdate update = RealTimeUpdate::section(1, 6, {0.5, 0.25, 0.125, -0.5, 0.75});
    ASSERT_GT(channel.sendData(realTimeMessage(update)), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (device.bankWord(1, 10) != encodeFixedWord(0.75) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(5));
    }
    EXPECT_EQ(device.bankWord(1, 6), encodeFixedWord(0.5));
    EXPECT_EQ(device.bankWord(1, 10), encodeFixedWord(0.75));
    EXPECT_TRUE(device.idle());
}

}  // namespace
}  // namespace kvn::link
