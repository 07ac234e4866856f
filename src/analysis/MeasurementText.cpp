// Numbers and lines of measurement export files.
#include "analysis/MeasurementText.h"

#include <charconv>
#include <cmath>

namespace kvn::analysis {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isBlankLine(std::string_view line) {
    return trimBlanks(line).empty();
}

std::string lowered(std::string_view text) {
    std::string s(text);
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return s;
}

namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<double> parseDecimal(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    // Numbers of measurement files are short; a longer field is not a number of ours.
    std::array<char, 64> buffer{};
    if (text.empty() || text.size() >= buffer.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        buffer[i] = text[i] == ',' ? '.' : text[i];
    }
    double value = 0.0;
    const char* end = buffer.data() + text.size();
    const auto [ptr, ec] = std::from_chars(buffer.data(), end, value);
    if (ec != std::errc{} || ptr != end || !(std::abs(value) <= kMeasurementNumberMax)) {
        return std::nullopt;
    }
    return value;
}

bool isFrdSkippedLine(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty()) {
        return true;
    }
    const char c = line.front();
    return c == '*' || c == ';' || c == '#' || c == '"' || isLetter(c);
}

FrdNumbers splitFrdNumbers(std::string_view line) {
    line = trimBlanks(line);
    const bool semicolons = line.find(';') != std::string_view::npos;
    const bool hasBlank = line.find_first_of(" \t") != std::string_view::npos;
    const bool commaNextToBlank =
        line.find(", ") != std::string_view::npos || line.find(" ,") != std::string_view::npos ||
        line.find(",\t") != std::string_view::npos || line.find("\t,") != std::string_view::npos;
    const bool commaSeparates =
        !semicolons && (line.find('.') != std::string_view::npos || commaNextToBlank || !hasBlank);
    const auto isSeparator = [&](char c) {
        return isBlank(c) || c == ';' || (commaSeparates && c == ',');
    };

    FrdNumbers numbers;
    std::size_t pos = 0;
    while (pos < line.size() && numbers.count < 3) {
        while (pos < line.size() && isSeparator(line[pos])) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < line.size() && !isSeparator(line[pos])) {
            ++pos;
        }
        if (pos == start) {
            break;
        }
        const std::optional<double> value = parseDecimal(line.substr(start, pos - start));
        if (!value) {
            numbers.valid = false;
            return numbers;
        }
        numbers.value[static_cast<std::size_t>(numbers.count++)] = *value;
    }
    return numbers;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

}  // namespace kvn::analysis
