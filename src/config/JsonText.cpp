// JSON numbers and strings.
#include "config/JsonText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kvn {
namespace {

constexpr double kExactIntegerLimit = 9007199254740992.0;  // 2^53

}  // namespace

std::string jsonNumber(double value, JsonNumbers numbers) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::array<char, 64> buffer{};
    if (value == std::trunc(value) && std::abs(value) < kExactIntegerLimit) {
        const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                             static_cast<long long>(value));
        (void)ec;
        return std::string(buffer.data(), end);
    }
    if (numbers == JsonNumbers::Digits17) {
        const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                             std::chars_format::general, 17);
        (void)ec;
        return std::string(buffer.data(), end);
    }
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    (void)ec;
    return std::string(buffer.data(), end);
}

std::string jsonQuoted(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    std::array<char, 8> buffer{};
                    std::snprintf(buffer.data(), buffer.size(), "\\u%04x", c);
                    out += buffer.data();
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace kvn
