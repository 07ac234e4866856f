// Bytes written as hex digits, two a byte, with blanks between bytes or not: hex("07 FC CB"),
// hex("8420"). Anything else in the text is a fault of the test and throws.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvn::test {

inline std::vector<std::uint8_t> hex(std::string_view text) {
    std::string digits;
    for (const char c : text) {
        if (c != ' ' && c != '\t') {
            digits += c;
        }
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const char* end = digits.data() + std::min(i + 2, digits.size());
        std::uint8_t byte = 0;
        const auto [stop, error] = std::from_chars(digits.data() + i, end, byte, 16);
        if (error != std::errc() || stop != end || end - (digits.data() + i) != 2) {
            throw std::invalid_argument("not hex bytes: " + std::string(text));
        }
        bytes.push_back(byte);
    }
    return bytes;
}

}  // namespace kvn::test
