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

namespace {

// The terms from the output's equaliser and crossover curves as they stand.
void termsFromCurves(const ProcessorConfig& config, int output, const ResponseCurve& peq,
                     const ResponseCurve& xover, const ResponseCurve& measured, OutputTerms& out) {
    const double S = switchValue(config, Influence::Speakers);
    const double P = switchValue(config, Influence::Peq);
    const double X = switchValue(config, Influence::Xover);
    const double G = switchValue(config, Influence::Gain);
    const double levelDb = G * gainDb(config.output(output).Gain);
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        out.magDb[k] = static_cast<float>(levelDb + P * peq.MagDb[k] + X * xover.MagDb[k] +
                                          S * measured.MagDb[k]);
        out.phaseRad[k] = S * measured.PhaseRad[k] + P * peq.PhaseRad[k] + X * xover.PhaseRad[k];
    }
}

}  // namespace

void outputTerms(const ProcessorConfig& config, int output, const ResponseCurve& measured,
                 OutputTerms& out) {
    const OutputChannel& channel = config.output(output);
    // A block switched off contributes nothing, so it is not evaluated.
    ResponseCurve peq;
    ResponseCurve xover;
    if (switchValue(config, Influence::Peq) != 0.0) {
        equaliserCurve(channel, peq);
    }
    if (switchValue(config, Influence::Xover) != 0.0) {
        crossoverCurve(channel, output == kSubOutput, xover);
    }
    termsFromCurves(config, output, peq, xover, measured, out);
}

double polarityPhaseRad(const ProcessorConfig& config, bool inverted) {
    const double polarity = inverted ? -1.0 : 1.0;
    return switchValue(config, Influence::Gain) * (polarity - 1.0) * kPi / 2.0;
}

double delayPhasePerHz(const ProcessorConfig& config, int output, int delaySamples) {
    const double samples = delaySamples - config.output(output).RelativeDistanceSamples +
                           (output == kSubOutput ? 0 : config.unit(1).lookAheadSamples);
    return switchValue(config, Influence::Delay) * 2.0 * kPi / config.SampleRate * samples;
}

double outputAmplitude(float magDb, double mute) {
    // 10^(dB / 20) as e^(dB ln10 / 20), the cheaper of the two.
    return mute * std::exp(magDb * mute * kLn10 / 20.0);
}

void computeTotalResponse(const ProcessorConfig& config, const MeasuredCurves& measured,
                          TotalResponse& out) {
    BlockCurveCache blocks;
    blocks.update(config);
    computeTotalResponse(config, measured, blocks, out);
}

namespace {

bool sameInputs(const OutputPartCache::Part& part, const OutputTerms& terms, double polarityRad,
                double delayPerHz, double mute) {
    return part.valid && part.polarityRad == polarityRad && part.delayPerHz == delayPerHz &&
           part.mute == mute && part.terms.magDb == terms.magDb &&
           part.terms.phaseRad == terms.phaseRad;
}

// The total response; `parts` (may be null) keeps each output's part between computations.
void computeTotal(const ProcessorConfig& config, const MeasuredCurves& measured,
                  const BlockCurveCache& blocks, OutputPartCache* parts, TotalResponse& out) {
    const ResponseGrid& grid = responseGrid();
    std::array<double, kGridPoints> re{};
    std::array<double, kGridPoints> im{};
    OutputTerms terms;
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto o = static_cast<std::size_t>(n - 1);
        const OutputChannel& output = config.output(n);
        termsFromCurves(config, n, blocks.peq(n), blocks.xover(n), measured[o], terms);
        const double polarityRad = polarityPhaseRad(config, output.Inverted);
        const double delayPerHz = delayPhasePerHz(config, n, output.DelaySamples);
        const double mute = output.muteFactor();
        OutputPartCache::Part* part = parts == nullptr ? nullptr : &parts->parts[o];
        if (part != nullptr && sameInputs(*part, terms, polarityRad, delayPerHz, mute)) {
            out.magDb[o] = terms.magDb;
            out.phaseRad[o] = part->phaseRad;
            out.plottedDb[o] = part->plottedDb;
            out.phaseDeg[o] = part->phaseDeg;
            for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
                re[k] += part->re[k];
                im[k] += part->im[k];
            }
            continue;
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
            const float mag = terms.magDb[k];
            const float phase =
                totalPhaseRad(terms.phaseRad[k], polarityRad, delayPerHz, grid.GridHz[k]);
            out.magDb[o][k] = mag;
            out.phaseRad[o][k] = phase;
            const double amplitude = outputAmplitude(mag, mute);
            // Each contribution is rounded once before it is added, kept or not, so that a kept
            // one adds up to the same sum.
            const double partRe = amplitude * std::cos(phase);
            const double partIm = amplitude * std::sin(phase);
            re[k] += partRe;
            im[k] += partIm;
            out.plottedDb[o][k] = mute == 0.0 ? 0.0 : mag * mute;  // no "-0" for muted outputs
            out.phaseDeg[o][k] = wrapPhaseDegrees(phase);
            if (part != nullptr) {
                part->re[k] = partRe;
                part->im[k] = partIm;
            }
        }
        if (part != nullptr) {
            part->valid = true;
            part->terms = terms;
            part->polarityRad = polarityRad;
            part->delayPerHz = delayPerHz;
            part->mute = mute;
            part->phaseRad = out.phaseRad[o];
            part->plottedDb = out.plottedDb[o];
            part->phaseDeg = out.phaseDeg[o];
        }
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        const double r = re[k] == 0.0 ? 1e-15 : re[k];
        out.addDb[k] = 20.0 * std::log10(std::sqrt(r * r + im[k] * im[k]));
        out.addPhaseDeg[k] = std::atan2(im[k], r) * 180.0 / kPi;
    }
}

}  // namespace

void computeTotalResponse(const ProcessorConfig& config, const MeasuredCurves& measured,
                          const BlockCurveCache& blocks, TotalResponse& out) {
    computeTotal(config, measured, blocks, nullptr, out);
}

void computeTotalResponse(const ProcessorConfig& config, const MeasuredCurves& measured,
                          const BlockCurveCache& blocks, OutputPartCache& parts,
                          TotalResponse& out) {
    computeTotal(config, measured, blocks, &parts, out);
}

std::string totalResponseReadout(double hz, double value, bool phaseMode) {
    char text[64];
    std::snprintf(text, sizeof text, "%.5g Hz , %.2f%s", std::nearbyint(hz), value,
                  phaseMode ? "\u00ba " : " dBs");
    return text;
}

}  // namespace kvn::analysis
