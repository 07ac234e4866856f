#include "analysis/CrossoverView.h"

#include "analysis/OutputCurves.h"
#include "config/LoudnessControls.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kvn::analysis {
namespace {

TXOVERPB designed(std::uint8_t type, int order, double frequencyHz) {
    TXOVERPB edge;
    edge.XoverType = type;
    edge.Order = order;
    edge.FrequencyHz = frequencyHz;
    edge.design();
    return edge;
}

TEST(CrossoverView, HandleStandsOnTheEdgeAtItsFrequency) {
    struct Case {
        std::uint8_t type;
        int order;
        double db;  // the analogue prototypes' level at the cutoff
    };
    for (const Case c :
         {Case{kButterworthLowPass, 2, -3.01}, Case{kBesselHighPass, 4, -3.01},
          Case{kLinkwitzRileyLowPass, 4, -6.02}, Case{kLinkwitzRileyHighPass, 2, -6.02}}) {
        const std::optional<EdgeHandle> handle = edgeHandle(designed(c.type, c.order, 2200.0));
        ASSERT_TRUE(handle.has_value()) << int(c.type);
        EXPECT_DOUBLE_EQ(handle->frequencyHz, 2200.0);
        // Bessel tables carry four decimals; the bilinear design bends a little at 2.2 kHz.
        EXPECT_NEAR(handle->magnitudeDb, c.db, 0.05) << int(c.type) << " " << c.order;
    }
    EXPECT_FALSE(edgeHandle(designed(kXoverBypass, 2, 500.0)).has_value());
}

TEST(CrossoverView, APressTakesTheNearerHandleWithinSevenHundredthsOfADecade) {
    const double inside = 1000.0 * std::pow(10.0, 0.069);
    const double outside = 1000.0 * std::pow(10.0, 0.071);
    EXPECT_EQ(hitEdgeHandle(inside, 1000.0, std::nullopt), XoverEdge::L);
    EXPECT_EQ(hitEdgeHandle(1000.0 / std::pow(10.0, 0.069), std::nullopt, 1000.0), XoverEdge::H);
    EXPECT_FALSE(hitEdgeHandle(outside, 1000.0, 1000.0).has_value());
    EXPECT_FALSE(hitEdgeHandle(1000.0, std::nullopt, std::nullopt).has_value());
    EXPECT_EQ(hitEdgeHandle(1050.0, 1000.0, 1080.0), XoverEdge::H);
    EXPECT_EQ(hitEdgeHandle(1030.0, 1000.0, 1080.0), XoverEdge::L);
    EXPECT_FALSE(hitEdgeHandle(0.0, 1.0, 1.0).has_value());
}

TEST(CrossoverView, SubCurveCarriesTheReinforcementSectionTheOthersDoNot) {
    ProcessorConfig config;
    setLoudnessGain(config.Loudness, loudnessGainSliderPosition(9.0));
    for (int n = 1; n <= kOutputCount; ++n) {
        ResponseCurve plain;
        ResponseCurve view;
        ResponseCurve loudness;
        crossoverCurve(config.output(n), n == kSubOutput, plain);
        crossoverViewCurve(config, n, view);
        loudnessCurve(config.Loudness, loudness);
        for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); k += 25) {
            const float added = n == kSubOutput ? loudness.MagDb[k] : 0.0f;
            EXPECT_NEAR(view.MagDb[k], plain.MagDb[k] + added, 1e-4) << n << " " << k;
        }
    }
    ResponseCurve loudness;
    loudnessCurve(config.Loudness, loudness);
    EXPECT_GT(*std::max_element(loudness.MagDb.begin(), loudness.MagDb.begin() + kGridPoints),
              8.9f);
}

}  // namespace
}  // namespace kvn::analysis
