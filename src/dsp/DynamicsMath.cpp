// Arithmetic of the dynamics units.
#include "dsp/DynamicsMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "dsp/DspConstants.h"
#include "dsp/Rounding.h"

namespace kvn {
namespace {
constexpr double kFs = kSampleRate;
constexpr double kReleaseUnit = 0.137;
}  // namespace

double detectorCoefficientFromAttack(double attackDbPerS) {
    return 1.0 - std::exp(-attackDbPerS / (10.0 * kFs) * kLn10);
}

double attackFromDetectorCoefficient(double coefficient) {
    return std::log10(1.0 - coefficient) * (-10.0 * kFs);
}

int holdSamplesFromMs(double holdMs, int lookAheadSamples) {
    return roundHalfEven(holdMs * 0.001 * kFs) + lookAheadSamples;
}

double holdMsFromSamples(int holdSamples, int lookAheadSamples) {
    // In double: stored counts read from a file may be anything, and their difference must not
    // overflow.
    return (static_cast<double>(holdSamples) - lookAheadSamples) / (kFs * 0.001);
}

int rebaseHoldSamples(int holdSamples, int fromLookAhead, int toLookAhead) {
    // In 64 bits: stored counts read from a file may be anything.
    const long long rebased = static_cast<long long>(holdSamples) - fromLookAhead + toLookAhead;
    return static_cast<int>(std::clamp<long long>(rebased, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

int releaseCountFromRate(double releaseDbPerS) {
    return roundHalfEven(releaseDbPerS / kReleaseUnit);
}

double releaseRateFromCount(int releaseCount) {
    return releaseCount * kReleaseUnit;
}

int lookAheadSamplesFromMs(double lookAheadMs) {
    return roundHalfEven(lookAheadMs * 0.001 * kFs);
}

double lookAheadMsFromSamples(int lookAheadSamples) {
    return lookAheadSamples / (kFs * 0.001);
}

double thresholdFromTrack(int position, int unit) {
    return -position / 2.0 - (11.6 - headroomOffsetDb(unit));
}

int trackFromThreshold(double thresholdDbfs, int unit) {
    return roundHalfEven(2.0 * (-thresholdDbfs - 11.6 + headroomOffsetDb(unit)));
}

int trackFromThresholdDbu(double dbu) {
    return roundHalfEven(36.0 - 2.0 * dbu);
}

double ratioFromTrack(int position) {
    return 10.0 - position;
}

int trackFromRatio(double ratio) {
    return roundHalfEven(10.0 - ratio);
}

double kneeFromTrack(int position) {
    return (21.0 - position) / 2.0 - 0.5;
}

int trackFromKnee(double kneeDb) {
    return roundHalfEven((-kneeDb - 0.5) * 2.0 + 21.0);
}

int trackFromKneeOnLoad(double kneeDb, int unit) {
    return roundHalfEven((unit == 2 ? 19.9 : 20.0) - 2.0 * kneeDb);
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

DynamicsGraph dynamicsGraphDbu(const TDYNAMIC& unit, int unitNumber, double floorDbu) {
    DynamicsGraph graph;
    if (unit.bypass != 0) {
        graph.curve = {{-100.0, -100.0}, {100.0, 100.0}};
    } else {
        graph.curve = staticCurveDbu(unit, unitNumber);
        const double gainDb = graph.curve.front().second - graph.curve.front().first;
        graph.curve.insert(graph.curve.begin(), {floorDbu, floorDbu + gainDb});
    }

    // The entries the gate lowers are those it lowers on a table of unity factors.
    std::array<double, kGainTableSize> gated{};
    gated.fill(1.0);
    applyNoiseGate(gated, unit.gateLevel, unit.gateSlope);
    int last = 0;
    for (int k = 0; k < kGainTableSize; ++k) {
        if (gated[static_cast<std::size_t>(k)] < 1.0) {
            last = k;
        }
    }
    for (int k = 0; k <= std::min(last + 1, kGainTableSize - 1); ++k) {
        const double factor = unit.gainTable[static_cast<std::size_t>(k)];
        const double x = dbfsToDbu(gainTableLevelDbfs(k), unitNumber);
        const double y = factor > 0.0 ? x + 20.0 * std::log10(factor) : floorDbu;
        graph.gate.emplace_back(x, std::max(y, floorDbu));
    }
    return graph;
}

}  // namespace kvn
