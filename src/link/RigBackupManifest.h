// The manifest of a rig backup, `rig-backup.json` in the backup's folder: which processors were
// backed up, on which port and into which folder (each folder holds that processor's own backup
// and backup.json), and the processors that could not be.
//   {
//     "created": "2024-05-01T21:04:11Z",
//     "processors": [
//       {"name": "Left hang", "port": "/dev/ttyUSB0", "memory": 30, "folder": "Left hang"}
//     ],
//     "missing": [{"name": "Subs", "reason": "the processor did not answer"}]
//   }
// The port of a virtual processor names its state file with its full path.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/PortMap.h"
#include "link/RigFile.h"

namespace kvn::link {

struct RigBackupManifest {
    static constexpr const char* kFileName = "rig-backup.json";

    struct Entry {
        std::string name;
        std::string port;
        int memory = 0;  // the memory the rig runs on it
        std::string folder;
    };
    struct Missing {
        std::string name;
        std::string reason;
    };

    std::string created;
    std::vector<Entry> processors;
    std::vector<Missing> missing;

    // The document, ending with a newline.
    std::string toJson() const;
    // Empty, with `error` naming the entry and the field, for anything toJson() would not write:
    // a missing name or port, a memory outside 1..60, a folder that is not a plain name. The
    // ports themselves are checked by load().
    static std::optional<RigBackupManifest> parse(std::string_view json, std::string& error);

    // Reads FOLDER/rig-backup.json and gives the processors it lists (without presets), with
    // their ports checked as a rig file's are.
    static std::optional<std::vector<RigProcessor>> load(const std::filesystem::path& folder,
                                                         const PortMap& ports,
                                                         RigBackupManifest& manifest,
                                                         std::string& error);
};

}  // namespace kvn::link
