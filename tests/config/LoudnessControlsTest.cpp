#include "config/LoudnessControls.h"

#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>

namespace kvn {
namespace {

// The section's highest magnitude on the response grid and its frequency.
std::pair<float, int> peak(const TSOS& section) {
    ResponseCurve curve;
    evaluateCascade(std::span<const TSOS>(&section, 1), 1, curve);
    const auto* top = std::max_element(curve.MagDb.begin(), curve.MagDb.begin() + kGridPoints);
    return {*top, responseGrid().GridHz[static_cast<std::size_t>(top - curve.MagDb.begin())]};
}

TEST(LoudnessControls, SlidersRunFrom80HzAnd12dBAtTheTopAndHoldTheirEnds) {
    for (const auto& [p, hz, db] :
         {std::tuple(0, 80.0, 12.0), std::tuple(25, 55.0, 9.5), std::tuple(51, 29.0, 6.9),
          std::tuple(120, 29.0, 0.0), std::tuple(-5, 80.0, 12.0), std::tuple(500, 29.0, 0.0)}) {
        EXPECT_EQ(std::tuple(loudnessFrequencyFromSlider(p), loudnessGainFromSlider(p)),
                  std::tuple(hz, db))
            << p;
    }
    for (int p = 0; p <= kLoudnessGainSliderMax; ++p) {
        EXPECT_EQ(loudnessGainSliderPosition(loudnessGainFromSlider(p)), p);
        EXPECT_EQ(loudnessFrequencySliderPosition(loudnessFrequencyFromSlider(p)),
                  std::min(p, kLoudnessFrequencySliderMax));
    }
    EXPECT_EQ(loudnessFrequencySliderPosition(200.0), 0);
    EXPECT_EQ(loudnessGainSliderPosition(-3.0), kLoudnessGainSliderMax);
}

TEST(LoudnessControls, PeakingBoostOrHighPassWhoseQFollowsTheKeptGain) {
    ProcessorConfig config;
    TSOS& s = config.Loudness;
    EXPECT_EQ(loudnessControls(s), (LoudnessControls{25, 120, false}));  // 55 Hz, 0 dB
    EXPECT_LT(std::abs(peak(s).first), 1e-6);
    setLoudnessGain(s, loudnessGainSliderPosition(6.0));
    EXPECT_NEAR(peak(s).first, 6.0, 0.05);
    EXPECT_NEAR(peak(s).second, 55, 2);

    setLoudnessType(s, true);
    EXPECT_EQ(std::tuple(s.FilterType, s.GainDb), std::tuple(kHiPassQ, 6.0));
    EXPECT_NEAR(s.Q, 2.286, 5e-4);
    EXPECT_EQ(loudnessControls(s), (LoudnessControls{25, 60, true}));
    EXPECT_GT(peak(s).first, 6.0);  // the resonance just above the cut
    ResponseCurve curve;
    evaluateCascade(std::span<const TSOS>(&s, 1), 1, curve);
    EXPECT_LT(curve.MagDb[0], -3.0f);  // 20 Hz

    setLoudnessGain(s, 0);
    EXPECT_NEAR(s.Q, 12.0 / 3.8 + 0.707, 1e-12);
    setLoudnessFrequency(s, kLoudnessFrequencySliderMax);
    EXPECT_EQ(std::tuple(s.FrequencyHz, s.FilterType), std::tuple(29.0, kHiPassQ));
    setLoudnessType(s, false);
    EXPECT_EQ(std::tuple(s.FilterType, s.Q), std::tuple(kParametric, 1.5));
}

}  // namespace
}  // namespace kvn
