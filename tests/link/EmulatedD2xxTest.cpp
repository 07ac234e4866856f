// The emulated USB serial converter in front of the virtual processor.
#include "link/EmulatedD2xx.h"

#include <gtest/gtest.h>

namespace kvn::link {
namespace {

using Bytes = std::vector<std::uint8_t>;
using emu::Micros;
using std::chrono::milliseconds;

// Writes one byte and reads the one-byte reply as the USB link does.
struct Usb {
    explicit Usb(EmulatedD2xx& d2xx) : d2xx(d2xx) {}

    FtStatus write(const Bytes& bytes) {
        std::uint32_t written = 0;
        const FtStatus status = d2xx.write(bytes, written);
        EXPECT_EQ(written, status == kFtOk ? bytes.size() : 0U);
        return status;
    }
    Bytes read(std::size_t count, FtStatus expected = kFtOk) {
        Bytes buffer(count, 0xEE);
        std::uint32_t got = 99;
        EXPECT_EQ(d2xx.setTimeouts(1000, 1000), expected);
        EXPECT_EQ(d2xx.read(buffer, got), expected);
        buffer.resize(got);
        return buffer;
    }
    Bytes exchange(std::uint8_t byte) {
        EXPECT_EQ(write({byte}), kFtOk);
        return read(1);
    }

    EmulatedD2xx& d2xx;
};

TEST(EmulatedD2xx, ClosedConverterAndMissingDeviceAnswerLikeTheLibrary) {
    emu::VirtualProcessor device;
    EmulatedD2xx d2xx(device);
    std::uint32_t count = 0;
    Bytes buffer(1);
    EXPECT_EQ(d2xx.write(buffer, count), kFtInvalidHandle);
    EXPECT_EQ(d2xx.read(buffer, count), kFtInvalidHandle);
    EXPECT_EQ(d2xx.setBaudRate(9600), kFtInvalidHandle);
    EXPECT_EQ(d2xx.setTimeouts(1000, 1000), kFtInvalidHandle);
    EXPECT_EQ(d2xx.close(), kFtInvalidHandle);
    EXPECT_EQ(d2xx.open(1), kFtDeviceNotFound);

    d2xx.setDevicePresent(false);
    EXPECT_EQ(d2xx.open(0), kFtDeviceNotFound);
    d2xx.setDevicePresent(true);
    EXPECT_EQ(d2xx.open(0), kFtOk);
    EXPECT_EQ(d2xx.open(0), kFtDeviceNotOpened);
    EXPECT_EQ(d2xx.close(), kFtOk);
    EXPECT_EQ(device.counters().bytesReceived, 0U);
}

TEST(EmulatedD2xx, LineSetupIsCheckedAndKeptAcrossCloseAndOpen) {
    emu::VirtualProcessor device;
    EmulatedD2xx d2xx(device);
    ASSERT_EQ(d2xx.open(0), kFtOk);
    EXPECT_EQ(d2xx.setRts(), kFtOk);
    EXPECT_EQ(d2xx.setTimeouts(1000, 1000), kFtOk);
    EXPECT_EQ(d2xx.setBaudRate(0), kFtInvalidBaudRate);
    EXPECT_EQ(d2xx.setDataCharacteristics(9, kFtStopBits1, kFtParityNone), kFtInvalidParameter);
    EXPECT_EQ(d2xx.setFlowControl(0x0003, 0x11, 0x13), kFtInvalidParameter);
    EXPECT_EQ(d2xx.close(), kFtOk);
    EXPECT_EQ(d2xx.open(0), kFtOk);
    EXPECT_TRUE(d2xx.lineMatchesProcessor()) << "refused settings change nothing";
    EXPECT_TRUE(d2xx.rtsSet());
    EXPECT_EQ(d2xx.readTimeoutMs(), 1000U);
}

TEST(EmulatedD2xx, KeyboardLockOverUsb) {
    emu::VirtualProcessor device;
    EmulatedD2xx d2xx(device);
    Usb usb(d2xx);
    ASSERT_EQ(d2xx.open(0), kFtOk);
    EXPECT_EQ(usb.exchange(0x84), Bytes{0x84});
    EXPECT_EQ(usb.exchange(0x05), Bytes{0x3C});
    EXPECT_EQ(usb.exchange(0x00), Bytes{0x00});
    EXPECT_EQ(usb.write({0x00}), kFtOk);
    EXPECT_EQ(usb.write({0x00}), kFtOk);
    EXPECT_EQ(usb.exchange(0x01), Bytes{0x01});
    EXPECT_EQ(usb.exchange(0xFF), Bytes{0xFF});
    EXPECT_EQ(usb.exchange(0x55), Bytes{0x55});
    EXPECT_EQ(d2xx.close(), kFtOk);
    EXPECT_TRUE(device.keyboardLocked());
}

TEST(EmulatedD2xx, ReadWaitsForTheWholeCountOrTheTimeOut) {
    emu::VirtualProcessor device(emu::DeviceOptions{.baud = emu::kProcessorBaud});
    EmulatedD2xx d2xx(device);
    Usb usb(d2xx);
    ASSERT_EQ(d2xx.open(0), kFtOk);
    ASSERT_EQ(usb.write({0x84, 0x04, 0x15, 0x15, 0x00, 0x00}), kFtOk);
    EXPECT_EQ(usb.read(4), (Bytes{0x84, 0x3C, 0x15, 0x00}));
    EXPECT_EQ(usb.exchange(0x55), Bytes{0x55});
    for (std::uint8_t answer : {0x84, 0x84, 0x04, 0x15, 0x07}) {
        ASSERT_EQ(usb.exchange(answer).size(), 1U);
    }
    ASSERT_EQ(usb.write({0xFE}), kFtOk);
    const Micros before = d2xx.clock().now();
    const Bytes block = usb.read(64);
    EXPECT_EQ(block.size(), 64U) << "one read gathers the whole block";
    EXPECT_EQ(d2xx.clock().now() - before, Micros(1042 + 66'667));

    // Nothing more comes until the block is acknowledged: the read gives up after 1000 ms.
    EXPECT_EQ(usb.read(64), Bytes{});
    EXPECT_EQ(d2xx.clock().now() - before, Micros(1042 + 66'667 + 1'000'000));
}

TEST(EmulatedD2xx, DisappearingDeviceBecomesAnIoError) {
    emu::VirtualProcessor device;
    device.setFaults(emu::FaultPlan{.goneAfterBytes = 1});
    EmulatedD2xx d2xx(device);
    Usb usb(d2xx);
    ASSERT_EQ(d2xx.open(0), kFtOk);
    EXPECT_EQ(usb.write({0x84}), kFtOk);
    EXPECT_EQ(usb.read(1, kFtIoError), Bytes{});
    EXPECT_EQ(usb.write({0x00}), kFtIoError);
    EXPECT_EQ(d2xx.close(), kFtOk);
    EXPECT_EQ(d2xx.open(0), kFtDeviceNotFound);
}

TEST(EmulatedD2xx, WrongLineSpeedLosesTheBytes) {
    emu::VirtualProcessor device;
    EmulatedD2xx d2xx(device);
    Usb usb(d2xx);
    ASSERT_EQ(d2xx.open(0), kFtOk);
    ASSERT_EQ(d2xx.setBaudRate(19200), kFtOk);
    EXPECT_EQ(usb.write({0x84}), kFtOk);
    EXPECT_EQ(usb.read(1), Bytes{});
    EXPECT_EQ(d2xx.bytesLost(), 1U);
    EXPECT_EQ(device.counters().bytesReceived, 0U);
    ASSERT_EQ(d2xx.setBaudRate(9600), kFtOk);
    EXPECT_EQ(usb.exchange(0x84), Bytes{0x84});
}

TEST(EmulatedD2xx, OpeningDropsRepliesLeftFromAnEarlierExchange) {
    emu::VirtualProcessor device;
    EmulatedD2xx d2xx(device);
    Usb usb(d2xx);
    ASSERT_EQ(d2xx.open(0), kFtOk);
    ASSERT_EQ(usb.write({0x84, 0x12, 0x02, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55}), kFtOk);
    ASSERT_EQ(d2xx.close(), kFtOk);
    ASSERT_EQ(d2xx.open(0), kFtOk);
    EXPECT_EQ(usb.exchange(0x84), Bytes{0x84}) << "not the real-time message's START echo";
    EXPECT_EQ(device.bankWord(2, 142), (Word{0x00, 0x00, 0x65}));
}

}  // namespace
}  // namespace kvn::link
