#include "widgets/GraphMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kvn::widgets {
namespace {

using Ticks = std::vector<double>;

TEST(GraphMath, LogMapping_PlacesDecadesEvenlyAndRoundTrips) {
    const AxisMapping x{{20.0, 20000.0}, AxisScale::Logarithmic, 0.0, 600.0};
    EXPECT_DOUBLE_EQ(x.toPixel(20.0), 0.0);
    EXPECT_DOUBLE_EQ(x.toPixel(20000.0), 600.0);
    EXPECT_DOUBLE_EQ(x.toPixel(200.0), 200.0);
    EXPECT_NEAR(x.toPixel(std::sqrt(20.0 * 20000.0)), 300.0, 1e-9);
    EXPECT_NEAR(x.toValue(300.0), 632.4555320336759, 1e-9);
    for (const double f : {20.0, 31.5, 999.97, 4999.75, 19999.0}) {
        EXPECT_NEAR(x.toValue(x.toPixel(f)), f, f * 1e-12);
    }
    EXPECT_TRUE(std::isnan(x.toPixel(0.0)));
    const AxisMapping invalid{{0.0, 100.0}, AxisScale::Logarithmic, 0.0, 600.0};
    EXPECT_TRUE(std::isnan(invalid.toPixel(10.0)));
    EXPECT_TRUE(std::isnan(invalid.toValue(10.0)));
}

TEST(GraphMath, LinearMapping_YAxisRunsUpwards) {
    const AxisMapping y{{-20.0, 20.0}, AxisScale::Linear, 400.0, 0.0};
    EXPECT_DOUBLE_EQ(y.toPixel(-20.0), 400.0);
    EXPECT_DOUBLE_EQ(y.toPixel(20.0), 0.0);
    EXPECT_DOUBLE_EQ(y.toPixel(5.0), 150.0);
    EXPECT_DOUBLE_EQ(y.toValue(100.0), 10.0);
    const AxisMapping flat{{-20.0, 20.0}, AxisScale::Linear, 10.0, 10.0};
    EXPECT_TRUE(std::isnan(flat.toValue(10.0)));
}

TEST(GraphMath, LogTicks_OneTwoFivePerDecadeInsideTheRange) {
    EXPECT_EQ(logMajorTicks({20.0, 20000.0}),
              (Ticks{20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000}));
    EXPECT_EQ(logMajorTicks({20.0, 500.0}), (Ticks{20, 50, 100, 200, 500}));
    EXPECT_EQ(logMajorTicks({25.0, 480.0}), (Ticks{50, 100, 200}));
    EXPECT_EQ(logMajorTicks({0.5, 3.0}), (Ticks{0.5, 1, 2}));
    EXPECT_EQ(logMinorTicks({20.0, 200.0}), (Ticks{30, 40, 60, 70, 80, 90}));
    EXPECT_TRUE(logMajorTicks({0.0, 20000.0}).empty());
}

TEST(GraphMath, FrequencyTickLabels_KilohertzFromOneThousand) {
    EXPECT_EQ(frequencyTickLabel(20), "20");
    EXPECT_EQ(frequencyTickLabel(1000), "1k");
    EXPECT_EQ(frequencyTickLabel(2500), "2.5k");
    EXPECT_EQ(frequencyTickLabel(20000), "20k");
}

TEST(GraphMath, LinearTicks_MultiplesOfTheStepWithoutDrift) {
    EXPECT_EQ(linearTicks({-20.0, 20.0}, 5.0), (Ticks{-20, -15, -10, -5, 0, 5, 10, 15, 20}));
    const Ticks tenths = linearTicks({0.0, 1.0}, 0.1);
    ASSERT_EQ(tenths.size(), 11u);
    EXPECT_DOUBLE_EQ(tenths[3], 0.30000000000000004);
    EXPECT_DOUBLE_EQ(tenths.back(), 1.0);
    const Ticks zero = linearTicks({-10.0, 10.0}, 10.0);
    ASSERT_EQ(zero.size(), 3u);
    EXPECT_FALSE(std::signbit(zero[1]));
    EXPECT_EQ(linearTicks({-50.0, 20.0}, 20.0), (Ticks{-40, -20, 0, 20}));
    EXPECT_TRUE(linearTicks({0.0, 10.0}, 0.0).empty());
    EXPECT_TRUE(linearTicks({0.0, 1e6}, 1.0).empty());
    EXPECT_DOUBLE_EQ(niceTickStep({0.0, 100.0}, 8), 20.0);
    EXPECT_DOUBLE_EQ(niceTickStep({-20.0, 20.0}, 9), 5.0);
    EXPECT_DOUBLE_EQ(niceTickStep({-50.0, 20.0}, 8), 10.0);
}

TEST(GraphMath, StrictlyInside_EndsAreOutside) {
    const AxisRange r{20.0, 20000.0};
    EXPECT_FALSE(r.strictlyContains(20.0));
    EXPECT_TRUE(r.strictlyContains(20.0001));
    EXPECT_FALSE(r.strictlyContains(20000.0));
    EXPECT_FALSE(r.strictlyContains(std::numeric_limits<double>::quiet_NaN()));
}

TEST(GraphMath, BandHit_WithinSevenHundredthsOfADecadeAndTwoDecibels) {
    EXPECT_TRUE(bandHit(1000.0 * std::pow(10.0, 0.0699), 0.0, 1000.0, 0.0));
    EXPECT_TRUE(bandHit(1000.0 / std::pow(10.0, 0.0699), 0.0, 1000.0, 0.0));
    EXPECT_FALSE(bandHit(1000.0 * std::pow(10.0, 0.0701), 0.0, 1000.0, 0.0));
    EXPECT_TRUE(bandHit(1000.0, 8.0, 1000.0, 6.0));
    EXPECT_FALSE(bandHit(1000.0, 8.01, 1000.0, 6.0));
    EXPECT_FALSE(bandHit(1000.0, 3.99, 1000.0, 6.0));
    EXPECT_FALSE(bandHit(0.0, 0.0, 1000.0, 0.0));
    EXPECT_FALSE(bandHit(1000.0, 0.0, 0.0, 0.0));
    EXPECT_FALSE(bandHit(std::numeric_limits<double>::quiet_NaN(), 0.0, 1000.0, 0.0));
}

TEST(GraphMath, LabelsAreHeldToTheSpanAndRaisedClearOfTheOnesBefore) {
    EXPECT_DOUBLE_EQ(valueInSight(10.0, {20.0, 20000.0}), 20.0);
    EXPECT_DOUBLE_EQ(valueInSight(500.0, {20.0, 20000.0}), 500.0);
    // Three labels at one place, one off the left edge, one clear of the others.
    const std::vector<LabelPlace> placed = keepLabelsApart(
        {{100, 50}, {100, 50}, {102, 45}, {-30, 200}, {300, 50}}, 10.0, 14.0, 0.0, 400.0);
    EXPECT_EQ(placed,
              (std::vector<LabelPlace>{{100, 50}, {100, 36}, {102, 22}, {5, 200}, {300, 50}}));
    // A span narrower than a label centres it.
    EXPECT_EQ(keepLabelsApart({{0, 0}}, 10.0, 14.0, 0.0, 6.0).front(), (LabelPlace{3, 0}));
}

struct Pixel {
    double px;
    double py;
    double x() const { return px; }
    double y() const { return py; }
    bool operator==(const Pixel&) const = default;
};
using Line = std::vector<Pixel>;

// The y of the kept line at `x`, between the kept points on either side of it.
double keptLineAt(const Line& kept, double x) {
    for (std::size_t k = 1; k < kept.size(); ++k) {
        if (kept[k].px >= x) {
            const double t = (x - kept[k - 1].px) / (kept[k].px - kept[k - 1].px);
            return kept[k - 1].py + t * (kept[k].py - kept[k - 1].py);
        }
    }
    return kept.back().py;
}

TEST(GraphMath, ThinnedLine_StaysWithinReachOfEveryPointAndKeepsGapsAndEnds) {
    // A curve like a band's: flat, a peak, a steep fall; a point every 1.4 pixels.
    Line curve;
    for (int k = 0; k < 401; ++k) {
        const double x = 20.0 + 1.4 * k;
        curve.push_back({x, 200.0 - 60.0 * std::exp(-std::pow((x - 300.0) / 40.0, 2.0)) +
                                (x > 500.0 ? 3.0 * (x - 500.0) : 0.0)});
    }
    Line kept;
    thinOutLine<Pixel>(curve, 0.25, kept);
    EXPECT_LT(kept.size(), curve.size() / 2);
    EXPECT_EQ(kept.front(), curve.front());
    EXPECT_EQ(kept.back(), curve.back());
    std::size_t at = 0;
    for (const Pixel& p : curve) {
        EXPECT_NEAR(keptLineAt(kept, p.px), p.py, 0.25 + 1e-9) << p.px;
        // The kept points are points of the curve, in order.
        if (at < kept.size() && kept[at] == p) {
            ++at;
        }
    }
    EXPECT_EQ(at, kept.size());

    // A straight line is its two ends.
    thinOutLine<Pixel>(Line{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, 0.25, kept);
    EXPECT_EQ(kept, (Line{{0, 0}, {4, 4}}));

    // A gap keeps its neighbours; a step back in x is kept as it is.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    thinOutLine<Pixel>(Line{{0, 0}, {1, 0}, {2, 0}, {3, nan}, {4, 0}, {5, 0}, {6, 0}, {5, 0}}, 0.25,
                       kept);
    ASSERT_EQ(kept.size(), 6U);
    EXPECT_EQ(kept[1], (Pixel{2, 0}));
    EXPECT_TRUE(std::isnan(kept[2].py));
    EXPECT_EQ(kept[3], (Pixel{4, 0}));
    EXPECT_EQ(kept[4], (Pixel{6, 0}));
    EXPECT_EQ(kept[5], (Pixel{5, 0}));
}

}  // namespace
}  // namespace kvn::widgets
