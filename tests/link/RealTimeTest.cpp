#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/RealTimeBacklog.h"
#include "link/RealTimeUpdate.h"

namespace kvn::link::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(RealTimeMessage, GoldenBytes) {
    // Delay of output 2 set to 100 samples: integer word DelaySamples + 1 at address 142.
    EXPECT_EQ(realTimeMessage(RealTimeUpdate::integerWord(1, 142, 101)),
              (Bytes{0x84, 0x12, 0x01, 0x02, 0x00, 0x8E, 0x00, 0x00, 0x65, 0x55}));
    // A section for slot 100 (the loudness filter): 22 bytes, b0..a2 as fixed-point words, the
    // out-of-range a1 saturated rather than wrapped.
    EXPECT_EQ(realTimeMessage(RealTimeUpdate::section(1, 100, {1.0, -1.0, 0.5, 2.5, -0.000001})),
              (Bytes{0x84, 0x12, 0x01, 0x00, 0x00, 0x64, 0x10, 0x00, 0x00, 0x30, 0x00,
                     0x00, 0x08, 0x00, 0x00, 0x1F, 0xFF, 0xFF, 0x3F, 0xFF, 0xFF, 0x55}));
    // Output level of SUB on bank 2: a coefficient word at address 260.
    EXPECT_EQ(realTimeMessage(RealTimeUpdate::coefficientWord(2, 260, 0.5)),
              (Bytes{0x84, 0x12, 0x02, 0x02, 0x01, 0x04, 0x08, 0x00, 0x00, 0x55}));
}

TEST(RealTimeBacklog, KeepsTheLatestValuePerTargetInOrderOfFirstArrival) {
    RealTimeBacklog backlog;
    EXPECT_TRUE(backlog.post(RealTimeUpdate::integerWord(1, 141, 1)));  // starts a drain
    EXPECT_TRUE(backlog.draining());
    EXPECT_FALSE(backlog.post(RealTimeUpdate::section(1, 6, {0.1})));
    EXPECT_FALSE(backlog.post(RealTimeUpdate::integerWord(1, 141, 2)));
    EXPECT_FALSE(backlog.post(RealTimeUpdate::section(1, 6, {0.2})));
    EXPECT_FALSE(backlog.post(RealTimeUpdate::coefficientWord(1, 141, 0.25)));  // same word
    EXPECT_FALSE(backlog.post(RealTimeUpdate::integerWord(2, 141, 3)));         // other bank
    EXPECT_FALSE(backlog.post(RealTimeUpdate::coefficientWord(1, 6, 0.5)));     // word, not section
    EXPECT_EQ(backlog.waiting(), 4u);

    auto first = backlog.takeNext();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, RealTimeUpdate::Kind::CoefficientWord);
    EXPECT_EQ(first->coefficients[0], 0.25);
    auto second = backlog.takeNext();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->kind, RealTimeUpdate::Kind::Section);
    EXPECT_EQ(second->coefficients[0], 0.2);
    EXPECT_EQ(backlog.takeNext()->dspSelect, 2);
    EXPECT_EQ(backlog.takeNext()->address, 6);
    EXPECT_FALSE(backlog.takeNext());
    // The drain has ended: the next edit starts a new one.
    EXPECT_FALSE(backlog.draining());
    EXPECT_TRUE(backlog.post(RealTimeUpdate::integerWord(1, 141, 4)));
}

}  // namespace
}  // namespace kvn::link::test
