// Targets of the automatic equaliser on the response grid.
#include "analysis/TargetCurve.h"

#include <cmath>

#include "analysis/MeasurementImport.h"

namespace kvn::analysis {
namespace {

double tiltDb(double tiltDbPerOctave, std::int32_t hz) {
    return tiltDbPerOctave * std::log2(hz / kTiltPivotHz);
}

}  // namespace

TargetCurve flatTarget(double tiltDbPerOctave) {
    TargetCurve target;
    const ResponseGrid& grid = responseGrid();
    for (std::size_t k = 0; k < target.db.size(); ++k) {
        target.db[k] = tiltDb(tiltDbPerOctave, grid.GridHz[k]);
        target.defined[k] = true;
    }
    if (tiltDbPerOctave != 0.0) {
        target.name = "the tilted target";
    }
    return target;
}

TargetCurve curveTarget(const ResponseCurve& curve, double tiltDbPerOctave, std::string name) {
    TargetCurve target;
    target.name = std::move(name);
    const ResponseGrid& grid = responseGrid();
    for (std::size_t k = 0; k < target.db.size(); ++k) {
        target.defined[k] = curve.MagDb[k] != kOutsideMeasurementDb;
        target.db[k] =
            target.defined[k] ? curve.MagDb[k] + tiltDb(tiltDbPerOctave, grid.GridHz[k]) : 0.0;
    }
    return target;
}

TargetRead readTargetCurve(const std::string& path, double tiltDbPerOctave) {
    // The level of a target does not matter: no reference is taken off.
    const MeasurementResult read = readMeasurement(path, MeasurementSettings(kFormatAuto, 0.0));
    TargetRead result;
    if (read.status == MeasurementStatus::Imported) {
        result.ok = true;
        result.target = curveTarget(read.curve, tiltDbPerOctave, "the target curve " + path);
    } else if (read.status == MeasurementStatus::Unreadable) {
        result.message = path + ": cannot be read";
    } else {
        result.message = read.message;
    }
    return result;
}

}  // namespace kvn::analysis
