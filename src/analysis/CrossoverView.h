// What the crossover window draws and how its graph is dragged: each edge's curve on its own,
// the output's curve as the window shows it (on SUB with the fixed SUB path and the reinforcement
// section), and the handle of each edge, its -3 dB point, which the user drags to move the edge.
#pragma once

#include <optional>

#include "config/CrossoverControls.h"
#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

namespace kvn::analysis {

// The edge's sections in use.
void edgeCurve(const TXOVERPB& edge, ResponseCurve& out);
// The SUB reinforcement section alone.
void loudnessCurve(const TSOS& section, ResponseCurve& out);
// Output `output` (1..3) in the crossover window: its crossover curve; on SUB with the fixed SUB
// path and the reinforcement section added. No allocation.
void crossoverViewCurve(const ProcessorConfig& config, int output, ResponseCurve& out);

// An edge's magnitude at `frequencyHz` (0 < f < 24000), over its sections in use.
double edgeMagnitudeDb(const TXOVERPB& edge, double frequencyHz);

// The frequency at which the edge alone is 3 dB down: at its cutoff for Butterworth and Bessel,
// below it for a Linkwitz-Riley low-pass (which is 6 dB down at the cutoff), above it for a
// Linkwitz-Riley high-pass. Nothing for a bypassed edge, or when the edge is not 3 dB down
// anywhere between 1 Hz and 23999 Hz.
std::optional<double> edgeHandleHz(const TXOVERPB& edge);

// The edge frequency that puts the edge's handle at `handleHz`: the edge's frequency scaled by
// the ratio of `handleHz` to where its handle is now. The edge frequency itself for an edge
// without a handle.
double edgeFrequencyForHandle(const TXOVERPB& edge, double handleHz);

// A press at `xHz` takes hold of an edge's handle within this fraction of a decade, either side.
inline constexpr double kEdgeHitLogDistance = 0.07;

// The edge whose handle a press at `xHz` takes hold of: the nearer of the two handles within the
// hit distance (the high-pass edge when both are equally near); nothing when none is. A missing
// handle (a bypassed or disabled edge) is never hit.
std::optional<XoverEdge> hitEdgeHandle(double xHz, std::optional<double> highPassHandleHz,
                                       std::optional<double> lowPassHandleHz);

}  // namespace kvn::analysis
