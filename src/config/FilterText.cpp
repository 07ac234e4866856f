// Reading and writing the filter text.
#include "config/FilterText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kvn {
namespace {

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

// A whole token as a finite number; '+' may lead.
std::optional<double> number(std::string_view token) {
    if (!token.empty() && token.front() == '+') {
        token.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (token.empty() || error != std::errc() || end != token.data() + token.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool isUnit(std::string_view word) {
    return sameWord(word, "Hz") || sameWord(word, "dB");
}

// The words of a line, with ':' a word of its own and a unit written on its number ("1000Hz",
// "6dB") split from it.
std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (line[i] == ':') {
            out.push_back(line.substr(i, 1));
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ':') {
            ++end;
        }
        std::string_view word = line.substr(i, end - i);
        i = end;
        if (word.size() > 2 && isUnit(word.substr(word.size() - 2)) &&
            number(word.substr(0, word.size() - 2))) {
            out.push_back(word.substr(0, word.size() - 2));
            out.push_back(word.substr(word.size() - 2));
        } else {
            out.push_back(word);
        }
    }
    return out;
}

struct TypeWord {
    std::string_view word;
    TextFilterType type;
};

// "LS" and "HS" stand for their 6 or 12 dB forms and are settled once the slope is read.
constexpr std::array<TypeWord, 13> kTypeWords = {{
    {"None", TextFilterType::None},
    {"PK", TextFilterType::PK},
    {"LP", TextFilterType::LP},
    {"HP", TextFilterType::HP},
    {"LPQ", TextFilterType::LPQ},
    {"HPQ", TextFilterType::HPQ},
    {"BP", TextFilterType::BP},
    {"NO", TextFilterType::NO},
    {"AP", TextFilterType::AP},
    {"LS", TextFilterType::LS6},
    {"HS", TextFilterType::HS6},
    {"LSC", TextFilterType::LSC},
    {"HSC", TextFilterType::HSC},
}};

struct Refused {
    std::string message;
};

struct Fields {
    std::optional<double> fc;
    std::optional<double> gain;
    std::optional<double> q;
    std::optional<double> slope;
};

// Reads "Fc 1000 Hz", "Gain -3 dB", "Q 1.4" in any order from `at`.
Fields readFields(const std::vector<std::string_view>& w, std::size_t at, Fields f) {
    while (at < w.size()) {
        const std::string_view name = w[at];
        std::optional<double>* slot = nullptr;
        std::string_view unit;
        if (sameWord(name, "Fc")) {
            slot = &f.fc;
            unit = "Hz";
        } else if (sameWord(name, "Gain")) {
            slot = &f.gain;
            unit = "dB";
        } else if (sameWord(name, "Q")) {
            slot = &f.q;
        } else {
            throw Refused{"unexpected '" + std::string(name) + "'"};
        }
        if (slot->has_value()) {
            throw Refused{"'" + std::string(name) + "' is given twice"};
        }
        if (at + 1 >= w.size()) {
            throw Refused{"'" + std::string(name) + "' has no value"};
        }
        *slot = number(w[at + 1]);
        if (!slot->has_value()) {
            throw Refused{"'" + std::string(w[at + 1]) + "' after '" + std::string(name) +
                          "' is not a number"};
        }
        at += 2;
        if (!unit.empty() && at < w.size() && sameWord(w[at], unit)) {
            ++at;
        }
    }
    return f;
}

std::string needs(TextFilterType type, const char* what) {
    return std::string(textFilterTypeName(type)) + " needs " + what;
}

// Settles the type from the values given and checks that the type has what it needs.
TextFilter settle(TextFilterType type, const Fields& f) {
    TextFilter out;
    using T = TextFilterType;
    if (type == T::LS6 || type == T::HS6) {
        // Plain "LS" is the 12 dB shelf; "LS 6dB" the first-order one.
        const double slope = f.slope.value_or(12.0);
        if (slope != 6.0 && slope != 12.0) {
            throw Refused{std::string(type == T::LS6 ? "LS" : "HS") +
                          " takes a slope of 6 or 12 dB (LSC and HSC take any slope)"};
        }
        if (slope == 12.0) {
            type = type == T::LS6 ? T::LSC : T::HSC;
        }
    }
    if ((type == T::LP || type == T::HP) && f.q) {
        type = type == T::LP ? T::LPQ : T::HPQ;
    }
    out.type = type;
    if (type == T::None) {
        return out;
    }
    const bool hasGain = type == T::PK || type == T::BP || type == T::LS6 || type == T::HS6 ||
                         type == T::LSC || type == T::HSC;
    const bool hasQ = type != T::LP && type != T::HP && type != T::LS6 && type != T::HS6 &&
                      type != T::LSC && type != T::HSC;
    const bool needsGain = hasGain && type != T::BP;
    if (!f.fc) {
        throw Refused{needs(type, "Fc")};
    }
    if (needsGain && !f.gain) {
        throw Refused{needs(type, "a Gain")};
    }
    if (hasQ && !f.q) {
        throw Refused{needs(type, "a Q")};
    }
    if (!hasQ && f.q) {
        throw Refused{std::string(textFilterTypeName(type)) +
                      " takes no Q (LSC and HSC take a slope in dB)"};
    }
    if (!hasGain && f.gain && *f.gain != 0.0) {
        throw Refused{std::string(textFilterTypeName(type)) + " has no gain"};
    }
    out.frequencyHz = *f.fc;
    out.gainDb = hasGain ? f.gain.value_or(0.0) : 0.0;
    out.q = hasQ ? *f.q : 0.0;
    if (type == T::LSC || type == T::HSC) {
        out.slopeDb = f.slope.value_or(12.0);
    }
    return out;
}

// "Filter 1: ON PK Fc 1000 Hz ..." from the word after the colon.
TextFilter readFilter(const std::vector<std::string_view>& w, std::size_t at) {
    if (at >= w.size() || (!sameWord(w[at], "ON") && !sameWord(w[at], "OFF"))) {
        throw Refused{"expected ON or OFF" +
                      (at < w.size() ? ", found '" + std::string(w[at]) + "'" : std::string())};
    }
    if (!sameWord(w[at], "ON")) {
        // Nothing of an OFF filter reaches the processor, whatever its type and values.
        TextFilter off;
        off.on = false;
        return off;
    }
    ++at;
    if (at >= w.size()) {
        throw Refused{"the filter type is missing"};
    }
    const auto type = std::find_if(kTypeWords.begin(), kTypeWords.end(),
                                   [&](const TypeWord& t) { return sameWord(t.word, w[at]); });
    if (type == kTypeWords.end()) {
        throw Refused{"unknown filter type '" + std::string(w[at]) + "'"};
    }
    ++at;
    Fields f;
    const bool shelf = type->type == TextFilterType::LS6 || type->type == TextFilterType::HS6 ||
                       type->type == TextFilterType::LSC || type->type == TextFilterType::HSC;
    if (shelf && at + 1 < w.size() && number(w[at]) && sameWord(w[at + 1], "dB")) {
        f.slope = number(w[at]);
        at += 2;
    } else if (type->type == TextFilterType::LSC || type->type == TextFilterType::HSC) {
        throw Refused{needs(type->type, "a slope in dB (\"LSC 12 dB\")")};
    }
    return settle(type->type, readFields(w, at, f));
}

// The number after "Filter", or after it on the same word ("Filter1"); true for a filter line.
bool filterLine(const std::vector<std::string_view>& w, std::size_t& next) {
    if (w.empty()) {
        return false;
    }
    if (w[0].size() > 6 && sameWord(w[0].substr(0, 6), "Filter") && number(w[0].substr(6))) {
        next = 1;
        return true;
    }
    if (!sameWord(w[0], "Filter") || w.size() < 2) {
        return false;
    }
    if (w[1] == ":") {
        next = 1;
        return true;
    }
    if (number(w[1])) {
        next = 2;
        return true;
    }
    return false;
}

// "Fc 300 Hz" somewhere in the line: a filter line, even when its start is garbled.
bool holdsFrequency(const std::vector<std::string_view>& w) {
    for (std::size_t i = 0; i + 2 < w.size(); ++i) {
        if (sameWord(w[i], "Fc") && number(w[i + 1]) && sameWord(w[i + 2], "Hz")) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string filterTextNumber(double value, int decimals) {
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
    std::string text(buffer.data());
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

std::string FilterTextProblem::text() const {
    return line > 0 ? "line " + std::to_string(line) + ": " + message : message;
}

std::string_view textFilterTypeName(TextFilterType type) {
    switch (type) {
        case TextFilterType::LS6:
            return "LS 6dB";
        case TextFilterType::HS6:
            return "HS 6dB";
        default:
            for (const TypeWord& t : kTypeWords) {
                if (t.type == type) {
                    return t.word;
                }
            }
            return "None";
    }
}

FilterTextParse parseFilterText(std::string_view text, bool skipBadLines) {
    FilterTextParse result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    int preampLine = 0;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        ++lineNumber;
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const auto control = std::find_if(line.begin(), line.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 && c != '\t';
        });
        if (control != line.end()) {
            std::array<char, 8> code{};
            std::snprintf(code.data(), code.size(), "0x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(*control)));
            result.list = {};
            result.skipped.clear();
            result.problem =
                FilterTextProblem{lineNumber, std::string("not a filter list (control character ") +
                                                  code.data() + ")"};
            return result;
        }
        try {
            const std::vector<std::string_view> w = words(line);
            std::size_t next = 0;
            if (filterLine(w, next)) {
                if (next >= w.size() || w[next] != ":") {
                    throw Refused{"expected ':' after the filter number"};
                }
                TextFilter filter = readFilter(w, next + 1);
                filter.line = lineNumber;
                result.list.filters.push_back(filter);
            } else if (!w.empty() && sameWord(w[0], "Preamp")) {
                if (preampLine != 0) {
                    throw Refused{"a second Preamp line (the first is line " +
                                  std::to_string(preampLine) + ")"};
                }
                const std::size_t n = w.size();
                const bool unit = n == 4 && sameWord(w[3], "dB");
                if (n < 3 || w[1] != ":" || !number(w[2]) || (n != 3 && !unit)) {
                    throw Refused{"expected 'Preamp: -3.5 dB'"};
                }
                result.list.preampDb = number(w[2]);
                result.list.preampLine = preampLine = lineNumber;
            } else if (holdsFrequency(w)) {
                throw Refused{
                    "holds 'Fc ... Hz' but does not begin as a filter line "
                    "('Filter 3: ON PK ...')"};
            }
        } catch (const Refused& refused) {
            if (skipBadLines) {
                result.skipped.push_back({lineNumber, refused.message});
                continue;
            }
            result.list = {};
            result.problem = FilterTextProblem{lineNumber, refused.message};
            return result;
        }
    }
    if (result.list.filters.empty()) {
        result.list = {};
        result.problem =
            FilterTextProblem{0,
                              "no filter lines (such as 'Filter 1: ON PK Fc 1000 Hz Gain "
                              "-3.5 dB Q 1.41')"};
    }
    return result;
}

std::string writeFilterText(const FilterTextList& list, const std::vector<std::string>& comments) {
    std::string out;
    for (const std::string& c : comments) {
        out += "# " + c + "\n";
    }
    if (list.preampDb) {
        out += "Preamp: " + filterTextNumber(*list.preampDb, 2) + " dB\n";
    }
    int number = 0;
    for (const TextFilter& f : list.filters) {
        using T = TextFilterType;
        out += "Filter " + std::to_string(++number) + ": " + (f.on ? "ON " : "OFF ");
        if (f.type == T::LSC || f.type == T::HSC) {
            out += std::string(textFilterTypeName(f.type)) + " " + filterTextNumber(f.slopeDb, 2) +
                   " dB";
        } else {
            out += textFilterTypeName(f.type);
        }
        if (f.type == T::None) {
            out += "\n";
            continue;
        }
        out += " Fc " + filterTextNumber(f.frequencyHz, 2) + " Hz";
        const bool gain = f.type == T::PK || f.type == T::LS6 || f.type == T::HS6 ||
                          f.type == T::LSC || f.type == T::HSC ||
                          (f.type == T::BP && f.gainDb != 0.0);
        if (gain) {
            out += " Gain " + filterTextNumber(f.gainDb, 2) + " dB";
        }
        const bool q = f.type == T::PK || f.type == T::LPQ || f.type == T::HPQ || f.type == T::BP ||
                       f.type == T::NO || f.type == T::AP;
        if (q) {
            out += " Q " + filterTextNumber(f.q, 4);
        }
        out += "\n";
    }
    return out;
}

}  // namespace kvn
