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

std::optional<float> gateLevelForNoiseItem(int item) {
    if (item < 0 || item >= kNoiseItems) {
        return std::nullopt;
    }
    return static_cast<float>(kNoiseLevels[static_cast<std::size_t>(item)]);
}

DynamicsControls showDynamicsUnit(const ProcessorConfig& config, int unit) {
    const DynamicsUnit& u = config.unit(unit);
    DynamicsControls c;
    c.thresholdTrack = std::clamp(trackFromThreshold(u.thresholdDbfs, unit), 0, kThresholdTrackMax);
    c.thresholdDbu = dbfsToDbu(u.thresholdDbfs, unit);
    c.ratioTrack = std::clamp(trackFromRatio(u.ratio), 0, kRatioTrackMax);
    c.kneeTrack = std::clamp(trackFromKneeOnLoad(u.kneeDb, unit), 0, kKneeTrackMax);
    c.kneeDb = u.kneeDb;
    c.compressor = u.kneeType != kLimiter;
    c.bypassed = u.bypass != 0;
    c.attackDbPerS = attackFromDetectorCoefficient(u.detectorCoefficient);
    c.holdMs = holdMsFromSamples(u.holdSamples, u.lookAheadSamples);
    c.releaseDbPerS = releaseRateFromCount(u.releaseCount);
    c.lookAheadMs = lookAheadMsFromSamples(u.lookAheadSamples);
    c.noiseItem = noiseItemForGateLevel(u.gateLevel);
    c.gateLevel = u.gateLevel;
    c.gateSlope = u.gateSlope;
    return c;
}

DynamicsEnabling dynamicsEnabling(bool bypassed, bool compressor) {
    return {!bypassed, !bypassed && compressor};
}

DynamicsControls loadDynamicsUnit(ProcessorConfig& config, int unit) {
    DynamicsUnit& u = config.unit(unit);
    const int thresholdTrack =
        std::clamp(trackFromThreshold(u.thresholdDbfs, unit), 0, kThresholdTrackMax);
    u.thresholdDbfs = static_cast<float>(thresholdFromTrack(thresholdTrack, unit));
    u.ratio =
        static_cast<float>(ratioFromTrack(std::clamp(trackFromRatio(u.ratio), 0, kRatioTrackMax)));
    const double kneeDb =
        kneeFromTrack(std::clamp(trackFromKneeOnLoad(u.kneeDb, unit), 0, kKneeTrackMax));
    u.kneeDb = static_cast<float>(kneeDb);
    u.kneeType = u.kneeType != kLimiter ? kCompressor : kLimiter;
    u.bypass = u.bypass != 0 ? 1 : 0;
    u.design();

    DynamicsControls c = showDynamicsUnit(config, unit);
    // The quantised threshold and knee as the tracks give them, not as their singles.
    c.thresholdDbu = dbfsToDbu(thresholdFromTrack(thresholdTrack, unit), unit);
    c.kneeDb = kneeDb;
    return c;
}

}  // namespace kvn
