#include "dsp/TDYNAMIC.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/DynamicsMath.h"

namespace kvn {
namespace {

TDYNAMIC unit(std::uint8_t kneeType, float threshold, float ratio, float knee, float gateLevel,
              float gateSlope = 4.0f) {
    TDYNAMIC d;
    d.kneeType = kneeType;
    d.thresholdDbfs = threshold;
    d.ratio = ratio;
    d.kneeDb = knee;
    d.gateLevel = gateLevel;
    d.gateSlope = gateSlope;
    d.design();
    return d;
}

TEST(TDYNAMIC, LimiterHoldsTheOutputAtTheThreshold) {
    const TDYNAMIC d = unit(kLimiter, -6.0f, 2.0f, 4.0f, 1.0f);
    EXPECT_EQ(d.gainTable[0], 0.0);  // the gate always closes the lowest entry
    for (int k = 1; k <= 28; ++k) {  // -93 .. -12 dBFS
        EXPECT_EQ(d.gainTable[static_cast<std::size_t>(k)], 1.0) << k;
    }
    EXPECT_NEAR(d.gainTable[30], 0.891, 1e-3);  // -6 dBFS
    EXPECT_NEAR(d.gainTable[32], 0.501, 1e-3);  // 0 dBFS
    for (float y : d.outputDb) {
        EXPECT_LE(y, -6.0f + 1e-4f);
    }
    // The ratio has no effect on a limiter.
    EXPECT_EQ(unit(kLimiter, -6.0f, 8.0f, 4.0f, 1.0f).gainTable, d.gainTable);
}

TEST(TDYNAMIC, CompressorFollowsItsRatioAboveTheKnee) {
    const TDYNAMIC unity = unit(kCompressor, -20.0f, 1.0f, 6.0f, 1.0f);
    for (int k = 1; k < kGainTableSize; ++k) {
        EXPECT_NEAR(unity.gainTable[static_cast<std::size_t>(k)], 1.0, 1e-5) << k;
    }
    const TDYNAMIC d = unit(kCompressor, -20.0f, 4.0f, 2.0f, 1.0f);
    // 0 dBFS is 20 dB above the threshold: the output rises by 5 dB, a gain of -15 dB.
    EXPECT_NEAR(20.0 * std::log10(d.gainTable[32]), -15.0, 1e-3);
    EXPECT_NEAR(20.0 * std::log10(d.gainTable[30]), -14.0 * 0.75, 1e-3);  // -6 dBFS
}

TEST(TDYNAMIC, NarrowKneeUsesTwoTenthsHalfWidthAndKeepsQuietLevelsAtUnity) {
    const TDYNAMIC d = unit(kLimiter, -30.0f, 2.0f, 0.0f, 1.0f);
    // Quiet levels far below the knee underflowed to 0 before the unity fix; they are 1.0 now.
    for (int k = 1; k <= 21; ++k) {  // -93 .. -33 dBFS
        EXPECT_EQ(d.gainTable[static_cast<std::size_t>(k)], 1.0) << k;
    }
    // At the threshold the quadratic of a 0.2 dB half width lies 0.2^2 / 0.8 = 0.05 dB down.
    EXPECT_NEAR(20.0 * std::log10(d.gainTable[22]), -0.05, 1e-4);  // -30 dBFS
    EXPECT_NEAR(20.0 * std::log10(d.gainTable[32]), -30.0, 1e-3);
    // A threshold of exactly 0 is moved just below full scale.
    TDYNAMIC zero = unit(kLimiter, 0.0f, 2.0f, 4.0f, 1.0f);
    EXPECT_EQ(zero.thresholdDbfs, -0.001f);
}

TEST(TDYNAMIC, NoiseGateRampsAndActsEvenWhenBypassed) {
    const TDYNAMIC high = unit(kCompressor, -3.0f, 1.0f, 1.0f, 16.0f, 4.0f);
    for (int k = 0; k <= 11; ++k) {
        EXPECT_EQ(high.gainTable[static_cast<std::size_t>(k)], 0.0) << k;
    }
    EXPECT_EQ(high.gainTable[12], 0.25);
    EXPECT_EQ(high.gainTable[13], 0.5);
    EXPECT_EQ(high.gainTable[14], 0.75);
    EXPECT_EQ(high.gainTable[15], 1.0);

    TDYNAMIC bypassed;
    bypassed.bypass = 1;
    bypassed.gateLevel = 13.0f;
    bypassed.gateSlope = 4.0f;
    bypassed.thresholdDbfs = -40.0f;
    bypassed.design();
    for (int k = 0; k < kGainTableSize; ++k) {
        const double expected = k < 9 ? 0.0 : k < 13 ? (k - 8) / 4.0 : 1.0;
        EXPECT_EQ(bypassed.gainTable[static_cast<std::size_t>(k)], expected) << k;
    }

    std::array<double, kGainTableSize> table{};
    table.fill(1.0);
    applyNoiseGate(table, 1.0, 4.0);  // "Bypass" in the gate list: only -96 dBFS closes
    EXPECT_EQ(table[0], 0.0);
    EXPECT_EQ(table[1], 1.0);
    table.fill(1.0);
    applyNoiseGate(table, 80.0, 0.0);  // out of range values stay inside the table
    EXPECT_EQ(table[31], 0.0);
    EXPECT_EQ(table[32], 1.0);
}

TEST(DynamicsMath, TimingValuesAndTheirInverses) {
    EXPECT_NEAR(detectorCoefficientFromAttack(120.0), 0.000575480, 1e-9);
    EXPECT_NEAR(attackFromDetectorCoefficient(detectorCoefficientFromAttack(37.0)), 37.0, 1e-9);
    EXPECT_EQ(holdSamplesFromMs(40.0, 0), 1920);
    EXPECT_EQ(holdSamplesFromMs(40.0, 48), 1968);
    EXPECT_DOUBLE_EQ(holdMsFromSamples(1968, 48), 40.0);
    EXPECT_EQ(releaseCountFromRate(5.0), 36);  // 36.496
    EXPECT_NEAR(releaseRateFromCount(36), 4.932, 1e-9);
    EXPECT_EQ(lookAheadSamplesFromMs(1.0), 48);
    EXPECT_EQ(lookAheadSamplesFromMs(0.0625), 3);  // 3.0
    EXPECT_DOUBLE_EQ(lookAheadMsFromSamples(96), 2.0);
}

TEST(DynamicsMath, EditorScalesAndLevelReference) {
    EXPECT_DOUBLE_EQ(thresholdFromTrack(0, 1), -2.6);
    EXPECT_DOUBLE_EQ(thresholdFromTrack(0, 2), -5.6);
    EXPECT_DOUBLE_EQ(dbfsToDbu(thresholdFromTrack(0, 1), 1), 18.0);
    EXPECT_DOUBLE_EQ(dbfsToDbu(thresholdFromTrack(100, 2), 2), -32.0);
    EXPECT_EQ(trackFromThresholdDbu(0.0), 36);
    EXPECT_NEAR(thresholdFromTrack(36, 1), -20.6, 1e-12);
    EXPECT_EQ(trackFromThreshold(-6.0, 1), 7);  // 6.8
    EXPECT_EQ(trackFromThreshold(-5.0, 2), -1);
    EXPECT_EQ(trackFromKnee(10.0), 0);
    EXPECT_EQ(trackFromKnee(0.0), 20);
    EXPECT_DOUBLE_EQ(kneeFromTrack(12), 4.0);
    EXPECT_EQ(trackFromKneeOnLoad(4.0, 1), 12);
    EXPECT_EQ(trackFromKneeOnLoad(4.0, 2), 12);
    EXPECT_EQ(trackFromKneeOnLoad(2.25, 2), 15);  // 15.4
    EXPECT_EQ(ratioFromTrack(8), 2.0);
    EXPECT_EQ(trackFromRatio(2.0), 8);
}

TEST(DynamicsMath, StaticCurveInDbu) {
    const TDYNAMIC d = unit(kLimiter, -6.0f, 2.0f, 4.0f, 13.0f);
    const auto curve = staticCurveDbu(d, 1);
    ASSERT_EQ(curve.size(), 60u);
    EXPECT_NEAR(curve.front().first, -10.0 + 20.6, 1e-4);  // the knee start
    EXPECT_NEAR(curve.front().second, curve.front().first, 1e-4);
    EXPECT_LT(curve.back().first, 20.6);
    EXPECT_NEAR(curve.back().second, -6.0 + 20.6, 0.01);
    EXPECT_NEAR(staticCurveDbu(d, 2).front().first, -10.0 + 23.6, 1e-4);
}

TEST(DynamicsMath, GraphShowsTheCurveFromTheFloorAndTheGate) {
    TDYNAMIC d = unit(kCompressor, -20.0f, 4.0f, 6.0f, 16.0f);
    DynamicsGraph g = dynamicsGraphDbu(d, 2, -80.0);
    ASSERT_EQ(g.curve.size(), 61u);
    EXPECT_EQ(g.curve.front(), std::pair(-80.0, -80.0));
    EXPECT_EQ(g.curve[1], staticCurveDbu(d, 2).front());
    // Gate 16, slope 4: entries 0..11 closed (drawn at the floor), 12..15 ramp, 16 passes.
    ASSERT_EQ(g.gate.size(), 16u);
    EXPECT_EQ(g.gate[0], std::pair(-96.0 + 23.6, -80.0));
    EXPECT_EQ(g.gate[11].second, -80.0);
    EXPECT_NEAR(g.gate[12].second, -60.0 + 23.6 + 20 * std::log10(0.25), 1e-9);
    EXPECT_NEAR(g.gate[15].second, g.gate[15].first, 1e-9);

    // Bypassed: the straight line, and the gate still acts ("Bypass" closes only -96 dBFS).
    d.bypass = 1;
    d.gateLevel = 1.0f;
    d.design();
    g = dynamicsGraphDbu(d, 1, -80.0);
    EXPECT_EQ(g.curve, (std::vector<std::pair<double, double>>{{-100, -100}, {100, 100}}));
    ASSERT_EQ(g.gate.size(), 2u);
    EXPECT_EQ(g.gate[0].second, -80.0);
    EXPECT_NEAR(g.gate[1].second, -93.0 + 20.6, 1e-9);
}

// Values read from a preset file can be anything; they land at the ends of their ranges.
TEST(TDYNAMIC, ValuesBeyondTheIntRangeLandAtTheEnds) {
    std::array<double, kGainTableSize> table{};
    table.fill(1.0);
    applyNoiseGate(table, 3e9, 4.0);  // as gate level 33: all but the top ramp closes
    EXPECT_EQ(table[28], 0.0);
    EXPECT_EQ(table[29], 0.25);
    EXPECT_EQ(table[32], 1.0);
    table.fill(1.0);
    applyNoiseGate(table, 13.0, -3e9);  // as slope 1
    EXPECT_EQ(table[11], 0.0);
    EXPECT_EQ(table[12], 1.0);

    EXPECT_GT(holdMsFromSamples(std::numeric_limits<int>::max(), -1), 4.4e7);
    EXPECT_EQ(rebaseHoldSamples(1920, 0, 48), 1968);
    EXPECT_EQ(rebaseHoldSamples(std::numeric_limits<int>::max(), 0, 96),
              std::numeric_limits<int>::max());
    EXPECT_EQ(trackFromThreshold(-1e12, 1), std::numeric_limits<int>::max());
    EXPECT_EQ(trackFromRatio(std::numeric_limits<double>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace kvn
