#include "config/LoudnessControls.h"

#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>

namespace kvn {
namespace {

// Highest magnitude of the section on the response grid, and where it lies.
std::pair<float, int> peak(const TSOS& section) {
    ResponseCurve curve;
    evaluateCascade(std::span<const TSOS>(&section, 1), 1, curve);
    const auto* top = std::max_element(curve.MagDb.begin(), curve.MagDb.begin() + kGridPoints);
    return {*top, responseGrid().GridHz[static_cast<std::size_t>(top - curve.MagDb.begin())]};
}

TEST(LoudnessControls, SlidersRunFrom80HzAnd12dBAtTheTopAndHoldTheirEnds) {
    struct Case {
        int position;
        double hz;
        double db;
    };
    for (const Case c : {Case{0, 80.0, 12.0}, Case{25, 55.0, 9.5}, Case{51, 29.0, 6.9},
                         Case{120, 29.0, 0.0}, Case{-5, 80.0, 12.0}, Case{500, 29.0, 0.0}}) {
        EXPECT_DOUBLE_EQ(loudnessFrequencyFromSlider(c.position), c.hz) << c.position;
        EXPECT_DOUBLE_EQ(loudnessGainFromSlider(c.position), c.db) << c.position;
    }
    for (int p = 0; p <= kLoudnessFrequencySliderMax; ++p) {
        EXPECT_EQ(loudnessFrequencySliderPosition(loudnessFrequencyFromSlider(p)), p);
    }
    for (int p = 0; p <= kLoudnessGainSliderMax; ++p) {
        EXPECT_EQ(loudnessGainSliderPosition(loudnessGainFromSlider(p)), p);
    }
    EXPECT_EQ(loudnessFrequencySliderPosition(200.0), 0);
    EXPECT_EQ(loudnessGainSliderPosition(-3.0), kLoudnessGainSliderMax);
}

TEST(LoudnessControls, StartsAsA55HzPeakingBoostOfNothing) {
    const ProcessorConfig config;
    const TSOS& s = config.Loudness;
    EXPECT_EQ(s.CoeffSlot, 100);
    EXPECT_EQ(s.FilterType, kParametric);
    EXPECT_DOUBLE_EQ(s.Q, 1.5);
    EXPECT_EQ(loudnessControls(s), (LoudnessControls{25, 120, false}));
    EXPECT_LT(std::abs(peak(s).first), 1e-6);
}

TEST(LoudnessControls, TheHighPassTakesItsQFromTheGainAndKeepsTheGainSetting) {
    ProcessorConfig config;
    TSOS& s = config.Loudness;
    setLoudnessGain(s, loudnessGainSliderPosition(6.0));
    const auto [boostDb, boostHz] = peak(s);
    EXPECT_NEAR(boostDb, 6.0, 0.05);
    EXPECT_NEAR(boostHz, 55, 2);

    setLoudnessType(s, true);
    EXPECT_EQ(s.FilterType, kHiPassQ);
    EXPECT_NEAR(s.Q, 2.286, 5e-4);
    EXPECT_DOUBLE_EQ(s.GainDb, 6.0);
    EXPECT_EQ(loudnessControls(s), (LoudnessControls{25, 60, true}));
    // A resonant high-pass: lifted just above 55 Hz, cut far below it.
    ResponseCurve curve;
    evaluateCascade(std::span<const TSOS>(&s, 1), 1, curve);
    EXPECT_GT(peak(s).first, 6.0);
    EXPECT_LT(curve.MagDb[0], -3.0f);  // 20 Hz

    setLoudnessGain(s, 0);
    EXPECT_NEAR(s.Q, 12.0 / 3.8 + 0.707, 1e-12);
    setLoudnessGain(s, kLoudnessGainSliderMax);
    EXPECT_DOUBLE_EQ(s.Q, 0.707);
    setLoudnessFrequency(s, kLoudnessFrequencySliderMax);
    EXPECT_DOUBLE_EQ(s.FrequencyHz, 29.0);
    EXPECT_EQ(s.FilterType, kHiPassQ);

    setLoudnessType(s, false);
    EXPECT_EQ(s.FilterType, kParametric);
    EXPECT_DOUBLE_EQ(s.Q, 1.5);
    EXPECT_DOUBLE_EQ(s.GainDb, 0.0);
}

}  // namespace
}  // namespace kvn
