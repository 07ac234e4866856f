// The total response of the three outputs and their sum.
#include "analysis/TotalResponse.h"

#include <cmath>
#include <cstdio>

#include "analysis/OutputCurves.h"
#include "dsp/DspConstants.h"

namespace kvn::analysis {
namespace {

double switchValue(const ProcessorConfig& config, Influence influence) {
    return config.ResponseView[static_cast<std::size_t>(influence)] ? 1.0 : 0.0;
}

double gainDb(double gain) {
    const double magnitude = std::abs(gain);
    return magnitude > 0.0 ? 20.0 * std::log10(magnitude) : kSilentGainDb;
}

}  // namespace

void computeTotalResponse(const ProcessorConfig& config, const MeasuredCurves& measured,
                          TotalResponse& out) {
    BlockCurveCache blocks;
    blocks.update(config);
    computeTotalResponse(config, measured, blocks, out);
}

void computeTotalResponse(const ProcessorConfig& config, const MeasuredCurves& measured,
                          const BlockCurveCache& blocks, TotalResponse& out) {
    const double S = switchValue(config, Influence::Speakers);
    const double P = switchValue(config, Influence::Peq);
    const double X = switchValue(config, Influence::Xover);
    const double G = switchValue(config, Influence::Gain);
    const double D = switchValue(config, Influence::Delay);
    const ResponseGrid& grid = responseGrid();

    std::array<double, kGridPoints> re{};
    std::array<double, kGridPoints> im{};
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto o = static_cast<std::size_t>(n - 1);
        const OutputChannel& output = config.output(n);
        const ResponseCurve& peq = blocks.peq(n);
        const ResponseCurve& xover = blocks.xover(n);
        const double levelDb = G * gainDb(output.Gain);
        const double polarityRad = G * (output.polarity() - 1.0) * kPi / 2.0;
        const double delaySamples = output.DelaySamples - output.RelativeDistanceSamples +
                                    (n == kSubOutput ? 0 : config.unit(1).lookAheadSamples);
        const double radPerHz = D * 2.0 * kPi / config.SampleRate * delaySamples;
        const double mute = output.muteFactor();
        const ResponseCurve& speaker = measured[o];

        for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
            const auto mag = static_cast<float>(levelDb + P * peq.MagDb[k] + X * xover.MagDb[k] +
                                                S * speaker.MagDb[k]);
            const auto phase =
                static_cast<float>(S * speaker.PhaseRad[k] + P * peq.PhaseRad[k] +
                                   X * xover.PhaseRad[k] + polarityRad - radPerHz * grid.GridHz[k]);
            out.magDb[o][k] = mag;
            out.phaseRad[o][k] = phase;
            // 10^(dB / 20) as e^(dB ln10 / 20), the cheaper of the two.
            const double amplitude = mute * std::exp(mag * mute * kLn10 / 20.0);
            re[k] += amplitude * std::cos(phase);
            im[k] += amplitude * std::sin(phase);
            out.plottedDb[o][k] = mute == 0.0 ? 0.0 : mag * mute;  // no "-0" for muted outputs
            out.phaseDeg[o][k] = wrapPhaseDegrees(phase);
        }
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        const double r = re[k] == 0.0 ? 1e-15 : re[k];
        out.addDb[k] = 20.0 * std::log10(std::sqrt(r * r + im[k] * im[k]));
        out.addPhaseDeg[k] = std::atan2(im[k], r) * 180.0 / kPi;
    }
}

std::string totalResponseReadout(double hz, double value, bool phaseMode) {
    char text[64];
    std::snprintf(text, sizeof text, "%.5g Hz , %.2f%s", std::nearbyint(hz), value,
                  phaseMode ? "\u00ba " : " dBs");
    return text;
}

}  // namespace kvn::analysis
