// Preset files for the commands.
#include "cli/PresetStore.h"

#include "cli/CliError.h"

namespace kvn::cli {

ProcessorConfig PresetStore::newPreset() {
    ProcessorConfig config;
    config.resetToNew();
    return config;
}

ProcessorConfig PresetStore::loadStored(const std::string& path) {
    throwBadInput(path + ": preset files cannot be read by this build yet");
}

ProcessorConfig PresetStore::loadForUse(const std::string& path) {
    return loadStored(path);
}

void PresetStore::save(const ProcessorConfig&, const std::string& path) {
    throwBadInput(path + ": preset files cannot be written by this build yet");
}

}  // namespace kvn::cli
