// One value sent to the processor in real-time mode, and its message on the wire:
// START, 0x12, bank, type, payload, END, none of which the processor answers.
//   type 0, section:  00, slot, b0 b1 b2 a1 a2 (fixed-point words)          22 bytes in all
//   type 2, word:     address high, address low, one fixed-point or integer word   10 bytes in all
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kvn::link {

struct RealTimeUpdate {
    enum class Kind : std::uint8_t { Section, CoefficientWord, IntegerWord };

    Kind kind = Kind::Section;
    // The coefficient bank the message addresses (DspSelect): 1 or 2.
    std::uint8_t dspSelect = 1;
    // The section's CoeffSlot (sent as one byte), or the word's 16-bit address.
    std::uint16_t address = 0;
    // A section's b0, b1, b2, a1, a2; a coefficient word uses the first.
    std::array<double, 5> coefficients{};
    // An integer word's value, sent as 16 bits unsigned (held to 0..65535).
    int integerValue = 0;

    static RealTimeUpdate section(std::uint8_t dspSelect, int slot,
                                  const std::array<double, 5>& coefficients);
    static RealTimeUpdate coefficientWord(std::uint8_t dspSelect, int address, double value);
    static RealTimeUpdate integerWord(std::uint8_t dspSelect, int address, int value);

    // True when both set the same thing in the processor (same bank, same section slot or same
    // word address), so that the later one makes the earlier one pointless.
    bool sameTarget(const RealTimeUpdate& other) const;
};

// The bytes of the message that carries `update`.
std::vector<std::uint8_t> realTimeMessage(const RealTimeUpdate& update);

}  // namespace kvn::link
