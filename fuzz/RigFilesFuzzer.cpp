// The readers of rig files, rig backup lists and backup manifests on arbitrary text: they never
// crash, and they give either a document or a reason.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/BackupManifest.h"
#include "link/RigBackupManifest.h"
#include "link/RigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    // Preset files are looked for in a folder that does not exist: no file is ever opened.
    const auto rig = kvn::link::RigFile::parse(text, "/nonexistent-rig-folder",
                                               kvn::link::PortMap::defaults(), error);
    if (rig.has_value() == !error.empty()) {
        std::abort();
    }
    if (kvn::link::RigBackupManifest::parse(text, error).has_value() == !error.empty()) {
        std::abort();
    }
    if (kvn::link::BackupManifest::parse(text, error).has_value() == !error.empty()) {
        std::abort();
    }
    return 0;
}
