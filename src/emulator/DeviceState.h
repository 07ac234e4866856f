// Everything the virtual processor holds: the 60 memories and their protection, the active
// memory, the two running coefficient banks, the keyboard lock, the password block and the
// firmware area.
#pragma once

#include "config/CoefficientAddresses.h"
#include "config/Encodings.h"
#include "emulator/DeviceConstants.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace kvn::emu {

using Image = std::array<std::uint8_t, kImageBytes>;
using Bank = std::array<Word, addr::kWordCount>;
using PasswordBlock = std::array<std::uint8_t, kPasswordBytes>;

class DeviceState {
public:
    // Every memory holds `initialImage`; memory 21 is active and running. Nothing is protected,
    // the keyboard is unlocked, the password block is all zero and no firmware is loaded.
    explicit DeviceState(const Image& initialImage);

    // Memories are numbered kFirstMemory..kLastMemory; other numbers throw std::out_of_range.
    static bool isMemory(int number) { return number >= kFirstMemory && number <= kLastMemory; }
    const Image& memory(int number) const;
    Image& memory(int number);
    bool isProtected(int number) const;
    void setProtected(int number, bool isProtected);

    int activeMemory() const { return activeMemory_; }
    // Makes `number` the active memory and loads bank 1 from its coefficient block A and bank 2
    // from block B, as the processor does when a memory is recalled.
    void recall(int number);

    // Running coefficient banks 1 and 2 (other numbers throw std::out_of_range).
    const Bank& bank(int number) const;
    Bank& bank(int number);

    bool keyboardLocked = false;
    PasswordBlock password{};
    std::vector<std::uint8_t> firmware;  // the last firmware payload received
    bool firmwareDone = false;           // set by FIRMWARE DONE after a firmware load

private:
    std::vector<Image> memories_;
    std::array<bool, kMemoryCount> protected_{};
    int activeMemory_ = kPowerUpMemory;
    Bank bank1_{};
    Bank bank2_{};
};

// Addresses (0..257) at which running bank `bankNumber` differs from the matching coefficient
// block of `image` (block A for bank 1, block B for bank 2); empty when the processor runs exactly
// what the image holds. `image` must hold at least the two coefficient blocks (std::out_of_range
// otherwise).
std::vector<int> bankDifferences(const Bank& bank, int bankNumber,
                                 std::span<const std::uint8_t> image);

// The coefficient block of `image` for bank 1 or 2, as words.
Bank bankFromImage(std::span<const std::uint8_t> image, int bankNumber);

}  // namespace kvn::emu
