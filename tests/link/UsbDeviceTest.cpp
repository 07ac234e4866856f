#include "link/UsbDevice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingProgress.h"
#include "ScriptedD2xx.h"

namespace kvn::link::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(UsbDevice, ErrorTextIsContextFollowedByTheStatusSuffix) {
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
    EXPECT_EQ(UsbDevice::usbErrorText("X", 18), "X - Unknown Error (18)...");
}

TEST(UsbDevice, Initialize_AppliesTheLineSettingsInOrderAndClosesAgain) {
    RecordingProgress progress;
    ScriptedD2xx d2xx{Conversation{}};
    UsbDevice usb(d2xx, progress, {});
    EXPECT_TRUE(usb.UsbInitialize());
    EXPECT_THAT(d2xx.calls, ElementsAre("open 0", "setBaudRate 9600", "setRts", "setDtr",
                                        "setDataCharacteristics 8 0 0", "setFlowControl 0 17 19",
                                        "setChars 0 0 0 0", "setTimeouts 1000 1000", "close"));
    EXPECT_THAT(progress.messages, IsEmpty());
    EXPECT_FALSE(usb.isOpen());
}

TEST(UsbDevice, Initialize_ReportsAFailingSettingAndGoesOn) {
    RecordingProgress progress;
    int drops = 0;
    ScriptedD2xx d2xx{Conversation{}};
    d2xx.failures["setRts"] = kFtIoError;
    UsbDevice usb(d2xx, progress, [&] { ++drops; });
    EXPECT_TRUE(usb.UsbInitialize());
    EXPECT_THAT(progress.messages, ElementsAre("FT_SetRTS - General IO Error..."));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(d2xx.calls.size(), 9u);
}

TEST(UsbDevice, Initialize_WithoutTheChipReportsDeviceNotFoundAndStops) {
    RecordingProgress progress;
    int drops = 0;
    ScriptedD2xx d2xx{Conversation{}};
    d2xx.failures["open"] = kFtDeviceNotFound;
    UsbDevice usb(d2xx, progress, [&] { ++drops; });
    EXPECT_FALSE(usb.UsbInitialize());
    EXPECT_THAT(d2xx.calls, ElementsAre("open 0"));
    EXPECT_THAT(progress.messages,
                ElementsAre("Can't open the USB. Please verify that the USB port is correct and "
                            "your KVN 350 unit is switch on - Device Not Found...."));
    EXPECT_EQ(drops, 1);
    // Closing what never opened is not another error.
    EXPECT_EQ(usb.UsbClose(), kFtOk);
    EXPECT_EQ(progress.messages.size(), 1u);
}

}  // namespace
}  // namespace kvn::link::test
