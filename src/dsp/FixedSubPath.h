// The response of the SUB output's fixed signal path, added to every SUB curve the program draws
// (crossover view, total response).
#pragma once

#include "dsp/Response.h"

namespace kvn {

// The SUB path behaves like a second-order Butterworth low-pass ("LowPass Buttw") at this
// frequency.
inline constexpr double kFixedSubPathHz = 470.0;

// The fixed SUB path on the response grid: MagDb in dB and PhaseRad in radians at each grid point
// 0..GridLast (-7.58 dB and -2.08 rad at point 200, 693 Hz). Computed once on first use
// (thread-safe); entry k is added to a SUB curve at grid point k.
const ResponseCurve& fixedSubPathResponse();

}  // namespace kvn
