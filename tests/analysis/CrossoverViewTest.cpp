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

TEST(CrossoverView, HandleIsTheEdgesMinus3dBPoint) {
    struct Case {
        std::uint8_t type;
        int order;
        double handleRatio;  // handle / cutoff, from the analogue prototypes
    };
    // Butterworth and Bessel are 3 dB down at the cutoff; Linkwitz-Riley, the square of a
    // Butterworth, where |H|^2 = 2^(-1/2): (sqrt(2) - 1)^(1/(2N')) below or above it.
    const double lr4 = std::pow(std::sqrt(2.0) - 1.0, 0.25);
    const double lr2 = std::pow(std::sqrt(2.0) - 1.0, 0.5);
    for (const Case c :
         {Case{kButterworthLowPass, 2, 1.0}, Case{kButterworthHighPass, 4, 1.0},
          Case{kBesselLowPass, 2, 1.0}, Case{kBesselHighPass, 4, 1.0},
          Case{kLinkwitzRileyLowPass, 4, lr4}, Case{kLinkwitzRileyHighPass, 4, 1.0 / lr4},
          Case{kLinkwitzRileyLowPass, 2, lr2}}) {
        const TXOVERPB edge = designed(c.type, c.order, 500.0);
        const std::optional<double> handle = edgeHandleHz(edge);
        ASSERT_TRUE(handle.has_value()) << int(c.type);
        // Bessel tables carry four decimals; the bilinear design bends a little at 500 Hz.
        EXPECT_NEAR(*handle / 500.0, c.handleRatio, 0.01) << int(c.type) << " " << c.order;
        EXPECT_NEAR(edgeMagnitudeDb(edge, *handle), -3.0, 1e-6);

        // Moving the handle moves the edge by the same ratio, so the handle lands where it went.
        TXOVERPB moved = edge;
        moved.FrequencyHz = edgeFrequencyForHandle(edge, 2.0 * *handle);
        moved.design();
        EXPECT_NEAR(*edgeHandleHz(moved) / (2.0 * *handle), 1.0, 0.005) << int(c.type);
    }
    EXPECT_FALSE(edgeHandleHz(designed(kXoverBypass, 2, 500.0)).has_value());
    EXPECT_DOUBLE_EQ(edgeFrequencyForHandle(designed(kXoverBypass, 2, 500.0), 900.0), 500.0);
    // A low-pass at the top of the range still has its handle below the grid's end.
    EXPECT_NEAR(*edgeHandleHz(designed(kButterworthLowPass, 2, 20000.0)), 20000.0, 10.0);
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
