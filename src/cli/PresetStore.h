// Preset files and memory images as the commands use them: read with the messages turned into
// exit statuses, refreshed after loading exactly as the editor does, and saved atomically.
#pragma once

#include <string>

#include "config/ProcessorConfig.h"

namespace kvn::cli {

class PresetStore {
public:
    // The configuration New gives.
    static ProcessorConfig newPreset();

    // The fields stored in a preset file, without the refresh after loading (so that showing,
    // comparing and converting a file keep its values as stored). A file that cannot be read or
    // is not a preset file throws CliError (bad input) with the system's message.
    static ProcessorConfig loadStored(const std::string& path);
    // The configuration the editor has after opening the file: loaded, then refreshed (bands,
    // crossovers and dynamics designed, routes restored).
    static ProcessorConfig loadForUse(const std::string& path);

    // Writes the current record to `path` through a temporary file, so that a failure leaves an
    // existing file as it was. Failures throw CliError (bad input) naming the path.
    static void save(const ProcessorConfig& config, const std::string& path);
};

}  // namespace kvn::cli
