// Number encodings of the memory image and the real-time messages.
#include "config/Encodings.h"

#include <algorithm>
#include <cmath>

namespace kvn {
namespace {
constexpr double kFixedScale = 1048576.0;  // 2^20
constexpr std::int32_t kFixedMax = 0x1FFFFF;
constexpr std::int32_t kFixedMin = -0x200000;
}  // namespace

Word encodeFixedWord(double x) {
    std::int32_t v = 0;
    if (!std::isnan(x)) {
        const double scaled = std::trunc(x * kFixedScale);
        v = scaled >= kFixedMax   ? kFixedMax
            : scaled <= kFixedMin ? kFixedMin
                                  : static_cast<std::int32_t>(scaled);
    }
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>((u >> 16) & 0x3F), static_cast<std::uint8_t>((u >> 8) & 0xFF),
            static_cast<std::uint8_t>(u & 0xFF)};
}

double decodeFixedWord(const Word& word) {
    std::int32_t v = (static_cast<std::int32_t>(word[0] & 0x3F) << 16) |
                     (static_cast<std::int32_t>(word[1]) << 8) | word[2];
    if (v & 0x200000) {
        v -= 0x400000;
    }
    return v / kFixedScale;
}

std::string wordText(const Word& word) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : word) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

Word encodeIntegerWord(int n) {
    const int v = std::clamp(n, 0, 0xFFFF);
    return {0x00, static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v & 0xFF)};
}

int decodeIntegerWord(const Word& word) {
    return (word[1] << 8) | word[2];
}

std::array<std::uint8_t, 2> encodeField16(int n) {
    const int v = std::clamp(n, 0, 0xFFFF);
    return {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v & 0xFF)};
}

int decodeField16(std::uint8_t high, std::uint8_t low) {
    return (high << 8) | low;
}

std::uint8_t encodeByteField(int n) {
    return static_cast<std::uint8_t>(std::clamp(n, 0, 0xFF));
}

}  // namespace kvn
