// Arithmetic of the dynamics units.
#include "dsp/DynamicsMath.h"

#include <cmath>

#include "dsp/DspConstants.h"

namespace kvn {
namespace {
constexpr double kFs = kSampleRate;
constexpr double kReleaseUnit = 0.137;
int round(double x) {
    return static_cast<int>(std::nearbyint(x));
}
}  // namespace

double detectorCoefficientFromAttack(double attackDbPerS) {
    return 1.0 - std::exp(-attackDbPerS / (10.0 * kFs) * kLn10);
}

double attackFromDetectorCoefficient(double coefficient) {
    return std::log10(1.0 - coefficient) * (-10.0 * kFs);
}

int holdSamplesFromMs(double holdMs, int lookAheadSamples) {
    return round(holdMs * 0.001 * kFs) + lookAheadSamples;
}

double holdMsFromSamples(int holdSamples, int lookAheadSamples) {
    return (holdSamples - lookAheadSamples) / (kFs * 0.001);
}

int releaseCountFromRate(double releaseDbPerS) {
    return round(releaseDbPerS / kReleaseUnit);
}

double releaseRateFromCount(int releaseCount) {
    return releaseCount * kReleaseUnit;
}

int lookAheadSamplesFromMs(double lookAheadMs) {
    return round(lookAheadMs * 0.001 * kFs);
}

double lookAheadMsFromSamples(int lookAheadSamples) {
    return lookAheadSamples / (kFs * 0.001);
}

double thresholdFromTrack(int position, int unit) {
    return -position / 2.0 - (11.6 - headroomOffsetDb(unit));
}

int trackFromThreshold(double thresholdDbfs, int unit) {
    return round(2.0 * (-thresholdDbfs - 11.6 + headroomOffsetDb(unit)));
}

int trackFromThresholdDbu(double dbu) {
    return round(36.0 - 2.0 * dbu);
}

double ratioFromTrack(int position) {
    return 10.0 - position;
}

int trackFromRatio(double ratio) {
    return round(10.0 - ratio);
}

double kneeFromTrack(int position) {
    return (21.0 - position) / 2.0 - 0.5;
}

int trackFromKnee(double kneeDb) {
    return round((-kneeDb - 0.5) * 2.0 + 21.0);
}

int trackFromKneeOnLoad(double kneeDb, int unit) {
    return round((unit == 2 ? 19.9 : 20.0) - 2.0 * kneeDb);
}

std::vector<std::pair<double, double>> staticCurveDbu(const TDYNAMIC& unit, int unitNumber) {
    std::vector<std::pair<double, double>> curve;
    curve.reserve(kDynamicsCurvePoints);
    for (int i = 0; i < kDynamicsCurvePoints; ++i) {
        const auto index = static_cast<std::size_t>(i);
        curve.emplace_back(dbfsToDbu(unit.inputDb[index], unitNumber),
                           dbfsToDbu(unit.outputDb[index], unitNumber));
    }
    return curve;
}

}  // namespace kvn
