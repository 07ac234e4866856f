// Response grid and cascade evaluation.
#include "dsp/Response.h"

#include <algorithm>
#include <cmath>

#include "dsp/DspConstants.h"

namespace kvn {
namespace {

// 10 log10(x) = (10 / ln 10) ln(x); the natural logarithm is the faster of the two.
constexpr double kTenOverLn10 = 10.0 / kLn10;

ResponseGrid buildGrid() {
    ResponseGrid grid{};
    const double lowest = std::log10(20.0);
    const double step = (std::log10(static_cast<double>(kSampleRate / 2 - 1)) - lowest) / GridLast;
    for (int i = 0; i < kGridPoints; ++i) {
        const auto index = static_cast<std::size_t>(i);
        // nearbyint rounds halves to even in the default rounding mode.
        const double hz = std::nearbyint(std::pow(10.0, lowest + i * step));
        grid.GridHz[index] = static_cast<std::int32_t>(hz);
        grid.Omega[index] = static_cast<float>(grid.GridHz[index] * 2.0 * kPi / kSampleRate);
        const double w = grid.Omega[index];
        grid.GridZ[index] = {std::cos(w), -std::sin(w)};
        grid.ZRe[index] = grid.GridZ[index].real();
        grid.ZIm[index] = grid.GridZ[index].imag();
    }
    return grid;
}

}  // namespace

const ResponseGrid& responseGrid() {
    static const ResponseGrid grid = buildGrid();
    return grid;
}

namespace {

// `sectionAt(k)` gives the k-th section of the list.
template <typename SectionAt>
void evaluate(SectionAt sectionAt, int n, ResponseCurve& out) {
    const ResponseGrid& grid = responseGrid();

    // Running product P of the sections' responses per grid point, and the whole turns by which
    // the sum of their phases exceeds the principal argument of P.
    alignas(64) std::array<double, kGridPoints> pRe;
    alignas(64) std::array<double, kGridPoints> pIm;
    alignas(64) std::array<double, kGridPoints> turns;
    pRe.fill(1.0);
    pIm.fill(0.0);
    turns.fill(0.0);

    for (int k = 0; k < n; ++k) {
        const TSOS& s = sectionAt(k);
        const double B0 = s.coefficient(0);
        const double B1 = s.coefficient(1);
        const double B2 = s.coefficient(2);
        const double C1 = -s.coefficient(3);
        const double C2 = -s.coefficient(4);
        for (std::size_t i = 0; i < static_cast<std::size_t>(kGridPoints); ++i) {
            const double zr = grid.ZRe[i];
            const double zi = grid.ZIm[i];
            // N = B0 + z (B1 + z B2), D = 1 + z (C1 + z C2)
            const double nr = B0 + zr * (B1 + zr * B2) - zi * (zi * B2);
            const double ni = zi * (B1 + zr * B2) + zr * (zi * B2);
            const double dr = 1.0 + zr * (C1 + zr * C2) - zi * (zi * C2);
            const double di = zi * (C1 + zr * C2) + zr * (zi * C2);
            // H = N conj(D) / |D|^2
            const double inv = 1.0 / (dr * dr + di * di);
            const double hr = (nr * dr + ni * di) * inv;
            const double hi = (ni * dr - nr * di) * inv;
            const double ar = pRe[i];
            const double ai = pIm[i];
            const double qr = ar * hr - ai * hi;
            const double qi = ar * hi + ai * hr;
            // arg P + arg H leaves (-pi, pi) upwards only when both are positive and the product
            // falls into the lower half plane, downwards only when both are negative and the
            // product reaches the upper half plane. (Products exactly on the real axis are left
            // as they are: their phase is the same modulo a full turn.) Selects of doubles keep
            // the loop free of branches so that it vectorises.
            const double up =
                (ai > 0.0 ? 1.0 : 0.0) * (hi > 0.0 ? 1.0 : 0.0) * (qi < 0.0 ? 1.0 : 0.0);
            const double down =
                (ai < 0.0 ? 1.0 : 0.0) * (hi < 0.0 ? 1.0 : 0.0) * (qi > 0.0 ? 1.0 : 0.0);
            turns[i] += up - down;
            pRe[i] = qr;
            pIm[i] = qi;
        }
    }

    for (std::size_t i = 0; i < static_cast<std::size_t>(kGridPoints); ++i) {
        const double re = pRe[i];
        const double im = pIm[i];
        float mag = static_cast<float>(kTenOverLn10 * std::log(re * re + im * im));
        if (std::abs(mag) < 1e-8f) {
            mag = 0.0f;
        }
        const double principal = std::atan2(im, re);
        out.MagDb[i] = mag;
        out.PhaseRad[i] = static_cast<float>(principal + 2.0 * kPi * turns[i]);
    }
}

}  // namespace

void evaluateCascade(std::span<const TSOS* const> sections, int count, ResponseCurve& out) {
    const int n = std::clamp(count, 0, static_cast<int>(sections.size()));
    evaluate([&](int k) -> const TSOS& { return *sections[static_cast<std::size_t>(k)]; }, n, out);
}

void evaluateCascade(std::span<const TSOS> sections, int count, ResponseCurve& out) {
    const int n = std::clamp(count, 0, static_cast<int>(sections.size()));
    evaluate([&](int k) -> const TSOS& { return sections[static_cast<std::size_t>(k)]; }, n, out);
}

double wrapPhaseDegrees(double phaseRad) {
    const double sign = phaseRad < 0.0 ? -1.0 : 1.0;
    return phaseRad * 180.0 / kPi - 360.0 * std::trunc(phaseRad / (2.0 * kPi) + sign / 2.0);
}

}  // namespace kvn
