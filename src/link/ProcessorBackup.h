// Backing up the processor's memories into a folder and writing them back. Each memory is read
// twice and the two images compared (DeviceSequences::ReadMemoryConfirmed), since the names and
// a few other bytes are not held twice in the image; then it becomes
// a preset file `memory-NN-<preset name>.KV2` beside the exact image the memory held
// (`memory-NN-<preset name>.img`), listed in the folder's manifest (BackupManifest). A memory
// that cannot be read, saved or written is listed with the reason and skipped; the others go on.
// Every file is written atomically. Blocking: runs on the link's thread.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/BackupManifest.h"
#include "link/DeviceSequences.h"
#include "link/MemoryRange.h"

namespace kvn::link {

class ProcessorBackup {
public:
    struct Report {
        std::vector<BackupManifest::Entry> saved;
        // Memories that were not backed up (or not restored), with the reason.
        std::vector<BackupManifest::Unreadable> skipped;
        // Why nothing could be done at all (the folder or the manifest); empty otherwise.
        std::string error;
        // Backup: the time the second (and third) reads of the memories added.
        int extraReadMs = 0;
        // Backup: "Memory 23: The coefficients of ..." for memories saved with a warning.
        std::vector<std::string> warnings;

        // Every memory asked for was done.
        bool complete() const { return error.empty() && skipped.empty() && !saved.empty(); }
        // "Memory 35: the processor did not answer", one line per skipped memory, after the
        // error if there is one.
        std::vector<std::string> problems() const;
    };

    // `sequences` must outlive this object; progress goes where theirs goes.
    explicit ProcessorBackup(DeviceSequences& sequences);

    // Reads every memory of `range` into `folder` (made when missing) and writes the manifest
    // there, replacing an earlier one; when no memory could be read the earlier manifest is left
    // as it is.
    Report backup(const std::filesystem::path& folder, MemoryRange range);

    // Writes back every memory the manifest in `folder` lists and checks each by reading it
    // back. Memories the manifest lists as unreadable are reported as skipped. A memory outside
    // `range` (a factory memory without the access code) is skipped.
    // The exact image is written when it holds the same fields as the preset file; a preset
    // file edited since the backup is written as it stands now. `saved` lists the memories
    // restored.
    Report restore(const std::filesystem::path& folder, MemoryRange range);

private:
    bool backupMemory(const std::filesystem::path& folder, int memory, Report& report);
    bool restoreMemory(const std::filesystem::path& folder, const BackupManifest::Entry& entry,
                       MemoryRange range, std::string& reason);

    DeviceSequences& sequences_;
};

}  // namespace kvn::link
