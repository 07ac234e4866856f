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

constexpr double kHandleDb = -3.0;
constexpr double kSearchLowHz = 1.0;
constexpr double kSearchHighHz = kSampleRate / 2.0 - 1.0;
constexpr int kSearchSteps = 60;  // halvings of a log interval of about 4.4 decades

int sectionsInUse(const TXOVERPB& edge) {
    return std::clamp(edge.SectionCount, 0, 3);
}

bool isLowPass(const TXOVERPB& edge) {
    return edge.XoverType % 2 == 1;
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

std::optional<double> edgeHandleHz(const TXOVERPB& edge) {
    if (edge.XoverType == kXoverBypass) {
        return std::nullopt;
    }
    // Every family's edge falls steadily away from its pass band, so the -3 dB point is the one
    // crossing of -3 dB: halve the log interval that holds it.
    const bool lowPass = isLowPass(edge);
    const auto passing = [&](double hz) { return edgeMagnitudeDb(edge, hz) > kHandleDb; };
    double passHz = lowPass ? kSearchLowHz : kSearchHighHz;
    double stopHz = lowPass ? kSearchHighHz : kSearchLowHz;
    if (!passing(passHz) || passing(stopHz)) {
        return std::nullopt;
    }
    for (int i = 0; i < kSearchSteps; ++i) {
        const double middle = std::sqrt(passHz * stopHz);
        (passing(middle) ? passHz : stopHz) = middle;
    }
    return std::sqrt(passHz * stopHz);
}

double edgeFrequencyForHandle(const TXOVERPB& edge, double handleHz) {
    const std::optional<double> handle = edgeHandleHz(edge);
    if (!handle) {
        return edge.FrequencyHz;
    }
    return edge.FrequencyHz * handleHz / *handle;
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
