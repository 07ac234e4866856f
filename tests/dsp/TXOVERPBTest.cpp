#include "dsp/TXOVERPB.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "dsp/Response.h"

namespace kvn {
namespace {

TXOVERPB designedEdge(int type, int order, double frequencyHz) {
    TXOVERPB edge;
    edge.XoverType = static_cast<std::uint8_t>(type);
    edge.Order = order;
    edge.FrequencyHz = frequencyHz;
    EXPECT_FALSE(edge.design().has_value());
    return edge;
}

std::complex<double> edgeResponse(const TXOVERPB& edge, std::complex<double> z) {
    std::complex<double> h = 1.0;
    for (int k = 1; k <= edge.SectionCount; ++k) {
        const TSOS& s = edge.section(k);
        h *= (s.b0 + z * (s.b1 + z * s.b2)) / (1.0 - z * (s.a1 + z * s.a2));
    }
    return h;
}

ResponseCurve evaluate(const TXOVERPB& edge) {
    const TSOS* sections[] = {&edge.section(1), &edge.section(2), &edge.section(3)};
    ResponseCurve curve;
    evaluateCascade(sections, edge.SectionCount, curve);
    return curve;
}

constexpr int k693 = 200;  // grid point 200 is 693 Hz

TEST(TXOVERPB, ButterworthIsThreeDecibelsDownAtItsCutoffForEveryOrder) {
    for (int order = 1; order <= 6; ++order) {
        for (int type : {kButterworthLowPass, kButterworthHighPass}) {
            const TXOVERPB edge = designedEdge(type, order, 693);
            EXPECT_EQ(edge.SectionCount, (order + 1) / 2);
            const ResponseCurve curve = evaluate(edge);
            EXPECT_NEAR(curve.MagDb[k693], -3.0103f, 0.005f) << "order " << order;
            // One octave into the stop band the slope is about 6 dB per order.
            const int stop = type == kButterworthLowPass ? 250 : 150;
            EXPECT_LT(curve.MagDb[static_cast<std::size_t>(stop)], -4.5f * order + 0.5f);
        }
    }
}

TEST(TXOVERPB, ButterworthSectionsCarryTheirPolePairQ) {
    const TXOVERPB two = designedEdge(kButterworthLowPass, 2, 1000);
    EXPECT_NEAR(two.section(1).Q, 0.7071, 1e-4);
    const TXOVERPB four = designedEdge(kButterworthHighPass, 4, 1000);
    EXPECT_NEAR(four.section(1).Q, 1.3066, 1e-4);
    EXPECT_NEAR(four.section(2).Q, 0.5412, 1e-4);
    const TXOVERPB three = designedEdge(kButterworthLowPass, 3, 1000);
    EXPECT_EQ(three.SectionCount, 2);
    EXPECT_EQ(three.section(1).b2, 0.0);  // first-order section first
    EXPECT_EQ(three.section(1).a2, 0.0);
    EXPECT_NEAR(three.section(2).Q, 1.0, 1e-9);
    EXPECT_TRUE(std::isfinite(three.section(1).Q));
    EXPECT_EQ(three.section(2).FrequencyHz, 1000.0);
    const TXOVERPB hp = designedEdge(kButterworthHighPass, 2, 120);
    EXPECT_DOUBLE_EQ(hp.section(1).b0, hp.section(1).b2);
    EXPECT_DOUBLE_EQ(hp.section(1).b1, -2.0 * hp.section(1).b0);
    // Sections not in use are unity.
    EXPECT_TRUE(hp.section(2).isUnity());
    EXPECT_TRUE(hp.section(3).isUnity());
}

TEST(TXOVERPB, LinkwitzRileyEdgesSumFlat) {
    // The order-2 pair sums flat with the high-pass inverted, the order-4 pair as it is.
    for (int order : {2, 4}) {
        const TXOVERPB lp = designedEdge(kLinkwitzRileyLowPass, order, 1200);
        const TXOVERPB hp = designedEdge(kLinkwitzRileyHighPass, order, 1200);
        EXPECT_EQ(lp.SectionCount, 2);
        const double sign = order == 2 ? -1.0 : 1.0;
        for (const auto& z : responseGrid().GridZ) {
            const double db =
                20.0 * std::log10(std::abs(edgeResponse(lp, z) + sign * edgeResponse(hp, z)));
            EXPECT_NEAR(db, 0.0, 0.01) << "order " << order;
        }
        // Both edges are 6 dB down at the crossover frequency.
        const std::complex<double> z = std::polar(1.0, -2.0 * M_PI * 1200 / 48000);
        EXPECT_NEAR(20.0 * std::log10(std::abs(edgeResponse(lp, z))), -6.0206, 1e-3);
    }
}

TEST(TXOVERPB, LinkwitzRileyRaisesAnOddOrder) {
    TXOVERPB edge = designedEdge(kLinkwitzRileyLowPass, 3, 800);
    EXPECT_EQ(edge.Order, 4);
    EXPECT_EQ(edge.SectionCount, 2);
    EXPECT_EQ(edge.section(1).b0, edge.section(2).b0);
    EXPECT_EQ(edge.section(1).a2, edge.section(2).a2);
    EXPECT_NE(edge.section(1).a2, 0.0);  // second-order sections
    const TXOVERPB two = designedEdge(kLinkwitzRileyHighPass, 2, 800);
    EXPECT_EQ(two.section(1).a2, 0.0);  // two equal first-order sections
    EXPECT_EQ(two.section(1).b0, two.section(2).b0);
}

TEST(TXOVERPB, BesselSectionsSitAtTheTabulatedFrequenciesAndQ) {
    const double f = 1000;
    const TXOVERPB two = designedEdge(kBesselLowPass, 2, f);
    EXPECT_NEAR(two.section(1).FrequencyHz / f, 1.2721, 1e-4);
    EXPECT_NEAR(two.section(1).Q, 0.5773, 1e-4);
    EXPECT_EQ(two.section(1).FilterType, kLowPassQ);
    const TXOVERPB three = designedEdge(kBesselLowPass, 3, f);
    EXPECT_NEAR(three.section(1).FrequencyHz / f, 1.323, 1e-6);
    EXPECT_EQ(three.section(1).a2, 0.0);
    EXPECT_NEAR(three.section(2).FrequencyHz / f, 1.4476, 1e-4);
    EXPECT_NEAR(three.section(2).Q, 0.6911, 1e-4);
    const TXOVERPB four = designedEdge(kBesselHighPass, 4, f);
    EXPECT_NEAR(f / four.section(1).FrequencyHz, 1.4302, 1e-4);
    EXPECT_NEAR(four.section(1).Q, 0.5219, 1e-4);
    EXPECT_NEAR(f / four.section(2).FrequencyHz, 1.60334, 1e-4);
    EXPECT_NEAR(four.section(2).Q, 0.8055, 1e-4);
    EXPECT_EQ(four.section(1).FilterType, kHiPassQ);
    // The normalised polynomials put -3 dB at the cutoff (within the table's four decimals and
    // the bilinear warping at 693 Hz).
    for (int order = 1; order <= 6; ++order) {
        const ResponseCurve curve = evaluate(designedEdge(kBesselLowPass, order, 693));
        EXPECT_NEAR(curve.MagDb[k693], -3.01f, 0.05f) << "order " << order;
    }
}

TEST(TXOVERPB, BesselDesignStartsFromTheEdgeFrequencyEveryTime) {
    // Designing orders 5 and 6 after another design must not scale a stale section frequency.
    for (int order : {5, 6}) {
        TXOVERPB reused = designedEdge(kBesselLowPass, 2, 3000);
        reused.Order = order;
        reused.FrequencyHz = 700;
        ASSERT_FALSE(reused.design().has_value());
        const TXOVERPB fresh = designedEdge(kBesselLowPass, order, 700);
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(reused.section(k).FrequencyHz, fresh.section(k).FrequencyHz);
            EXPECT_EQ(reused.section(k).b0, fresh.section(k).b0);
        }
    }
}

TEST(TXOVERPB, BesselLowPassIsHeldToItsLimit) {
    TXOVERPB edge;
    edge.XoverType = kBesselLowPass;
    edge.Order = 2;
    edge.FrequencyHz = 19000;
    const auto limit = edge.design();
    ASSERT_TRUE(limit.has_value());
    EXPECT_EQ(limit->limitHz, 18800.0);
    EXPECT_EQ(limit->order, 2);
    EXPECT_EQ(besselLimitMessage(*limit), "Maximum Bessel Cutoff = 18800 for LowPass of order 2");
    EXPECT_EQ(edge.FrequencyHz, 18800.0);
    EXPECT_EQ(edge.section(1).FrequencyHz, 18800.0);
    EXPECT_EQ(edge.section(3).FrequencyHz, 18800.0);
    // The caller designs again at the limit: no message any more.
    EXPECT_FALSE(edge.design().has_value());
    EXPECT_FALSE(edge.section(1).isUnity());

    EXPECT_EQ(besselLimitMessage({13650, 5}),
              "Maximum Bessel Cutoff = 13650 for LowPass of order 5");
    EXPECT_FALSE(designedEdge(kBesselLowPass, 2, 18800).section(1).isUnity());
    designedEdge(kBesselHighPass, 2, 20000);  // the high-pass has no limit
}

TEST(TXOVERPB, BypassAndSupportedOrders) {
    TXOVERPB edge = designedEdge(kButterworthLowPass, 4, 500);
    edge.XoverType = kXoverBypass;
    ASSERT_FALSE(edge.design().has_value());
    EXPECT_EQ(edge.SectionCount, 1);
    for (const TSOS& s : edge.Sections) {
        EXPECT_TRUE(s.isUnity());
    }
    EXPECT_TRUE(TXOVERPB::orderSupported(kButterworthHighPass, 6));
    EXPECT_FALSE(TXOVERPB::orderSupported(kButterworthHighPass, 7));
    EXPECT_TRUE(TXOVERPB::orderSupported(kLinkwitzRileyLowPass, 4));
    EXPECT_FALSE(TXOVERPB::orderSupported(kLinkwitzRileyLowPass, 5));
    EXPECT_FALSE(TXOVERPB::orderSupported(kBesselLowPass, 0));
    EXPECT_FALSE(TXOVERPB::orderSupported(9, 2));
}

}  // namespace
}  // namespace kvn
