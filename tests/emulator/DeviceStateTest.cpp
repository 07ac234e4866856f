// The state the virtual processor starts with, and what it runs.
#include "emulator/DeviceState.h"

#include "DeviceTestSupport.h"
#include "config/MemoryImage.h"
#include "emulator/FactoryImage.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kvn::emu {
namespace {

TEST(DeviceState, FactoryImageIsTheImageOfANewConfiguration) {
    const Image image = factoryImage();
    const std::vector<std::uint8_t> header(image.begin(), image.begin() + 18);
    EXPECT_EQ(header,
              (std::vector<std::uint8_t>{0x07, 0xFC, 0xCB, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
                                         0x01, 0x01, 'N', 'o', 'N', 'a', 'm', 'e'}));
    EXPECT_EQ(image[18], ' ');
    EXPECT_EQ(image[88], 'S');
    const Bank bank1 = bankFromImage(image, 1);
    EXPECT_EQ(bank1[0], (Word{0x10, 0x00, 0x00}));    // Output 1 from input A
    EXPECT_EQ(bank1[5], (Word{0x08, 0x00, 0x00}));    // SUB half from input B
    EXPECT_EQ(bank1[6], (Word{0x10, 0x00, 0x00}));    // band 1 b0
    EXPECT_EQ(bank1[7], (Word{0x00, 0x00, 0x00}));    // band 1 b1
    EXPECT_EQ(bank1[141], (Word{0x00, 0x00, 0x01}));  // no delay
    EXPECT_EQ(bank1[222], (Word{0x00, 0x00, 0x12}));
    EXPECT_EQ(bank1[257], (Word{0x10, 0x00, 0x00}));
    EXPECT_EQ(bankFromImage(image, 2), bank1);
    EXPECT_EQ(image[2036], 0x0D);
    EXPECT_EQ(image[2044], 0x0D);
    EXPECT_EQ(image[2045], 0x00);
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
