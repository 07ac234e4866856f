// Preset file contents of any length and content, through the same entry OpenPresetFile uses:
// the checks, the load, the refresh and writing the file and the image again must neither crash
// nor read outside the bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/MemoryImage.h"
#include "config/PresetFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kvn::ProcessorConfig start;
    kvn::ProcessorConfig config = start;
    const kvn::LoadResult result = kvn::OpenPresetBytes(std::span(data, size), "fuzz.KV2", config);
    if (result.loaded) {
        static_cast<void>(kvn::BuildPresetRecord(config, "fuzz.KV2"));
        static_cast<void>(kvn::BuildImage(config));
    }
    return 0;
}
