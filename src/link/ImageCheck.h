// The check after a memory write: the image the processor gives back against the image it was
// sent. Both are decoded and compared field by field, with the texts `kvn350 preset diff`
// prints; bytes that no decoded field reads (the two coefficient banks the processor runs, the
// second copy of the parameter block, the header and the fill) are compared too, since a wrong
// coefficient changes what the processor plays even when every parameter reads back right.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/PresetText.h"

namespace kvn::link {

struct ImageCheck {
    // The processor holds exactly the bytes written.
    bool identical = false;
    // Decoded fields that differ: `a` as written, `b` as read back.
    std::vector<PresetText::Difference> fields;
    // Other parts of the image that differ ("Coefficient bank 1: words 37-41"), or why the
    // read-back could not be compared.
    std::vector<std::string> otherParts;

    // One line per difference: "path: written -> read back", then the other parts.
    std::vector<std::string> lines() const;
};

// Compares `readBack` with `written` (images as a memory write sends them, starting with their
// length field).
ImageCheck compareImages(std::span<const std::uint8_t> written,
                         std::span<const std::uint8_t> readBack);

}  // namespace kvn::link
