// The curves of one output's processing blocks on the response grid, as every view draws them:
// the equaliser (bands 1..PeqBandsInUse) and the crossover (the low-pass edge's sections in use,
// then the high-pass edge's; on SUB with the fixed SUB path added).
#pragma once

#include <array>

#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

namespace kvn::analysis {

// The sections' coefficients are used as they stand: design them first (every edit and every
// load does). Cheap enough for every mouse move (no allocation).
void equaliserCurve(const OutputChannel& output, ResponseCurve& out);
// `sub`: the output is SUB, whose curve includes the fixed SUB path.
void crossoverCurve(const OutputChannel& output, bool sub, ResponseCurve& out);

// The coefficients a kept curve was evaluated from, in cascade order (at most seven bands, or six
// crossover sections), and how many sections there are: the curve is still good while they match.
struct CurveSections {
    std::array<double, 5 * kPeqBands> coefficients{};
    int count = -1;  // no curve yet
    void append(const TSOS& section);
    bool operator==(const CurveSections&) const = default;
};

// Each output's equaliser and crossover curves, evaluated again only where the sections changed
// since the last update: under a drag of one band the other outputs and blocks cost nothing. The
// curves are those of equaliserCurve() and crossoverCurve().
class BlockCurveCache {
public:
    // Brings every curve up to date with the sections' coefficients in `config`.
    void update(const ProcessorConfig& config);
    // `output` 1..3; the curves of the last update (zeros before the first).
    const ResponseCurve& peq(int output) const;
    const ResponseCurve& xover(int output) const;

private:
    std::array<CurveSections, kOutputCount> peqKeys_{};
    std::array<CurveSections, kOutputCount> xoverKeys_{};
    std::array<ResponseCurve, kOutputCount> peq_{};
    std::array<ResponseCurve, kOutputCount> xover_{};
};

// What a response graph draws of a curve: the magnitude in dB, or the summed phase wrapped to
// -180..180 degrees.
enum class CurveView { Magnitude, Phase };
// The values of grid points 0..GridLast of `curve` as drawn in `view`.
std::array<double, kGridPoints> plottedCurve(const ResponseCurve& curve, CurveView view);

}  // namespace kvn::analysis
