// The curves of one output's processing blocks on the response grid, as every view draws them:
// the equaliser (bands 1..PeqBandsInUse) and the crossover (the low-pass edge's sections in use,
// then the high-pass edge's; on SUB with the fixed SUB path added).
#pragma once

#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

namespace kvn::analysis {

// The sections' coefficients are used as they stand: design them first (every edit and every
// load does). Cheap enough for every mouse move (no allocation).
void equaliserCurve(const OutputChannel& output, ResponseCurve& out);
// `sub`: the output is SUB, whose curve includes the fixed SUB path.
void crossoverCurve(const OutputChannel& output, bool sub, ResponseCurve& out);

}  // namespace kvn::analysis
