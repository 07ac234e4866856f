// Response grid and cascade evaluation.
#include "dsp/Response.h"

#include <algorithm>
#include <cmath>

#include "dsp/DspConstants.h"

namespace kvn {
namespace {

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
    }
    return grid;
}

}  // namespace

const ResponseGrid& responseGrid() {
    static const ResponseGrid grid = buildGrid();
    return grid;
}

void evaluateCascade(std::span<const TSOS* const> sections, int count, ResponseCurve& out) {
    const ResponseGrid& grid = responseGrid();
    const int n = std::clamp(count, 0, static_cast<int>(sections.size()));
    std::fill(out.MagDb.begin(), out.MagDb.begin() + kGridPoints, 0.0f);
    std::fill(out.PhaseRad.begin(), out.PhaseRad.begin() + kGridPoints, 0.0f);
    for (int k = 0; k < n; ++k) {
        const TSOS& s = *sections[static_cast<std::size_t>(k)];
        const double B0 = s.coefficient(0);
        const double B1 = s.coefficient(1);
        const double B2 = s.coefficient(2);
        const double C1 = -s.coefficient(3);
        const double C2 = -s.coefficient(4);
        for (int i = 0; i < kGridPoints; ++i) {
            const auto index = static_cast<std::size_t>(i);
            const std::complex<double> z = grid.GridZ[index];
            const std::complex<double> num = B0 + z * (B1 + z * B2);
            const std::complex<double> den = 1.0 + z * (C1 + z * C2);
            // Complex division scaled by the larger part of the divisor.
            double hr;
            double hi;
            if (std::abs(den.real()) >= std::abs(den.imag())) {
                const double r = den.imag() / den.real();
                const double d = den.real() + den.imag() * r;
                hr = (num.real() + num.imag() * r) / d;
                hi = (num.imag() - num.real() * r) / d;
            } else {
                const double r = den.real() / den.imag();
                const double d = den.imag() + den.real() * r;
                hr = (num.real() * r + num.imag()) / d;
                hi = (num.imag() * r - num.real()) / d;
            }
            float mag = static_cast<float>(out.MagDb[index] +
                                           20.0 * std::log10(std::sqrt(hr * hr + hi * hi)));
            if (std::abs(mag) < 1e-8f) {
                mag = 0.0f;
            }
            out.MagDb[index] = mag;
            out.PhaseRad[index] = static_cast<float>(out.PhaseRad[index] + std::atan2(hi, hr));
        }
    }
}

void evaluateCascade(std::span<const TSOS> sections, int count, ResponseCurve& out) {
    std::array<const TSOS*, 16> pointers{};
    const std::size_t n = std::min(sections.size(), pointers.size());
    for (std::size_t i = 0; i < n; ++i) {
        pointers[i] = &sections[i];
    }
    evaluateCascade(std::span<const TSOS* const>(pointers.data(), n), count, out);
}

double wrapPhaseDegrees(double phaseRad) {
    const double sign = phaseRad < 0.0 ? -1.0 : 1.0;
    return phaseRad * 180.0 / kPi - 360.0 * std::trunc(phaseRad / (2.0 * kPi) + sign / 2.0);
}

}  // namespace kvn
