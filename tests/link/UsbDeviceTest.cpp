#include "link/UsbDevice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingProgress.h"

namespace kvn::link::test {
namespace {

using ::testing::ElementsAre;
using ::testing::InSequence;
using ::testing::NiceMock;
using ::testing::Return;

class MockD2xx : public D2xx {
public:
    MOCK_METHOD(FtStatus, open, (int), (override));
    MOCK_METHOD(FtStatus, close, (), (override));
    MOCK_METHOD(FtStatus, setBaudRate, (std::uint32_t), (override));
    MOCK_METHOD(FtStatus, setDataCharacteristics, (std::uint8_t, std::uint8_t, std::uint8_t),
                (override));
    MOCK_METHOD(FtStatus, setFlowControl, (std::uint16_t, std::uint8_t, std::uint8_t), (override));
    MOCK_METHOD(FtStatus, setDtr, (), (override));
    MOCK_METHOD(FtStatus, setRts, (), (override));
    MOCK_METHOD(FtStatus, setChars, (std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t),
                (override));
    MOCK_METHOD(FtStatus, setTimeouts, (std::uint32_t, std::uint32_t), (override));
    MOCK_METHOD(FtStatus, write, (std::span<const std::uint8_t>, std::uint32_t&), (override));
    MOCK_METHOD(FtStatus, read, (std::span<std::uint8_t>, std::uint32_t&), (override));
};

TEST(UsbDevice, ErrorTextIsTheContextFollowedByTheStatus) {
    const std::string open =
        "Can't open the USB. Please verify that the USB port is correct and your KVN 350 unit is "
        "switch on";
    EXPECT_EQ(UsbDevice::usbErrorText(open, kFtDeviceNotFound), open + " - Device Not Found....");
    EXPECT_EQ(UsbDevice::usbErrorText("X", 1), "X - Invalid Handle...");
    EXPECT_EQ(UsbDevice::usbErrorText("X", 3), "X - Device Not Opened...");
    EXPECT_EQ(UsbDevice::usbErrorText("X", 4), "X - General IO Error...");
    EXPECT_EQ(UsbDevice::usbErrorText("X", 5), "X - Insufficient Resources...");
    EXPECT_EQ(UsbDevice::usbErrorText("X", 6), "X - Invalid Parameter ...");
    EXPECT_EQ(UsbDevice::usbErrorText("X", 7), "X - Unknown Error (7)...");
}

TEST(UsbDevice, Initialize_AppliesTheLineSettingsInOrderAndGoesOnPastAFailure) {
    NiceMock<MockD2xx> d2xx;
    RecordingProgress progress;
    int drops = 0;
    UsbDevice usb(d2xx, progress, [&] { ++drops; });
    {
        InSequence order;
        EXPECT_CALL(d2xx, open(0));
        EXPECT_CALL(d2xx, setBaudRate(9600));
        EXPECT_CALL(d2xx, setRts()).WillOnce(Return(kFtIoError));
        EXPECT_CALL(d2xx, setDtr());
        EXPECT_CALL(d2xx, setDataCharacteristics(8, 0, 0));
        EXPECT_CALL(d2xx, setFlowControl(0, 0x11, 0x13));
        EXPECT_CALL(d2xx, setChars(0, 0, 0, 0));
        EXPECT_CALL(d2xx, setTimeouts(1000, 1000));
        EXPECT_CALL(d2xx, close());
    }
    EXPECT_TRUE(usb.UsbInitialize());
    EXPECT_THAT(progress.messages, ElementsAre("FT_SetRTS - General IO Error..."));
    EXPECT_EQ(drops, 1);
    EXPECT_FALSE(usb.isOpen());
    // Closing a device that is not open is not another error.
    EXPECT_EQ(usb.UsbClose(), kFtOk);
}

}  // namespace
}  // namespace kvn::link::test
