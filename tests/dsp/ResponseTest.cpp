#include "dsp/Response.h"

#include <gtest/gtest.h>

#include "DesignedSection.h"

#include <cmath>
#include <complex>
#include <vector>

#include "dsp/DspConstants.h"

namespace kvn {
namespace {

// The evaluation the fast one must agree with: each section's response at each point, its dB
// and its principal phase added one section at a time.
void referenceCascade(const std::vector<TSOS>& sections, ResponseCurve& out) {
    const ResponseGrid& grid = responseGrid();
    for (int i = 0; i < kGridPoints; ++i) {
        double mag = 0.0;
        double phase = 0.0;
        const std::complex<double> z = grid.GridZ[static_cast<std::size_t>(i)];
        for (const TSOS& s : sections) {
            const std::complex<double> h =
                (s.b0 + z * (s.b1 + z * s.b2)) / (1.0 - z * (s.a1 + z * s.a2));
            mag += 20.0 * std::log10(std::abs(h));
            phase += std::arg(h);
        }
        out.MagDb[static_cast<std::size_t>(i)] = static_cast<float>(mag);
        out.PhaseRad[static_cast<std::size_t>(i)] = static_cast<float>(phase);
    }
}

using test::designed;

int gridIndexOf(int hz) {
    const auto& g = responseGrid().GridHz;
    for (int i = 0; i < kGridPoints; ++i) {
        if (g[static_cast<std::size_t>(i)] == hz) {
            return i;
        }
    }
    return -1;
}

TEST(Response, GridEndsMiddleAndUnitDelays) {
    const ResponseGrid& g = responseGrid();
    EXPECT_EQ(g.GridHz[0], 20);
    EXPECT_EQ(g.GridHz[200], 693);
    EXPECT_EQ(g.GridHz[400], 23999);
    for (int i = 1; i < kGridPoints; ++i) {
        EXPECT_LE(g.GridHz[static_cast<std::size_t>(i - 1)], g.GridHz[static_cast<std::size_t>(i)]);
    }
    // Whole hertz at the low end repeat.
    EXPECT_EQ(g.GridHz[1], 20);
    for (const auto& z : g.GridZ) {
        EXPECT_NEAR(std::abs(z), 1.0, 1e-15);
    }
    EXPECT_FLOAT_EQ(g.Omega[400], static_cast<float>(23999 * 2.0 * kPi / 48000.0));
    EXPECT_LT(g.GridZ[1].imag(), 0.0);  // e^(-jw)
}

TEST(Response, UnityAndFlatSectionsGiveExactZeros) {
    std::vector<TSOS> sections(3);                            // unity
    sections.push_back(designed(kParametric, 1000, 2, 0.0));  // flat within rounding
    ResponseCurve curve;
    curve.MagDb.fill(5.0f);
    evaluateCascade(sections, 4, curve);
    for (int i = 0; i <= GridLast; ++i) {
        EXPECT_EQ(curve.MagDb[static_cast<std::size_t>(i)], 0.0f) << i;
        EXPECT_NEAR(curve.PhaseRad[static_cast<std::size_t>(i)], 0.0f, 1e-6f) << i;
    }
    evaluateCascade(sections, 0, curve);
    EXPECT_EQ(curve.MagDb[10], 0.0f);
    EXPECT_EQ(curve.PhaseRad[10], 0.0f);
}

TEST(Response, AnalyticMagnitudesAtKnownPoints) {
    ResponseCurve curve;
    const int i693 = 200;
    // Peaking filter: exactly its gain at its centre frequency.
    const std::vector<TSOS> peak = {designed(kParametric, 693, 1.5, 6.5)};
    evaluateCascade(peak, 1, curve);
    EXPECT_NEAR(curve.MagDb[i693], 6.5f, 1e-4f);
    // Butterworth low-pass: -3.0103 dB at its corner.
    const std::vector<TSOS> lp = {designed(kLowPassButtw, 693, 0.707, 0)};
    evaluateCascade(lp, 1, curve);
    EXPECT_NEAR(curve.MagDb[i693], -3.0103f, 1e-4f);
    EXPECT_NEAR(curve.MagDb[0], 0.0f, 0.01f);
    // Band-pass: its gain at the centre; notch: a deep cut there.
    const std::vector<TSOS> bp = {designed(kBandPass, 693, 3, -4)};
    evaluateCascade(bp, 1, curve);
    EXPECT_NEAR(curve.MagDb[i693], -4.0f, 1e-4f);
    const std::vector<TSOS> notch = {designed(kStopBand, 693, 3, 0)};
    evaluateCascade(notch, 1, curve);
    EXPECT_LT(curve.MagDb[i693], -60.0f);
    // Low shelf with slope: the plateau below, flat above.
    const std::vector<TSOS> shelf = {designed(kLowShelfSlope, 2000, 1, 5)};
    evaluateCascade(shelf, 1, curve);
    EXPECT_NEAR(curve.MagDb[0], 5.0f, 0.01f);
    EXPECT_NEAR(curve.MagDb[GridLast], 0.0f, 0.01f);
    // First-order shelf: G towards 0 Hz, 1 towards half the sample rate.
    const std::vector<TSOS> shelf6 = {designed(kShelvLow6dB, 200, 0.7, 6)};
    evaluateCascade(shelf6, 1, curve);
    EXPECT_NEAR(curve.MagDb[0], 6.0f, 0.1f);
    EXPECT_NEAR(curve.MagDb[GridLast], 0.0f, 1e-3f);
    // All-passes: 0 dB everywhere; the second-order one turns by -pi at its frequency.
    const std::vector<TSOS> ap = {designed(kAllPass1, 300, 1, 0), designed(kAllPass2, 693, 2, 0)};
    evaluateCascade(ap, 2, curve);
    for (int i = 0; i <= GridLast; ++i) {
        EXPECT_NEAR(curve.MagDb[static_cast<std::size_t>(i)], 0.0f, 1e-5f) << i;
    }
    evaluateCascade(ap, 2, curve);
    const std::vector<TSOS> ap2 = {designed(kAllPass2, 693, 2, 0)};
    evaluateCascade(ap2, 1, curve);
    EXPECT_NEAR(std::abs(curve.PhaseRad[i693]), kPi, 1e-3);
}

TEST(Response, CascadeAddsDecibelsAndTakesOnlyTheFirstSections) {
    TSOS lp;
    lp.FrequencyHz = 500;
    lp.designFirstOrderLowPass();
    const std::vector<TSOS> one = {lp};
    const std::vector<TSOS> two = {lp, lp, designed(kParametric, 80, 1, 9)};
    ResponseCurve a;
    ResponseCurve b;
    evaluateCascade(one, 1, a);
    evaluateCascade(two, 2, b);  // the third section is not taken
    for (int i = 0; i <= GridLast; ++i) {
        const auto k = static_cast<std::size_t>(i);
        EXPECT_NEAR(b.MagDb[k], 2.0f * a.MagDb[k], 1e-4f + 1e-5f * std::abs(a.MagDb[k]));
        EXPECT_NEAR(b.PhaseRad[k], 2.0f * a.PhaseRad[k], 1e-5f);
    }
    ResponseCurve all;
    evaluateCascade(two, 99, all);
    EXPECT_NEAR(all.MagDb[gridIndexOf(80)], b.MagDb[gridIndexOf(80)] + 9.0f, 0.05f);
}

TEST(Response, AgreesWithSectionBySectionEvaluationIncludingWholeTurns) {
    // Many sections whose phases add up well beyond one turn: the fast evaluation must keep the
    // whole turns of the section-by-section sum.
    std::vector<TSOS> sections;
    for (int k = 0; k < 14; ++k) {
        const int type = k % 3 == 0 ? kAllPass2 : k % 3 == 1 ? kLowPassQ : kParametric;
        sections.push_back(designed(type, 60.0 * (k + 1) * (k + 1), 0.6 + 0.4 * k, 3.0 - k));
    }
    TSOS hp;
    hp.FrequencyHz = 150;
    hp.designFirstOrderHighPass();
    sections.push_back(hp);
    ResponseCurve fast;
    ResponseCurve reference;
    evaluateCascade(sections, static_cast<int>(sections.size()), fast);
    referenceCascade(sections, reference);
    for (int i = 0; i <= GridLast; ++i) {
        const auto k = static_cast<std::size_t>(i);
        EXPECT_NEAR(fast.MagDb[k], reference.MagDb[k], 1e-3f + 1e-5f * std::abs(reference.MagDb[k]))
            << i;
        EXPECT_NEAR(fast.PhaseRad[k], reference.PhaseRad[k], 1e-4f) << i;
    }
    EXPECT_GT(std::abs(reference.PhaseRad[GridLast]), 2.0 * kPi);
}

TEST(Response, PhaseWrapForDisplay) {
    const double deg = kPi / 180.0;
    EXPECT_NEAR(wrapPhaseDegrees(-190 * deg), 170.0, 1e-9);
    EXPECT_NEAR(wrapPhaseDegrees(370 * deg), 10.0, 1e-9);
    EXPECT_NEAR(wrapPhaseDegrees(-720 * deg - 0.01), -0.01 / deg, 1e-9);
    EXPECT_NEAR(wrapPhaseDegrees(0.0), 0.0, 1e-12);
    EXPECT_NEAR(wrapPhaseDegrees(-kPi), 180.0, 1e-9);  // an inverted output shows +180
    EXPECT_NEAR(wrapPhaseDegrees(kPi), -180.0, 1e-9);
    for (double p = -40.0; p < 40.0; p += 0.37) {
        const double w = wrapPhaseDegrees(p);
        EXPECT_GE(w, -180.0);
        EXPECT_LE(w, 180.0);
        EXPECT_NEAR(std::remainder(w - p / deg, 360.0), 0.0, 1e-8);
    }
}

}  // namespace
}  // namespace kvn
