// Numbers and texts as the program's JSON documents and field listings write them, so that a
// preset shown by the command line, compared after a memory write and kept in a backup manifest
// reads the same everywhere.
#pragma once

#include <string>
#include <string_view>

namespace kvn {

enum class JsonNumbers {
    Shortest,  // the shortest text that reads back as the same double (preset documents)
    Digits17,  // 17 significant digits (design and response figures)
};

// One number: whole numbers below 2^53 in magnitude without a fraction in both modes,
// non-finite numbers as null.
std::string jsonNumber(double value, JsonNumbers numbers);

// `utf8` as a JSON string with its quotes: '"', '\' and control characters escaped, everything
// else (UTF-8 sequences included) kept as it is.
std::string jsonQuoted(std::string_view utf8);

}  // namespace kvn
