// The manifest of a processor backup, `backup.json` in the backup folder: which memory each
// preset file came from, the memory's preset name and when it was read, and the memories that
// could not be read. A restore writes back what the manifest lists, so files left in the folder
// by an earlier backup are never taken for this one's.
//   {
//     "created": "2024-05-01T21:04:11Z",
//     "memories": [
//       {"memory": 21, "name": "Hall", "time": "2024-05-01T21:04:13Z",
//        "file": "memory-21-Hall.KV2", "image": "memory-21-Hall.img"}
//     ],
//     "unreadable": [{"memory": 35, "reason": "the processor did not answer"}]
//   }
// "image" names the exact bytes the memory held, kept beside the preset file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvn::link {

struct BackupManifest {
    static constexpr const char* kFileName = "backup.json";

    struct Entry {
        int memory = 0;
        std::string name;   // the preset name the memory holds
        std::string time;   // when it was read, UTC, ISO 8601
        std::string file;   // the preset file, in the backup folder
        std::string image;  // the memory's exact image, in the backup folder; may be empty
    };
    struct Unreadable {
        int memory = 0;
        std::string reason;
    };

    std::string created;
    std::vector<Entry> memories;
    std::vector<Unreadable> unreadable;

    // The document, ending with a newline.
    std::string toJson() const;
    // Reads a document written by toJson() (or by hand in the same shape). Empty, with `error`
    // naming the problem, for anything else: text that is not JSON, a missing or mistyped key, a
    // memory outside 1..60, a file name that leads out of the folder.
    static std::optional<BackupManifest> parse(std::string_view json, std::string& error);
};

// `name` as a file or folder name: characters that file systems refuse become '_', surrounding
// blanks and dots go, and an empty name becomes "NoName".
std::string fileSafeName(const std::string& name);

// "memory-07-Stage left": the start of the file names of a memory's backup. Characters that file
// systems refuse become '_'; an empty name becomes "NoName".
std::string backupFileStem(int memory, const std::string& presetName);

// The time now as "2024-05-01T21:04:11Z".
std::string utcTimeText();

}  // namespace kvn::link
