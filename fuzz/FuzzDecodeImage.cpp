// Received memory images of any length and content: decoding, the refresh that follows, and
// writing the image again must neither crash nor read outside the bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/MemoryImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kvn::ProcessorConfig start;
    kvn::ProcessorConfig config = start;
    const kvn::LoadResult result = kvn::LoadImage(std::span(data, size), config);
    if (result.loaded) {
        static_cast<void>(kvn::BuildImage(config));
    }
    return 0;
}
