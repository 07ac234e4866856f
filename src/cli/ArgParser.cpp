// Argument parsing and help texts.
#include "cli/ArgParser.h"

#include <charconv>
#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>

#include "cli/CliError.h"

namespace kvn::cli {

std::optional<double> parseNumber(const std::string& text) {
    double value = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc{} || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> parseInteger(const std::string& text) {
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

namespace {

constexpr std::size_t kHelpColumn = 26;
constexpr std::size_t kHelpWidth = 80;

// `text` broken into lines that end before kHelpWidth, continued at kHelpColumn.
std::string wrapped(const std::string& text) {
    std::istringstream words(text);
    std::string out;
    std::string word;
    std::size_t column = kHelpColumn;
    while (words >> word) {
        if (column > kHelpColumn && column + 1 + word.size() >= kHelpWidth) {
            out += "\n" + std::string(kHelpColumn, ' ');
            column = kHelpColumn;
        } else if (column > kHelpColumn) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out;
}

std::string rangeText(double minimum, double maximum) {
    std::ostringstream s;
    s << minimum << " to " << maximum;
    return s.str();
}

}  // namespace

std::optional<std::string> ParsedArgs::value(const std::string& name) const {
    const auto it = values.find(name);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string ParsedArgs::positional(std::size_t index, const std::string& fallback) const {
    return index < positionals.size() ? positionals[index] : fallback;
}

double ParsedArgs::numberIn(const std::string& name, double fallback, double minimum,
                            double maximum, bool whole) const {
    const auto text = value(name);
    if (!text) {
        return fallback;
    }
    const auto v = parseNumber(*text);
    if (!v || *v < minimum || *v > maximum || (whole && *v != std::trunc(*v))) {
        throwUsage("--" + name + ": expected a " + (whole ? "whole " : "") + "number from " +
                   rangeText(minimum, maximum) + ", got '" + *text + "'");
    }
    return *v;
}

double ParsedArgs::number(const std::string& name, double fallback, double minimum,
                          double maximum) const {
    return numberIn(name, fallback, minimum, maximum, false);
}

int ParsedArgs::integer(const std::string& name, int fallback, int minimum, int maximum) const {
    return static_cast<int>(numberIn(name, fallback, minimum, maximum, true));
}

std::string ParsedArgs::choice(const std::string& name, const std::string& fallback,
                               const std::vector<std::string>& choices) const {
    const auto text = value(name);
    if (!text) {
        return fallback;
    }
    for (const std::string& c : choices) {
        if (c == *text) {
            return c;
        }
    }
    std::string list;
    for (const std::string& c : choices) {
        list += (list.empty() ? "" : ", ") + c;
    }
    throwUsage("--" + name + ": expected one of " + list + ", got '" + *text + "'");
}

ArgParser::ArgParser(std::string usage, std::string summary)
    : usage_(std::move(usage)), summary_(std::move(summary)) {}

ArgParser& ArgParser::option(const std::string& name, const std::string& valueName,
                             const std::string& help, const std::string& shortName) {
    options_.push_back({name, shortName, valueName, help});
    return *this;
}

ArgParser& ArgParser::flag(const std::string& name, const std::string& help,
                           const std::string& shortName) {
    options_.push_back({name, shortName, {}, help});
    return *this;
}

ArgParser& ArgParser::positional(const std::string& name, const std::string& help, bool required) {
    positionals_.push_back({name, help, required});
    return *this;
}

ArgParser& ArgParser::variadic() {
    variadic_ = true;
    return *this;
}

ArgParser& ArgParser::notes(const std::string& text) {
    notes_ = text;
    return *this;
}

const ArgParser::Option* ArgParser::find(const std::string& word) const {
    for (const Option& o : options_) {
        if (word == "--" + o.name || (!o.shortName.empty() && word == "-" + o.shortName)) {
            return &o;
        }
    }
    return nullptr;
}

ParsedArgs ArgParser::parse(const std::vector<std::string>& args) const {
    ParsedArgs result;
    for (const std::string& a : args) {
        if (a == "--") {
            break;
        }
        if (a == "--help" || a == "-h") {
            result.help = true;
            return result;
        }
    }

    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            result.positionals.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string key = word;
        std::optional<std::string> inlineValue;
        if (const auto eq = word.find('='); word.rfind("--", 0) == 0 && eq != std::string::npos) {
            key = word.substr(0, eq);
            inlineValue = word.substr(eq + 1);
        }
        const Option* o = find(key);
        if (o == nullptr) {
            throwUsage("unknown option " + key + " (see --help)");
        }
        if (o->valueName.empty()) {
            if (inlineValue) {
                throwUsage("--" + o->name + " takes no value");
            }
            result.flags.insert(o->name);
            continue;
        }
        if (inlineValue) {
            result.values[o->name] = *inlineValue;
        } else if (i + 1 < args.size()) {
            result.values[o->name] = args[++i];
        } else {
            throwUsage("--" + o->name + " needs a value (" + o->valueName + ")");
        }
    }

    std::size_t required = 0;
    for (const Positional& p : positionals_) {
        required += p.required ? 1 : 0;
    }
    if (result.positionals.size() < required) {
        throwUsage("missing " + positionals_[result.positionals.size()].name + " (see --help)");
    }
    if (!variadic_ && result.positionals.size() > positionals_.size()) {
        throwUsage("unexpected argument '" + result.positionals[positionals_.size()] +
                   "' (see --help)");
    }
    return result;
}

std::string ArgParser::helpText() const {
    std::ostringstream s;
    s << "Usage: " << usage_ << "\n\n" << summary_ << "\n";
    if (!positionals_.empty()) {
        s << "\nArguments:\n";
        for (const Positional& p : positionals_) {
            s << "  " << std::left << std::setw(24) << p.name << wrapped(p.help) << "\n";
        }
    }
    s << "\nOptions:\n";
    for (const Option& o : options_) {
        std::string left = o.shortName.empty() ? "" : "-" + o.shortName + ", ";
        left += "--" + o.name;
        if (!o.valueName.empty()) {
            left += " " + o.valueName;
        }
        s << "  " << std::left << std::setw(24) << left;
        if (left.size() >= 24) {
            s << "\n" << std::string(26, ' ');
        }
        s << wrapped(o.help) << "\n";
    }
    s << "  " << std::left << std::setw(24) << "-h, --help"
      << "show this help\n";
    if (!notes_.empty()) {
        s << "\n" << notes_ << "\n";
    }
    return s.str();
}

}  // namespace kvn::cli
