// Feeds the state file decoder random bytes: it must refuse or accept without fault, and a state
// it accepts must encode back to the same bytes.
#include "emulator/StateFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    std::string error;
    const std::optional<kvn::emu::DeviceState> state = kvn::emu::StateFile::decode(bytes, error);
    if (state) {
        const std::vector<std::uint8_t> again = kvn::emu::StateFile::encode(*state);
        if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end())) {
            __builtin_trap();
        }
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
