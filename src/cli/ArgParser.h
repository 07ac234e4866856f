// The argument parser of every command: options (`--name VALUE`, `--name=VALUE`, `--flag`, short
// aliases such as `-o`), positional arguments, `--help`, and the help text built from the same
// description. Problems are usage errors (exit status 1) that name the argument.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kvn::cli {

class ParsedArgs {
public:
    bool help = false;
    std::vector<std::string> positionals;
    std::map<std::string, std::string> values;  // option name (without "--") -> value
    std::set<std::string> flags;

    bool has(const std::string& name) const { return flags.count(name) || values.count(name); }
    std::optional<std::string> value(const std::string& name) const;
    // The positional argument `index`, or `fallback` when fewer were given.
    std::string positional(std::size_t index, const std::string& fallback = {}) const;

    // The option's value as a finite number in [minimum, maximum], or `fallback` when the option
    // is absent. Anything else is a usage error naming the option and the range.
    double number(const std::string& name, double fallback, double minimum, double maximum) const;
    // The same for a whole number.
    int integer(const std::string& name, int fallback, int minimum, int maximum) const;
    // The option's value, which must be one of `choices`; `fallback` when absent.
    std::string choice(const std::string& name, const std::string& fallback,
                       const std::vector<std::string>& choices) const;

private:
    double numberIn(const std::string& name, double fallback, double minimum, double maximum,
                    bool whole) const;
};

// `text` as a finite number, or nothing (no leading or trailing garbage, no "nan" or "inf").
std::optional<double> parseNumber(const std::string& text);
// `text` as a whole number in int range, or nothing.
std::optional<int> parseInteger(const std::string& text);

class ArgParser {
public:
    // `usage` is the synopsis after "Usage: " ("kvn350 preset show FILE.KV2 [--json]"); `summary`
    // says in a sentence or two what the command does.
    ArgParser(std::string usage, std::string summary);

    // An option taking a value shown as `valueName` in the help.
    ArgParser& option(const std::string& name, const std::string& valueName,
                      const std::string& help, const std::string& shortName = {});
    // An option without a value.
    ArgParser& flag(const std::string& name, const std::string& help,
                    const std::string& shortName = {});
    // A positional argument; optional ones follow the required ones.
    ArgParser& positional(const std::string& name, const std::string& help, bool required = true);
    // Allows any number of further positional arguments after the declared ones.
    ArgParser& variadic();
    // A closing paragraph of the help (exit status, examples).
    ArgParser& notes(const std::string& text);

    // Parses `args` (the words after the command's name). With `--help` (or `-h`) anywhere before
    // a `--`, the result has `help` set and nothing else is checked.
    ParsedArgs parse(const std::vector<std::string>& args) const;
    std::string helpText() const;

private:
    struct Option {
        std::string name;
        std::string shortName;
        std::string valueName;  // empty for a flag
        std::string help;
    };
    struct Positional {
        std::string name;
        std::string help;
        bool required;
    };
    const Option* find(const std::string& word) const;

    std::string usage_;
    std::string summary_;
    std::vector<Option> options_;
    std::vector<Positional> positionals_;
    bool variadic_ = false;
    std::string notes_;
};

}  // namespace kvn::cli
