// The check of a memory image as it arrives from the processor, before anything is decoded from
// it: the image holds its parameter block twice and its coefficients twice (banks 1 and 2), and
// a transfer that damaged a byte shows as copies that disagree. The check also looks at what
// the parameters decode to, against the ranges the editor's loaders leave them in, and compares
// the coefficient words with a fresh design of the parameters read.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kvn {

struct ImageConsistency {
    // Why the image could not be checked at all (too short); empty otherwise.
    std::string refusal;
    // Fields whose two copies differ, by their program names ("Output 2 band 7 frequency",
    // "Output 1 band 3 coefficients"), each once, in image order.
    std::vector<std::string> copiesDiffer;
    // Fields of the first parameter copy that decode outside their range:
    // "Output 1 level position 400 (0 to 361)".
    std::vector<std::string> outOfRange;
    // Coefficient words of bank 1 that differ from the design of the parameters read by more
    // than kDesignToleranceLsb, grouped by what they belong to ("Output 1 band 3 coefficients").
    // A warning only: another program version may design the last bits differently. Images this
    // program writes match exactly.
    std::vector<std::string> designDiffers;

    // The image can be decoded: it was checked, its copies agree and its values are in range.
    bool sound() const { return refusal.empty() && copiesDiffer.empty() && outOfRange.empty(); }
    // "The two copies of the memory image differ: Output 2 band 7 frequency." and/or "The memory
    // image holds values out of range: ...", one sentence per kind; empty when sound.
    std::string problem() const;
    // "The coefficients of ... differ from their design ...", empty when there is nothing to say.
    std::string warning() const;
};

// Fixed-point words within this many steps of 2^-20 of the design count as equal.
inline constexpr int kDesignToleranceLsb = 4;

// Checks a received image (starting with its length field). Fields that the loaders carry as
// they find them (the dynamics timing bytes, the speaker settings, the input matrix, the
// distances) are compared between the copies but have no range here: images written from any
// preset file pass.
ImageConsistency checkImageConsistency(std::span<const std::uint8_t> image);

}  // namespace kvn
