// A rig: the processors of one system, each with its name, its port, the memory it runs and the
// preset file it should hold, read from a JSON file:
//   {"processors": [
//     {"name": "Left hang", "port": "/dev/ttyUSB0", "memory": 30, "preset": "left.KV2"},
//     {"name": "Subs", "port": "usb:FT4XYZ12", "memory": 31, "preset": "subs.KV2"}]}
// Ports are those of PortTarget.h; preset and state files are relative to the rig file. Keys
// this program does not know are ignored, so that later versions may add some.
//
// One processor per port: two entries that lead to the same port are refused, since they would
// be one processor asked to run two memories at once (and the port cannot be opened twice).
// Names must differ, also as folder names, since each processor's backup goes into a folder
// named after it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/JsonReader.h"
#include "link/PortMap.h"
#include "link/PortTarget.h"

namespace kvn::link {

struct RigProcessor {
    std::string name;
    std::string portText;  // as written in the rig file
    PortAddress port;
    int memory = 0;
    std::filesystem::path preset;
    // The image the preset file writes to the memory (empty for a processor read from a rig
    // backup, which has no preset).
    std::vector<std::uint8_t> image;
    // The folder of its backup, inside the rig backup's folder.
    std::string folder;
};

struct RigFile {
    std::filesystem::path path;
    std::vector<RigProcessor> processors;

    // Reads and checks a rig file; empty, with `error` naming the entry (its number, counting
    // from 1, and its name) and the field, for anything wrong: a missing name or port, a port of
    // an unknown form, a memory outside 21..60, a preset file that is missing or does not open,
    // two entries with one name or on one port.
    static std::optional<RigFile> load(const std::filesystem::path& file, const PortMap& ports,
                                       std::string& error);
    // The same for the text of a rig file kept in folder `base`.
    static std::optional<RigFile> parse(std::string_view json, const std::filesystem::path& base,
                                        const PortMap& ports, std::string& error);
};

// "entry 2 (Front fill)": how messages name a processor of the rig file.
std::string rigEntryText(std::size_t index, const std::string& name);

// Reads `json` into `document` and gives its "processors" list: the part a rig file and a rig
// backup manifest share. Null, with `error` saying why, when the text is not JSON or not an
// object with that list.
const JsonArray* readProcessorList(std::string_view json, std::optional<JsonValue>& document,
                                   std::string& error);

// Refuses two processors on one port or with one backup folder; `error` names both entries.
bool checkDistinct(const std::vector<RigProcessor>& processors, const PortMap& ports,
                   std::string& error);

}  // namespace kvn::link
