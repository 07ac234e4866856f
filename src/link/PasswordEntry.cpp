// Password entry with the processor's keys.
#include "link/PasswordEntry.h"

namespace kvn::link {
namespace {
constexpr std::uint8_t kKeyUp = 1;
constexpr std::uint8_t kKeyDown = 2;
constexpr std::uint8_t kKeyEnter = 3;
constexpr std::uint8_t kActive = 0xFF;
}  // namespace

PasswordEntry::PasswordEntry(bool letterScheme) : letterScheme_(letterScheme) {
    clear();
}

void PasswordEntry::clear() {
    position_ = 0;
    letters_.fill('A');
    block_.fill(0);
    keyText_.clear();
}

void PasswordEntry::step(int delta) {
    char& letter = letters_[static_cast<std::size_t>(position_)];
    letter = static_cast<char>('A' + ((letter - 'A') + delta + 26) % 26);
    block_[static_cast<std::size_t>(position_)] = static_cast<std::uint8_t>(letter);
}

void PasswordEntry::keyPress(std::uint8_t code) {
    block_[static_cast<std::size_t>(position_)] = code;
    keyText_ += '*';
    ++position_;
}

void PasswordEntry::press(int letterStep, std::uint8_t keyCode) {
    if (complete()) {
        return;
    }
    if (letterScheme_) {
        step(letterStep);
    } else {
        keyPress(keyCode);
    }
}

void PasswordEntry::down() {
    press(-1, kKeyDown);
}

void PasswordEntry::up() {
    press(+1, kKeyUp);
}

void PasswordEntry::enter() {
    if (complete()) {
        return;
    }
    if (letterScheme_) {
        block_[static_cast<std::size_t>(position_)] =
            static_cast<std::uint8_t>(letters_[static_cast<std::size_t>(position_)]);
        ++position_;
    } else {
        keyPress(kKeyEnter);
    }
}

void PasswordEntry::toggleActive() {
    block_[kSymbols] = active() ? 0x00 : kActive;
}

std::string PasswordEntry::displayText() const {
    if (!letterScheme_) {
        return keyText_;
    }
    // The letters up to and including the position being entered; after the last ENTER the
    // six letters stay.
    const int shown = complete() ? kSymbols : position_ + 1;
    return std::string(letters_.begin(), letters_.begin() + shown);
}

}  // namespace kvn::link
