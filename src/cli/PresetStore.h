// Preset files and memory images as the commands use them: read with the system's messages
// turned into exit statuses, refreshed after loading exactly as the editor does, and saved
// atomically.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "config/ProcessorConfig.h"

namespace kvn::cli {

class PresetStore {
public:
    // The configuration New gives.
    static ProcessorConfig newPreset();

    struct Stored {
        ProcessorConfig config;
        bool previousVersion = false;  // a 1596-byte file
    };
    // Every field as the file stores it, without the refresh after loading, so that showing,
    // comparing and converting a file keep its values (PeqBandsInUse and SampleRate included,
    // which the editor does not read). A file that cannot be read or is not a preset file throws
    // CliError (bad input) with the system's message; warnings go to `messages` as
    // "kvn350: <text>" lines.
    static Stored loadStored(const std::string& path, std::ostream& messages);
    // The configuration the editor has after opening the file: New, the file, then the refresh
    // (bands, crossovers and dynamics designed, routes restored).
    static ProcessorConfig loadForUse(const std::string& path, std::ostream& messages);

    // The configuration the editor has after reading `bytes` from a memory: the image decoded,
    // then refreshed. A refused image throws CliError (bad input) naming `source`.
    static ProcessorConfig decodeImage(const std::vector<std::uint8_t>& bytes,
                                       const std::string& source, std::ostream& messages);

    // Writes the current 1612-byte record to `path` through a temporary file, so that a failure
    // leaves an existing file as it was. Failures throw CliError (bad input) with the system's
    // message.
    static void save(const ProcessorConfig& config, const std::string& path);

    // The whole of a small file (at most `maxBytes`; a longer file is refused). Throws CliError
    // (bad input) naming the path.
    static std::vector<std::uint8_t> readFile(const std::string& path, std::size_t maxBytes);
    // Writes `bytes` to `path` atomically; throws CliError (bad input) naming the path.
    static void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
};

}  // namespace kvn::cli
