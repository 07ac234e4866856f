// What the whole system does acoustically at each output and at the three together: each
// output's equaliser, crossover, gain and polarity, delay and measured loudspeaker added on the
// response grid, and the complex sum of the three outputs ("ADD").
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis/OutputCurves.h"
#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

namespace kvn::analysis {

// The five influences the view can switch off, in the order of `ProcessorConfig::ResponseView`.
enum class Influence { Speakers = 0, Peq = 1, Xover = 2, Gain = 3, Delay = 4 };
inline constexpr int kInfluenceCount = 5;

// A gain of exactly 0 counts as this level, so that the curves stay finite.
inline constexpr double kSilentGainDb = -140.0;

using GridValues = std::array<double, kGridPoints>;
using MeasuredCurves = std::array<ResponseCurve, kOutputCount>;

struct TotalResponse {
    // Per output (index 0 = Output 1): the summed magnitude in dB and phase in radians before
    // muting, single precision as the view keeps them.
    std::array<std::array<float, kGridPoints>, kOutputCount> magDb{};
    std::array<std::array<float, kGridPoints>, kOutputCount> phaseRad{};
    // As plotted: the magnitude times the mute factor (a muted output lies on 0 dB) and the phase
    // wrapped to degrees in [-180, 180].
    std::array<GridValues, kOutputCount> plottedDb{};
    std::array<GridValues, kOutputCount> phaseDeg{};
    // The sum of the three outputs as complex values: magnitude in dB and phase in degrees
    // (atan2 of the sum). With every output muted the magnitude is -300 dB.
    GridValues addDb{};
    GridValues addPhaseDeg{};
};

// One output's part of the total response before its polarity and delay, as the view adds it:
// the magnitude in dB (level, equaliser, crossover with the fixed SUB path, measured speaker) in
// single precision, and the phase of the speaker, equaliser and crossover in radians. The
// influences come from `config.ResponseView`; output is 1..3.
struct OutputTerms {
    std::array<float, kGridPoints> magDb{};
    std::array<double, kGridPoints> phaseRad{};
};
void outputTerms(const ProcessorConfig& config, int output, const ResponseCurve& measured,
                 OutputTerms& out);
// The phase an inverted output gets: -pi with the GAIN influence on, else 0.
double polarityPhaseRad(const ProcessorConfig& config, bool inverted);
// The phase per hertz that output `output` loses to a delay of `delaySamples`: 2 pi / fs times
// the delay less the speaker's relative distance, plus the look-ahead on Output 1 and Output 2;
// 0 with the DELAY influence off.
double delayPhasePerHz(const ProcessorConfig& config, int output, int delaySamples);
// The phase the view keeps for an output at a grid point of `hz`: the terms' phase, the polarity,
// less the delay, rounded to single precision.
inline float totalPhaseRad(double termsPhaseRad, double polarityRad, double delayPerHz,
                           std::int32_t hz) {
    return static_cast<float>(termsPhaseRad + polarityRad - delayPerHz * hz);
}
// An output's linear amplitude in the sum: 0 when muted (`mute` 0), else 10^(dB / 20).
double outputAmplitude(float magDb, double mute);

// The total response of a configuration. The influences come from `config.ResponseView`, the
// look-ahead (delaying Output 1 and Output 2, not SUB) from `config.unit(1).lookAheadSamples`;
// `measured` are the outputs' imported curves (zeros for none). The sections' coefficients are
// used as they stand. No allocation; cheap enough for every edit.
void computeTotalResponse(const ProcessorConfig& config, const MeasuredCurves& measured,
                          TotalResponse& out);
// The same with the equaliser and crossover curves taken from `blocks`, which must be up to date
// with `config` (BlockCurveCache::update): a view that keeps a cache evaluates only what changed.
void computeTotalResponse(const ProcessorConfig& config, const MeasuredCurves& measured,
                          const BlockCurveCache& blocks, TotalResponse& out);

// Each output's part of the total response as the last computation with it left it. A view that
// computes after every change works out again only the outputs whose terms, polarity, delay or
// mute changed; a drag changes one. The computation fills and reads it; a caller only keeps it.
struct OutputPartCache {
    struct Part {
        bool valid = false;
        // What the part was worked out from.
        OutputTerms terms;
        double polarityRad = 0.0;
        double delayPerHz = 0.0;
        double mute = 0.0;
        // What it gave: the output's curves and its complex contribution to the sum.
        std::array<float, kGridPoints> phaseRad{};
        GridValues plottedDb{};
        GridValues phaseDeg{};
        GridValues re{};
        GridValues im{};
    };
    std::array<Part, kOutputCount> parts{};
};
// The same again, with the outputs' parts that did not change since the last computation with
// `parts` taken from it. The results are those of the computation without it, to the bit.
void computeTotalResponse(const ProcessorConfig& config, const MeasuredCurves& measured,
                          const BlockCurveCache& blocks, OutputPartCache& parts,
                          TotalResponse& out);

// The view's "Value at Mouse Position" text: the frequency rounded to whole hertz (up to 5
// significant digits), " Hz , ", the value with 2 decimals and the unit of the mode (" dBs" for
// magnitude, "º " for phase). UTF-8.
std::string totalResponseReadout(double hz, double value, bool phaseMode);

}  // namespace kvn::analysis
