// A memory write as the user asks for it: the image written and recalled, then read back and
// compared with what was sent. The command line's write and the rig's write both run this.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "link/DeviceSequences.h"

namespace kvn::link {

struct CheckedWrite {
    bool written = false;  // written and recalled
    bool stopped = false;  // `stop` said so before the check
    // The check; empty when it was not made (not asked for, stopped, or the read failed).
    std::optional<DeviceSequences::Verification> verification;
    // Why it did not succeed, in a few words; empty when it did.
    std::string failure;

    bool succeeded() const { return failure.empty(); }
};

// Writes `image` to `memory` (recalling it) and, with `verify`, reads it back to compare.
// `stop`, when given, is asked between the write and the check; true leaves the check out and
// names that in `failure`.
CheckedWrite writeChecked(DeviceSequences& sequences, int memory,
                          std::span<const std::uint8_t> image, bool verify,
                          const std::function<bool()>& stop = {});

}  // namespace kvn::link
