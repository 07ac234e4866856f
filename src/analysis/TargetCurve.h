// The response an automatic equaliser aims at, on the response grid: flat, flat with a tilt in dB
// per octave, or a curve read from a measurement export file (any import format), with an
// optional tilt on top. Only its shape counts: the fit leaves the level free.
#pragma once

#include <array>
#include <string>

#include "dsp/Response.h"

namespace kvn::analysis {

// The tilt turns about this frequency (any pivot gives the same shape).
inline constexpr double kTiltPivotHz = 1000.0;
inline constexpr double kMaxTiltDbPerOctave = 6.0;

struct TargetCurve {
    // The target level in dB at each grid point.
    std::array<double, kGridPoints> db{};
    // False where a target file holds no data (its import reads -140 dB there).
    std::array<bool, kGridPoints> defined{};
    // How messages name it: "the target curve FILE" or "the flat target".
    std::string name = "the flat target";
};

// Flat, tilted by `tiltDbPerOctave` (positive rises towards the treble).
TargetCurve flatTarget(double tiltDbPerOctave = 0.0);

// A target from a curve on the grid (a target file as the import reads it), tilted as above.
// Grid points reading the import's level outside the measured range are not defined.
TargetCurve curveTarget(const ResponseCurve& curve, double tiltDbPerOctave, std::string name);

struct TargetRead {
    bool ok = false;
    TargetCurve target;
    // Why the file was refused: it names the file (and the line, for a malformed one).
    std::string message;
};

// Reads a target file in any of the import's formats, recognised from its header.
TargetRead readTargetCurve(const std::string& path, double tiltDbPerOctave);

}  // namespace kvn::analysis
