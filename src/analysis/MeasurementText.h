// Reading numbers out of measurement export lines: decimal numbers with a point or a comma, the
// free-number lines of FRD-style files, the cutting of a file into lines, and the blanks and
// letter case of their text.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvn::analysis {

// No frequency, level or phase of a measurement comes near this; larger numbers are refused, so
// that the arithmetic on the points stays finite.
inline constexpr double kMeasurementNumberMax = 1e9;

// A blank (space or tab); a line of nothing else is blank.
bool isBlank(char c);
bool isBlankLine(std::string_view line);

// The text with its ASCII capitals made small.
std::string lowered(std::string_view text);

// The text without the blanks (spaces, tabs) at its ends.
std::string_view trimBlanks(std::string_view text);

// A decimal number with blanks (spaces, tabs) around it allowed; a decimal comma reads as a
// point; a leading '+' is allowed. Nothing for empty text, trailing garbage, or a value beyond
// +-kMeasurementNumberMax (so "inf" and "nan" are refused too).
std::optional<double> parseDecimal(std::string_view text);

// An FRD-style line that carries no data: blank, or (after leading blanks) beginning with '*',
// ';', '#', '"' or a letter (comment and column-header lines).
bool isFrdSkippedLine(std::string_view line);

// The first numbers of an FRD-style data line (frequency, magnitude, phase). Fields are separated
// by blanks or tabs, and by commas unless the commas are decimal commas: a line with a semicolon
// separates by semicolons and reads its commas as decimal commas; a line with a point, or with a
// comma next to a blank, or without any blank separates by commas; otherwise ("100,5 85,25") the
// commas are decimal. Up to three fields are read, further ones ignored. `count` is the number
// of fields read; `valid` is false when one of them is not a number.
struct FrdNumbers {
    std::array<double, 3> value{};
    int count = 0;
    bool valid = true;
};
FrdNumbers splitFrdNumbers(std::string_view line);

// The lines of a text, without their ends ("\r\n", "\n" or a lone "\r"); a UTF-8 byte-order mark
// at the start is dropped. A final line end does not start another (empty) line.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace kvn::analysis
