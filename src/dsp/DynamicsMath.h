// Arithmetic of the dynamics units: table levels, detector timing values and their inverses, the
// dBu/dBFS level reference and the editor's control scales, and the static curve in dBu.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "dsp/TDYNAMIC.h"

namespace kvn {

// Level of gain table entry k: -96 + 3k dBFS.
constexpr double gainTableLevelDbfs(int k) {
    return -96.0 + 3.0 * k;
}

// Headroom offset of a unit: 0 dBFS = 29.6 - off dBu, with off 9.0 for unit 1 (OUT 1-2) and
// 6.0 for unit 2 (SUB).
constexpr double headroomOffsetDb(int unit) {
    return unit == 1 ? 9.0 : 6.0;
}
constexpr double dbfsToDbu(double dbfs, int unit) {
    return dbfs + 29.6 - headroomOffsetDb(unit);
}
constexpr double dbuToDbfs(double dbu, int unit) {
    return dbu - 29.6 + headroomOffsetDb(unit);
}

// Detector timing, fs = 48000; rounding halves to even.
// Attack rate A in dB/s <-> detector coefficient 1 - 10^(-A / (10 fs)).
double detectorCoefficientFromAttack(double attackDbPerS);
double attackFromDetectorCoefficient(double coefficient);
// Hold time in ms (look-ahead added) <-> hold samples.
int holdSamplesFromMs(double holdMs, int lookAheadSamples);
double holdMsFromSamples(int holdSamples, int lookAheadSamples);
// Release rate in dB/s <-> release count (units of 0.137 dB/s).
int releaseCountFromRate(double releaseDbPerS);
double releaseRateFromCount(int releaseCount);
// The hold samples that keep the same hold time when the look-ahead moves from `fromLookAhead`
// to `toLookAhead` samples (hold samples count the look-ahead in); held to the int range.
int rebaseHoldSamples(int holdSamples, int fromLookAhead, int toLookAhead);
// Look-ahead in ms <-> samples.
int lookAheadSamplesFromMs(double lookAheadMs);
double lookAheadMsFromSamples(int lookAheadSamples);

// The dynamics editor's controls. Threshold track position p (0..100) <-> threshold T in dBFS
// (0.5 dB steps, +18 dBu at p = 0 for both units); typed dBu -> position; ratio track (R = 10 - p);
// knee track (W = (20 - p) / 2; loading SUB's knee uses 19.9 - 2W, as the editor always has).
double thresholdFromTrack(int position, int unit);
int trackFromThreshold(double thresholdDbfs, int unit);
int trackFromThresholdDbu(double dbu);
double ratioFromTrack(int position);
int trackFromRatio(double ratio);
double kneeFromTrack(int position);
int trackFromKnee(double kneeDb);
int trackFromKneeOnLoad(double kneeDb, int unit);

// The 60 design points of a unit's static curve as (input, output) in dBu, for plotting.
std::vector<std::pair<double, double>> staticCurveDbu(const TDYNAMIC& unit, int unitNumber);

// What the dynamics window draws of a unit, as (input, output) points in dBu.
struct DynamicsGraph {
    // The static curve: from the floor along the unit's gain below the knee to the first of the
    // 60 design points, then those points. A bypassed unit: the line (-100, -100) to (100, 100).
    std::vector<std::pair<double, double>> curve;
    // The noise gate: the table levels it lowers (output = input + the table factor in dB, a
    // muted level drawn at the floor), then the first level it passes whole. The gate acts also on
    // a bypassed unit.
    std::vector<std::pair<double, double>> gate;
};
DynamicsGraph dynamicsGraphDbu(const TDYNAMIC& unit, int unitNumber, double floorDbu);

}  // namespace kvn
