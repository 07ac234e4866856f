// The virtual processor's memories and running state.
#include "emulator/DeviceState.h"

#include <stdexcept>
#include <string>

namespace kvn::emu {

namespace {

std::size_t memoryIndex(int number) {
    if (!DeviceState::isMemory(number)) {
        throw std::out_of_range("no memory " + std::to_string(number));
    }
    return static_cast<std::size_t>(number - kFirstMemory);
}

std::size_t blockOffset(int bankNumber) {
    if (bankNumber == 1) {
        return image::kBlockA;
    }
    if (bankNumber == 2) {
        return image::kBlockB;
    }
    throw std::out_of_range("no coefficient bank " + std::to_string(bankNumber));
}

}  // namespace

DeviceState::DeviceState(const Image& initialImage)
    : memories_(static_cast<std::size_t>(kMemoryCount), initialImage) {
    recall(kPowerUpMemory);
}

const Image& DeviceState::memory(int number) const {
    return memories_[memoryIndex(number)];
}

Image& DeviceState::memory(int number) {
    return memories_[memoryIndex(number)];
}

bool DeviceState::isProtected(int number) const {
    return protected_[memoryIndex(number)];
}

void DeviceState::setProtected(int number, bool isProtected) {
    protected_[memoryIndex(number)] = isProtected;
}

void DeviceState::recall(int number) {
    const Image& image = memory(number);
    activeMemory_ = number;
    bank1_ = bankFromImage(image, 1);
    bank2_ = bankFromImage(image, 2);
}

const Bank& DeviceState::bank(int number) const {
    blockOffset(number);
    return number == 1 ? bank1_ : bank2_;
}

Bank& DeviceState::bank(int number) {
    blockOffset(number);
    return number == 1 ? bank1_ : bank2_;
}

Bank bankFromImage(std::span<const std::uint8_t> image, int bankNumber) {
    const std::size_t offset = blockOffset(bankNumber);
    if (image.size() < offset + image::kBlockBytes) {
        throw std::out_of_range("image too short for coefficient bank " +
                                std::to_string(bankNumber));
    }
    Bank bank{};
    for (std::size_t a = 0; a < bank.size(); ++a) {
        for (std::size_t i = 0; i < image::kWordBytes; ++i) {
            bank[a][i] = image[offset + a * image::kWordBytes + i];
        }
    }
    return bank;
}

std::vector<int> bankDifferences(const Bank& bank, int bankNumber,
                                 std::span<const std::uint8_t> image) {
    const Bank expected = bankFromImage(image, bankNumber);
    std::vector<int> differences;
    for (std::size_t a = 0; a < bank.size(); ++a) {
        if (bank[a] != expected[a]) {
            differences.push_back(static_cast<int>(a));
        }
    }
    return differences;
}

}  // namespace kvn::emu
