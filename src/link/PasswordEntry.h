// The password window's state: six symbols entered with the processor's front-panel keys DOWN,
// UP and ENTER, and the password-active switch. Processors that answer the connection check with
// 50 or more take letters 'A'..'Z' shown in clear; older ones take the key codes UP 1, DOWN 2,
// ENTER 3 shown masked. The result is the 7-byte block of the SetPassword transfer.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvn::link {

class PasswordEntry {
public:
    static constexpr int kSymbols = 6;
    using Block = std::array<std::uint8_t, kSymbols + 1>;

    explicit PasswordEntry(bool letterScheme);

    // As when the window is activated, and the "Clear" button: all letters 'A', first position,
    // password not active.
    void clear();

    // The front-panel keys. Once six symbols are in, further presses change nothing.
    void down();
    void up();
    void enter();
    // The "Password Active" switch.
    void toggleActive();

    bool letterScheme() const { return letterScheme_; }
    int position() const { return position_; }
    // All six symbols are in: OK may be pressed (and the text turns green).
    bool complete() const { return position_ >= kSymbols; }
    bool active() const { return block_[kSymbols] != 0; }
    // What the edit field shows: the letters up to the current position, or one '*' per press.
    std::string displayText() const;
    // Bytes 0..5 the symbols, byte 6 0xFF when the password is active and 0x00 when not.
    const Block& block() const { return block_; }

private:
    void step(int delta);
    void keyPress(std::uint8_t code);
    // DOWN or UP: a letter step in the letter scheme, a key code in the key scheme.
    void press(int letterStep, std::uint8_t keyCode);

    bool letterScheme_;
    int position_ = 0;
    std::array<char, kSymbols> letters_{};
    Block block_{};
    std::string keyText_;
};

}  // namespace kvn::link
