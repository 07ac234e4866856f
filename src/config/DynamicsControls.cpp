// Loading a dynamics unit's controls.
#include "config/DynamicsControls.h"

#include <algorithm>
#include <array>

#include "dsp/DynamicsMath.h"

namespace kvn {
namespace {
constexpr std::array<double, kNoiseItems> kNoiseLevels = {1, 10, 11, 12, 13, 14, 15, 16};
}  // namespace

int noiseItemForGateLevel(double gateLevel) {
    const auto it = std::find(kNoiseLevels.begin(), kNoiseLevels.end(), gateLevel);
    return it == kNoiseLevels.end() ? -1 : static_cast<int>(it - kNoiseLevels.begin());
}

DynamicsControls loadDynamicsUnit(ProcessorConfig& config, int unit) {
    DynamicsUnit& u = config.unit(unit);
    DynamicsControls c;
    c.thresholdTrack = std::clamp(trackFromThreshold(u.thresholdDbfs, unit), 0, kThresholdTrackMax);
    u.thresholdDbfs = static_cast<float>(thresholdFromTrack(c.thresholdTrack, unit));
    c.thresholdDbu = dbfsToDbu(thresholdFromTrack(c.thresholdTrack, unit), unit);

    c.ratioTrack = std::clamp(trackFromRatio(u.ratio), 0, kRatioTrackMax);
    u.ratio = static_cast<float>(ratioFromTrack(c.ratioTrack));

    c.kneeTrack = std::clamp(trackFromKneeOnLoad(u.kneeDb, unit), 0, kKneeTrackMax);
    c.kneeDb = kneeFromTrack(c.kneeTrack);
    u.kneeDb = static_cast<float>(c.kneeDb);

    c.compressor = u.kneeType != kLimiter;
    u.kneeType = c.compressor ? kCompressor : kLimiter;
    c.bypassed = u.bypass != 0;
    u.bypass = c.bypassed ? 1 : 0;
    u.design();

    c.attackDbPerS = attackFromDetectorCoefficient(u.detectorCoefficient);
    c.holdMs = holdMsFromSamples(u.holdSamples, u.lookAheadSamples);
    c.releaseDbPerS = releaseRateFromCount(u.releaseCount);
    c.lookAheadMs = lookAheadMsFromSamples(u.lookAheadSamples);
    c.noiseItem = noiseItemForGateLevel(u.gateLevel);
    return c;
}

}  // namespace kvn
