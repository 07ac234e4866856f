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

// What a response graph draws of a curve: the magnitude in dB, or the summed phase wrapped to
// -180..180 degrees.
enum class CurveView { Magnitude, Phase };
// The values of grid points 0..GridLast of `curve` as drawn in `view`.
std::array<double, kGridPoints> plottedCurve(const ResponseCurve& curve, CurveView view);

}  // namespace kvn::analysis
