// Curves and handles of the crossover window.
#include "analysis/CrossoverView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "analysis/OutputCurves.h"
#include "dsp/DspConstants.h"

namespace kvn::analysis {
namespace {

int sectionsInUse(const TXOVERPB& edge) {
    return std::clamp(edge.SectionCount, 0, 3);
}

}  // namespace

void edgeCurve(const TXOVERPB& edge, ResponseCurve& out) {
    evaluateCascade(std::span<const TSOS>(edge.Sections), sectionsInUse(edge), out);
}

void loudnessCurve(const TSOS& section, ResponseCurve& out) {
    evaluateCascade(std::span<const TSOS>(&section, 1), 1, out);
}

void crossoverViewCurve(const ProcessorConfig& config, int output, ResponseCurve& out) {
    const bool sub = output == kSubOutput;
    crossoverCurve(config.output(output), sub, out);
    if (!sub) {
        return;
    }
    ResponseCurve loudness;
    loudnessCurve(config.Loudness, loudness);
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        out.MagDb[k] += loudness.MagDb[k];
        out.PhaseRad[k] += loudness.PhaseRad[k];
    }
}

double edgeMagnitudeDb(const TXOVERPB& edge, double frequencyHz) {
    const double omega = 2.0 * std::numbers::pi * frequencyHz / kSampleRate;
    const std::complex<double> z = std::polar(1.0, -omega);
    std::complex<double> h = 1.0;
    for (int k = 1; k <= sectionsInUse(edge); ++k) {
        const TSOS& s = edge.section(k);
        h *= (s.b0 + z * (s.b1 + z * s.b2)) / (1.0 - z * (s.a1 + z * s.a2));
    }
    return 20.0 * std::log10(std::abs(h));
}

std::optional<EdgeHandle> edgeHandle(const TXOVERPB& edge) {
    if (edge.XoverType == kXoverBypass || !(edge.FrequencyHz > 0.0)) {
        return std::nullopt;
    }
    return EdgeHandle{edge.FrequencyHz, edgeMagnitudeDb(edge, edge.FrequencyHz)};
}

std::optional<XoverEdge> hitEdgeHandle(double xHz, std::optional<double> highPassHandleHz,
                                       std::optional<double> lowPassHandleHz) {
    if (!(xHz > 0.0)) {
        return std::nullopt;
    }
    const auto distance = [xHz](std::optional<double> handleHz) {
        return handleHz && *handleHz > 0.0 ? std::abs(std::log10(xHz / *handleHz))
                                           : std::numeric_limits<double>::infinity();
    };
    const double l = distance(highPassHandleHz);
    const double h = distance(lowPassHandleHz);
    if (std::min(l, h) > kEdgeHitLogDistance) {
        return std::nullopt;
    }
    return l <= h ? XoverEdge::L : XoverEdge::H;
}

}  // namespace kvn::analysis
