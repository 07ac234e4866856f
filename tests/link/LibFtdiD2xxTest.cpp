#include "link/LibFtdiD2xx.h"

#include <gtest/gtest.h>

namespace kvn::link {
namespace {

// Test machines have no FTDI converter, often no USB access at all: the backend must say so with
// the statuses the USB link reports, and touch no device it does not hold.
TEST(LibFtdiD2xx, WithoutAConverter_OpenFindsNoDeviceAndOtherCallsHaveNoHandle) {
    LibFtdiD2xx d2xx;
    EXPECT_EQ(d2xx.open(7), kFtDeviceNotFound);
    std::uint32_t count = 99;
    std::uint8_t byte = 0x84;
    EXPECT_EQ(d2xx.write(std::span(&byte, 1), count), kFtInvalidHandle);
    EXPECT_EQ(d2xx.read(std::span(&byte, 1), count), kFtInvalidHandle);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(d2xx.purge(kFtPurgeRx | kFtPurgeTx), kFtInvalidHandle);
    EXPECT_EQ(d2xx.close(), kFtInvalidHandle);
}

}  // namespace
}  // namespace kvn::link
