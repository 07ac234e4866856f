// The virtual processor's state on disk: memories, protection flags, active memory, keyboard
// lock, password block and firmware, so that a virtual processor keeps its memories from one run
// to the next.
#pragma once

#include "emulator/DeviceState.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvn::emu {

// Format version 1, all numbers big-endian:
//   offset 0    8 bytes  "KVN350VS"
//          8    2        format version (1)
//          10   1        active memory (1..60)
//          11   1        keyboard locked (0 or 1)
//          12   1        firmware done (0 or 1)
//          13   7        password block
//          20   60       protected flag of memories 1..60 (0 or 1)
//          80   2        firmware length n (0..6143)
//          82   122760   memories 1..60, 2046 bytes each
//          ...  n        firmware
//          end  4        CRC-32 (IEEE 802.3) of every byte before it
// The running banks are not kept: loading a state is a power-up, which recalls the active memory.
class StateFile {
public:
    static constexpr std::uint16_t kFormatVersion = 1;

    static std::vector<std::uint8_t> encode(const DeviceState& state);
    // The state the bytes hold; nothing when they are not a complete, undamaged state of a known
    // version, with the reason in `error` ("is damaged (its check sum does not match)").
    static std::optional<DeviceState> decode(std::span<const std::uint8_t> bytes,
                                             std::string& error);

    // Writes the state to a temporary file in the same folder and renames it over `path`, so a
    // failed save leaves the previous file as it was. False with the reason in `error`.
    static bool save(const std::filesystem::path& path, const DeviceState& state,
                     std::string& error);
    // Reads and decodes a state file; nothing, with a message naming the file, when it cannot be
    // read or is refused.
    static std::optional<DeviceState> load(const std::filesystem::path& path, std::string& error);
};

}  // namespace kvn::emu
