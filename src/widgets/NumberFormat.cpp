// Number texts of the readouts and edit fields.
#include "widgets/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kvn::widgets {

namespace {

constexpr int kDecimalDigits = 15;

// A finite value as decimal digits: |value| = d0.d1d2... x 10^exponent.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool isZero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

// The 15 significant digits are the value as it was meant: binary noise below them (2.675 is
// stored as 2.67499999...) must not decide a rounding that the user sees.
Decimal toDecimal(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.*e", kDecimalDigits - 1, std::fabs(value));
    Decimal d;
    d.negative = std::signbit(value);
    const std::string text(buffer);
    const auto ePos = text.find('e');
    for (std::size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.') {
            d.digits.push_back(text[i]);
        }
    }
    d.exponent = std::atoi(text.c_str() + ePos + 1);
    if (d.isZero()) {
        d.exponent = 0;
    }
    return d;
}

// Keeps `keep` significant digits, rounding half away from zero; keep <= 0 rounds at a position
// before the first digit.
void roundToSignificant(Decimal& d, int keep) {
    if (keep >= static_cast<int>(d.digits.size())) {
        return;
    }
    if (keep < 0) {
        d.digits = "0";
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (!up) {
        if (d.digits.empty()) {
            d.digits = "0";
            d.exponent = 0;
        }
        return;
    }
    int i = keep - 1;
    for (; i >= 0; --i) {
        auto& c = d.digits[static_cast<std::size_t>(i)];
        if (c == '9') {
            c = '0';
        } else {
            ++c;
            break;
        }
    }
    if (i < 0) {
        d.digits.insert(d.digits.begin(), '1');
        d.digits.pop_back();
        if (d.digits.empty()) {
            d.digits = "1";
        }
        ++d.exponent;
    }
}

// Digit k of the decimal, counting the units digit as position 0 and tenths as -1.
char digitAt(const Decimal& d, int position) {
    const int index = d.exponent - position;
    if (index < 0 || index >= static_cast<int>(d.digits.size())) {
        return '0';
    }
    return d.digits[static_cast<std::size_t>(index)];
}

std::string nonFinite(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    return value < 0 ? "-INF" : "INF";
}

}  // namespace

bool isValidPattern(std::string_view pattern) {
    const auto point = pattern.find('.');
    const auto intPart = pattern.substr(0, point);
    const auto fracPart =
        point == std::string_view::npos ? std::string_view{} : pattern.substr(point + 1);
    const auto onlyZeros = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c == '0'; });
    };
    return !intPart.empty() && onlyZeros(intPart) && onlyZeros(fracPart) &&
           (point == std::string_view::npos || !fracPart.empty());
}

std::string formatPattern(double value, std::string_view pattern) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    if (!isValidPattern(pattern)) {
        return formatGeneral(value, kDecimalDigits);
    }
    const auto point = pattern.find('.');
    const int intPlaces =
        static_cast<int>(point == std::string_view::npos ? pattern.size() : point);
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);

    Decimal d = toDecimal(value);
    if (!d.isZero()) {
        roundToSignificant(d, d.exponent + 1 + decimals);
    }
    std::string text;
    if (!d.isZero() && d.negative) {
        text.push_back('-');
    }
    const int highest = std::max(d.isZero() ? 0 : d.exponent, intPlaces - 1);
    for (int position = highest; position >= 0; --position) {
        text.push_back(digitAt(d, position));
    }
    if (decimals > 0) {
        text.push_back('.');
        for (int position = -1; position >= -decimals; --position) {
            text.push_back(digitAt(d, position));
        }
    }
    return text;
}

std::string formatGeneral(double value, int significantDigits) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    const int precision = std::clamp(significantDigits, 1, kDecimalDigits);
    Decimal d = toDecimal(value);
    if (d.isZero()) {
        return "0";
    }
    roundToSignificant(d, precision);
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    std::string text = d.negative ? "-" : "";
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent >= -4 && d.exponent < precision) {
        const int lowest = std::min(0, d.exponent - count + 1);
        for (int position = std::max(0, d.exponent); position >= lowest; --position) {
            if (position == -1) {
                text.push_back('.');
            }
            text.push_back(digitAt(d, position));
        }
        return text;
    }
    text.push_back(d.digits[0]);
    if (count > 1) {
        text.push_back('.');
        text.append(d.digits, 1);
    }
    text.push_back('E');
    text.append(std::to_string(d.exponent));
    return text;
}

std::string readoutText(double frequencyHz, double value, ReadoutValue style,
                        std::string_view suffix) {
    // nearbyint rounds halves to even in the default rounding mode, as user values are rounded.
    std::string text = formatGeneral(std::nearbyint(frequencyHz), 5);
    text.append(" Hz , ");
    text.append(style == ReadoutValue::General4 ? formatGeneral(value, 4)
                                                : formatPattern(value, "0.00"));
    text.append(suffix);
    return text;
}

std::optional<double> parseReal(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    std::string normal;
    std::size_t i = 0;
    const auto digitsFrom = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            normal.push_back(text[i++]);
        }
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            normal.push_back('-');
        }
        ++i;
    }
    std::size_t mantissaDigits = digitsFrom();
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        normal.push_back('.');
        ++i;
        mantissaDigits += digitsFrom();
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            normal.push_back(text[i++]);
        }
        if (digitsFrom() == 0) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    double result = 0.0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), result);
    if (error != std::errc() || end != normal.data() + normal.size() || !std::isfinite(result)) {
        return std::nullopt;
    }
    return result;
}

std::string heldEntryText(double typed, double held, std::string_view shown,
                          const EntryLimits& limits) {
    std::string text = formatGeneral(typed, 15);
    text.append(limits.unit).append(" ").append(typed > held ? limits.above : limits.below);
    text.append(", ").append(shown).append(limits.unit);
    return text;
}

std::string notANumberText(std::string_view typed) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!typed.empty() && blank(typed.front())) {
        typed.remove_prefix(1);
    }
    while (!typed.empty() && blank(typed.back())) {
        typed.remove_suffix(1);
    }
    return std::string(typed) + " is not a number";
}

}  // namespace kvn::widgets
