// The state the virtual processor starts with, and what it runs.
#include "emulator/DeviceState.h"

#include "DeviceTestSupport.h"
#include "config/MemoryImage.h"
#include "emulator/FactoryImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace kvn::emu {
namespace {

TEST(DeviceState, FactoryImageIsTheImageOfANewConfiguration) {
    // The bytes of a New configuration's image are pinned by the image's own golden tests.
    const Image image = factoryImage();
    const ImageBuffer built = BuildImage(ProcessorConfig{});
    EXPECT_TRUE(std::equal(image.begin(), image.end(), built.begin(), built.end()));
    EXPECT_EQ(bankFromImage(image, 2), bankFromImage(image, 1));
    // A memory never written reads back as the start-up configuration.
    ProcessorConfig decoded;
    decoded.SystemName = "other";
    ASSERT_TRUE(DecodeImage(image, decoded).success);
    EXPECT_EQ(decoded.SystemName, "NoName" + std::string(34, ' '));  // names keep their padding
    EXPECT_EQ(decoded.output(3).LowPassEdge.FrequencyHz, 480.0);
    EXPECT_EQ(decoded.unit(1).gateLevel, 13.0f);
}

TEST(DeviceState, PowersUpRunningMemory21WithNothingProtected) {
    const Image initial = test::testImage(4);
    DeviceState state(initial);
    EXPECT_EQ(state.activeMemory(), 21);
    EXPECT_EQ(state.memory(1), initial);
    EXPECT_EQ(state.memory(60), initial);
    EXPECT_TRUE(bankDifferences(state.bank(1), 1, initial).empty());
    EXPECT_TRUE(bankDifferences(state.bank(2), 2, initial).empty());
    for (int m = 1; m <= 60; ++m) {
        EXPECT_FALSE(state.isProtected(m));
    }
    EXPECT_FALSE(state.keyboardLocked);
    EXPECT_TRUE(state.firmware.empty());
    EXPECT_THROW(state.memory(0), std::out_of_range);
    EXPECT_THROW(state.memory(61), std::out_of_range);
    EXPECT_THROW(state.bank(3), std::out_of_range);
}

TEST(DeviceState, BankDifferencesNameEveryAddressThatDiffers) {
    const Image image = test::testImage(8);
    DeviceState state(image);
    state.bank(1)[0][2] ^= 1;
    state.bank(1)[257][0] ^= 1;
    EXPECT_EQ(bankDifferences(state.bank(1), 1, image), (std::vector<int>{0, 257}));
    EXPECT_TRUE(bankDifferences(state.bank(2), 2, image).empty());
    // Bank 2 is compared with block B, which here differs from block A.
    EXPECT_EQ(bankDifferences(state.bank(1), 2, image).size(), 258U);
    EXPECT_THROW(bankDifferences(state.bank(1), 1, std::span(image).first(873)), std::out_of_range);
}

}  // namespace
}  // namespace kvn::emu
