// FRD-style text: rows of numbers, optionally under a header line that names the columns. How
// the file separates its fields and what its commas mean is decided once for the whole file; the
// header, when there is one, says which column holds the frequency, the magnitude and the phase.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/MeasuredPoints.h"

namespace kvn::analysis {

enum class ColumnRole { Other, Frequency, Magnitude, Phase, Impedance };

// What a column's name names, case ignored, tried in this order: an impedance (a name with
// "ohm" or "imped"), a phase ("phase", "deg", "rad"), a frequency ("freq", "hz"), a magnitude
// ("db", "spl", "mag", "level").
ColumnRole columnRole(std::string_view name);

// The header of an FRD-style text: the nearest non-blank line before the first data line, when
// its fields (after a leading '*', '#' or ';') are names, not numbers, at least two of them, and
// they name a frequency and a magnitude, phase or impedance (a line without a comment mark may
// instead begin with the frequency). A header split at blanks must have as many names as the
// first data line has fields; one split at tabs, semicolons or commas is read by position.
struct FrdHeader {
    std::size_t line = 0;  // 0-based
    std::vector<std::string> names;
    bool tabs = false;  // split at tabs: in a tab-separated file every tab ends a field
};
std::optional<FrdHeader> frdHeader(std::span<const std::string_view> lines);

// The names of the magnitude columns of the header, in file order; empty without a header.
std::vector<std::string> frdMagnitudeColumns(std::span<const std::string_view> lines);

struct FrdReading {
    explicit FrdReading(std::string_view path) : points(path) {}
    // Set when the file is refused: names the file and, where there is one, the line.
    std::string refusal;
    MeasuredPoints points;
    bool phaseInDegrees = true;
    // Besides a refusal, what the user is told: the columns read when the header chose them,
    // what commas inside numbers were read as, the rows skipped for want of a value.
    std::vector<std::string> notes;
};

// Reads the rows of an FRD-style text. Lines that begin (after blanks) with a letter, '*', ';',
// '#' or '"' are not rows.
// - Fields: a file whose rows hold a semicolon is separated by semicolons; else one whose rows
//   hold a comma next to a blank, or a comma and no blank, by commas; else by tabs and blanks.
//   Semicolons, commas and (under a header split at tabs) tabs end a field each, so a field can
//   be empty; otherwise runs of blanks and tabs separate.
// - Commas inside numbers (files not separated by commas), decided from every row's fields: a
//   comma followed by exactly three digits (1,000.49, 20,000) is a thousands separator unless
//   the file writes decimal commas elsewhere (20,5) or in a level; decimal commas and decimal
//   points in one file are refused at the first line that breaks the file's rule.
// - Columns: under a header, the first frequency column (in kHz when so named), the magnitude
//   column `column` names (its name, or its 1-based position) or else the first magnitude
//   column, and the phase column beside it (or the only phase column when there is one
//   magnitude column), in radians when its name says "rad"; a header naming impedance but no
//   magnitude is refused as an impedance file. Without a header: frequency, magnitude, optional
//   phase in degrees; `column` may only be a position there.
// - Rows: a row with an empty or missing field in a column read is skipped and counted; a field
//   that is not a number refuses the file with its line.
FrdReading readFrdText(std::span<const std::string_view> lines, std::string_view path,
                       std::string_view column);

}  // namespace kvn::analysis
