// The editors' reload after a memory image or a preset file was loaded.
#include "config/LoadRefresh.h"

#include <algorithm>

#include "config/EqualizerControls.h"
#include "config/LevelControls.h"

namespace kvn {
namespace {

constexpr int kMinTemperature = 0;
constexpr int kMaxTemperature = 50;

void report(const ProgressCallback& progress, int percent, std::string_view step) {
    if (progress) {
        progress(ProgressStage{percent, step});
    }
}

void refreshDelays(ProcessorConfig& config) {
    for (OutputChannel& out : config.Output) {
        out.DelaySamples = std::clamp(out.DelaySamples, 0, kMaxDelaySamples);
    }
    config.Temperature = std::clamp(config.Temperature, kMinTemperature, kMaxTemperature);
}

void refreshLevels(ProcessorConfig& config, LoadSource source) {
    for (OutputChannel& out : config.Output) {
        if (source == LoadSource::Image) {
            refreshLevelFromTrack(out);
        } else {
            refreshLevelFromGain(out);
        }
    }
}

void refreshCrossovers(ProcessorConfig& config, std::vector<UserMessage>& messages) {
    for (int n = 1; n <= kOutputCount; ++n) {
        CrossoverLoad load = loadCrossoverControls(config, n);
        messages.insert(messages.end(), load.messages.begin(), load.messages.end());
    }
}

void refreshDynamicsAndRoutes(ProcessorConfig& config) {
    loadDynamicsUnit(config, 2);
    loadDynamicsUnit(config, 1);
    for (OutputChannel& out : config.Output) {
        restoreRoute(out);
    }
}

void refreshEqualizers(ProcessorConfig& config) {
    loadEqualizerBands(config, kSubOutput);
    loadEqualizerBands(config, 2);
    loadEqualizerBands(config, 1);
}

}  // namespace

void loadEqualizerBands(ProcessorConfig& config, int outputNumber) {
    for (int band = peqBandCount(outputNumber); band >= 1; --band) {
        selectEqualizerBand(config, outputNumber, band);
    }
}

void restoreRoute(OutputChannel& output) {
    // Held first so that a damaged value cannot overflow; anything outside 0..2 ends at input A
    // either way.
    output.Route = std::clamp(output.Route, kRouteA - 1, kRouteB + 1) - 1;
    output.advanceRoute();
}

std::vector<UserMessage> refreshAfterLoad(ProcessorConfig& config, LoadSource source,
                                          const ProgressCallback& progress) {
    std::vector<UserMessage> messages;
    if (source == LoadSource::Image) {
        refreshEqualizers(config);
        refreshCrossovers(config, messages);
        refreshLevels(config, source);
        refreshDynamicsAndRoutes(config);
        refreshDelays(config);
        return messages;
    }
    report(progress, 30, "Updating Delays...");
    refreshDelays(config);
    report(progress, 35, "Updating relative distance between speakers...");
    report(progress, 45, "Updating Gains...");
    refreshLevels(config, source);
    report(progress, 65, "Updating Xover...");
    refreshCrossovers(config, messages);
    report(progress, 75, "Updating Dinamics...");
    refreshDynamicsAndRoutes(config);
    report(progress, 95, "Updating Equalization...");
    refreshEqualizers(config);
    report(progress, 100, "DONE");
    return messages;
}

}  // namespace kvn
