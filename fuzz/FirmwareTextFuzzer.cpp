// The firmware text parser on arbitrary text: it never crashes, and it gives either the whole
// 6143-byte payload or a reason and no bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/FirmwareText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kvn::link::FirmwarePayload payload =
        kvn::link::parseFirmwareText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (payload.valid() ? payload.bytes.size() != 6143 : !payload.bytes.empty()) {
        std::abort();
    }
    return 0;
}
