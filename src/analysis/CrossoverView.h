// What the crossover window draws and how its graph is dragged: each edge's curve on its own,
// the output's curve as the window shows it (on SUB with the fixed SUB path and the reinforcement
// section), and the handle of each edge, at its frequency, which the user drags to move the edge.
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

// The handle the user drags to move an edge: at the edge's frequency, the one its field shows,
// on the edge's own curve there (3 dB down for Butterworth and Bessel, 6 dB for Linkwitz-Riley).
// Nothing for a bypassed edge.
struct EdgeHandle {
    double frequencyHz = 0.0;
    double magnitudeDb = 0.0;
};
std::optional<EdgeHandle> edgeHandle(const TXOVERPB& edge);

// A press at `xHz` takes hold of an edge's handle within this fraction of a decade, either side.
inline constexpr double kEdgeHitLogDistance = 0.07;

// The edge whose handle a press at `xHz` takes hold of: the nearer of the two handles within the
// hit distance (the high-pass edge when both are equally near); nothing when none is. A missing
// handle (a bypassed or disabled edge) is never hit.
std::optional<XoverEdge> hitEdgeHandle(double xHz, std::optional<double> highPassHandleHz,
                                       std::optional<double> lowPassHandleHz);

}  // namespace kvn::analysis
