// The groups of an output copy.
#include "config/OutputCopy.h"

#include <algorithm>

#include "config/CrossoverControls.h"
#include "config/DynamicsControls.h"
#include "config/EqualizerControls.h"
#include "config/LevelControls.h"

namespace kvn {
namespace {

bool validOutput(int output) {
    return output >= 1 && output <= kOutputCount;
}

// The edge's design parameters; the sections keep their own slots.
void copyEdge(TXOVERPB& to, const TXOVERPB& from) {
    to.XoverType = from.XoverType;
    to.Order = from.Order;
    to.SectionCount = from.SectionCount;
    to.FrequencyHz = from.FrequencyHz;
    for (int s = 1; s <= 3; ++s) {
        to.section(s).FrequencyHz = from.section(s).FrequencyHz;
        to.section(s).Q = from.section(s).Q;
    }
}

void copyCrossover(ProcessorConfig& config, int from, int to, OutputCopyResult& result) {
    const OutputChannel& source = config.output(from);
    OutputChannel& target = config.output(to);
    if (to == kSubOutput && source.LowPassEdge.XoverType == kXoverBypass) {
        result.messages.push_back({MessageKind::Information, kSubLowPassKeptNote});
    } else {
        copyEdge(target.LowPassEdge, source.LowPassEdge);
    }
    target.SoloL = source.SoloL;
    if (to != kSubOutput) {
        copyEdge(target.HighPassEdge, source.HighPassEdge);
        target.SoloH = source.SoloH;
    }
    CrossoverLoad load = loadCrossoverControls(config, to);
    for (UserMessage& message : load.messages) {
        result.messages.push_back(std::move(message));
    }
}

void copyEqualizer(ProcessorConfig& config, int from, int to) {
    const int bands = from == kSubOutput || to == kSubOutput ? kSubPeqBands : kPeqBands;
    for (int n = 1; n <= bands; ++n) {
        const PeqBand& source = config.output(from).band(n);
        PeqBand& target = config.output(to).band(n);
        target.FilterType = source.FilterType;
        target.FrequencyHz = source.FrequencyHz;
        target.GainDb = source.GainDb;
        target.Q = source.Q;
        target.design();
        selectEqualizerBand(config, to, n);
    }
    config.MeasurementFile[static_cast<std::size_t>(to - 1)] =
        config.MeasurementFile[static_cast<std::size_t>(from - 1)];
}

void copyGain(const OutputChannel& source, OutputChannel& target) {
    target.Muted = source.Muted;
    target.Inverted = source.Inverted;
    setLevelTrack(target, source.LevelPosition);
}

void copyDynamics(ProcessorConfig& config, int from, int to) {
    const int fromUnit = dynamicsUnitOf(from);
    const int toUnit = dynamicsUnitOf(to);
    if (fromUnit == toUnit) {
        return;
    }
    const DynamicsUnit& source = config.unit(fromUnit);
    DynamicsUnit& target = config.unit(toUnit);
    target.thresholdDbfs = source.thresholdDbfs;
    target.ratio = source.ratio;
    target.kneeDb = source.kneeDb;
    target.kneeType = source.kneeType;
    target.bypass = source.bypass;
    target.detectorCoefficient = source.detectorCoefficient;
    target.lookAheadSamples = source.lookAheadSamples;
    target.holdSamples = source.holdSamples;
    target.releaseCount = source.releaseCount;
    target.ampGain = source.ampGain;
    target.loadImpedanceOhm = source.loadImpedanceOhm;
    target.boxPowerW = source.boxPowerW;
    target.ampPowerW = source.ampPowerW;
    target.balanced = source.balanced;
    loadDynamicsUnit(config, 2);
    loadDynamicsUnit(config, 1);
}

}  // namespace

OutputCopyResult copyOutput(ProcessorConfig& config, int from, int to, CopyGroups groups) {
    OutputCopyResult result;
    if (from == to || !validOutput(from) || !validOutput(to)) {
        return result;
    }
    result.copied = true;
    const OutputChannel& source = config.output(from);
    OutputChannel& target = config.output(to);
    for (const CopyGroup group : kCopyGroups) {
        if (!groups.has(group)) {
            continue;
        }
        switch (group) {
            case CopyGroup::Route:
                target.Route = source.Route - 1;
                target.advanceRoute();
                break;
            case CopyGroup::Crossover:
                copyCrossover(config, from, to, result);
                break;
            case CopyGroup::Equalizer:
                copyEqualizer(config, from, to);
                break;
            case CopyGroup::Delay:
                target.DelaySamples = std::clamp(source.DelaySamples, 0, kMaxDelaySamples);
                target.RelativeDistanceSamples = source.RelativeDistanceSamples;
                break;
            case CopyGroup::Gain:
                copyGain(source, target);
                break;
            case CopyGroup::Name:
                target.Name = source.Name;
                break;
            case CopyGroup::Dynamics:
                copyDynamics(config, from, to);
                break;
        }
    }
    return result;
}

int nextCopyDestination(int from) {
    return from >= 1 && from < kOutputCount ? from + 1 : 1;
}

std::vector<int> outputsSharingCopiedName(const ProcessorConfig& config, int from, int to,
                                          CopyGroups groups) {
    const auto valid = [](int n) { return n >= 1 && n <= kOutputCount; };
    if (!groups.has(CopyGroup::Name) || from == to || !valid(from) || !valid(to)) {
        return {};
    }
    const auto trimmed = [](const std::string& name) {
        const std::size_t first = name.find_first_not_of(' ');
        return first == std::string::npos
                   ? std::string()
                   : name.substr(first, name.find_last_not_of(' ') - first + 1);
    };
    const std::string copied = trimmed(config.output(from).Name);
    std::vector<int> sharing;
    for (int n = 1; n <= kOutputCount; ++n) {
        if (n == from || n == to || trimmed(config.output(n).Name) == copied) {
            sharing.push_back(n);
        }
    }
    return sharing;
}

}  // namespace kvn
