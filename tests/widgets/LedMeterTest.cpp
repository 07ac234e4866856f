#include "widgets/LedMeter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kvn::widgets {
namespace {

using S = LedMeter::Segment;

int litCount(const std::vector<S>& segments) {
    return static_cast<int>(
        std::count_if(segments.begin(), segments.end(), [](S s) { return s != S::Dark; }));
}

TEST(LedMeter, SegmentsLightUpToThePositionInThreeColours) {
    const auto full = LedMeter::segments(100, 100, 70, 95, 20);
    ASSERT_EQ(full.size(), 20u);
    EXPECT_EQ(full[0], S::First);
    EXPECT_EQ(full[13], S::First);   // starts at 65
    EXPECT_EQ(full[14], S::Second);  // starts at 70
    EXPECT_EQ(full[18], S::Second);  // starts at 90
    EXPECT_EQ(full[19], S::Third);   // starts at 95
    EXPECT_EQ(litCount(LedMeter::segments(0, 100, 70, 95, 20)), 0);
    EXPECT_EQ(litCount(LedMeter::segments(50, 100, 70, 95, 20)), 10);
    EXPECT_EQ(litCount(LedMeter::segments(51, 100, 70, 95, 20)), 11);
    EXPECT_EQ(litCount(LedMeter::segments(250, 100, 70, 95, 20)), 20);
    EXPECT_EQ(litCount(LedMeter::segments(-5, 100, 70, 95, 20)), 0);
    // The power check's meter: maximum 74, colours from 52 and 70, 61 of 74 segments lit.
    const auto power = LedMeter::segments(61, 74, 52, 70, 74);
    EXPECT_EQ(litCount(power), 61);
    EXPECT_EQ(power[51], S::First);
    EXPECT_EQ(power[52], S::Second);
    EXPECT_EQ(power[60], S::Second);
}

TEST(LedMeter, ANonPositiveMaximumShowsNothingAndPositionsAreHeld) {
    EXPECT_EQ(litCount(LedMeter::segments(10, 0, 5, 8, 10)), 0);
    EXPECT_EQ(litCount(LedMeter::segments(10, -4, 5, 8, 10)), 0);
    EXPECT_EQ(LedMeter::segments(1, 10, 5, 8, 0).size(), 1u);

    LedMeter meter(Qt::Horizontal);
    meter.setMaximum(61);
    meter.setPosition(80);
    EXPECT_EQ(meter.position(), 61);
    meter.setMaximum(-3);
    EXPECT_EQ(meter.position(), 0);
    meter.resize(200, 14);
    meter.grab();  // paints without a division by zero
}

}  // namespace
}  // namespace kvn::widgets
