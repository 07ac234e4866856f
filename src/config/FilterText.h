// The plain-text filter list that measurement and room-equalisation programs read and write: one
// filter a line ("Filter 1: ON PK Fc 1000 Hz Gain -3.5 dB Q 1.41"), an optional "Preamp: -3 dB"
// line, and any other line a comment (programs put their name, the date and notes there). This
// file reads and writes the text; FilterTextMapping says which equaliser band each filter is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvn {

// The filter types of the text, with the values each takes. Fc is in Hz, Gain in dB.
enum class TextFilterType : std::uint8_t {
    None,  // "None": no filter
    PK,    // peaking: Fc, Gain, Q
    LP,    // second-order Butterworth low-pass: Fc ("LP" with a Q reads as LPQ)
    HP,    // second-order Butterworth high-pass: Fc ("HP" with a Q reads as HPQ)
    LPQ,   // second-order low-pass: Fc, Q
    HPQ,   // second-order high-pass: Fc, Q
    BP,    // band-pass peaking at Fc: Fc, Q, Gain (the peak gain, 0 dB when left out)
    NO,    // notch: Fc, Q
    AP,    // second-order all-pass: Fc, Q
    LS6,   // "LS 6dB": first-order low shelf, Fc where the gain is half the shelf's: Fc, Gain
    HS6,   // "HS 6dB": first-order high shelf, likewise
    LSC,   // "LSC 12 dB": second-order low shelf with a slope in dB per octave, Fc where the gain
           // is half the shelf's; "LS" and "LS 12dB" are "LSC 12 dB"
    HSC,   // "HSC 12 dB": the high shelf; "HS" and "HS 12dB" are "HSC 12 dB"
};

struct TextFilter {
    int line = 0;  // 1-based line of the text it came from (0 for a filter made by the program)
    bool on = true;
    TextFilterType type = TextFilterType::None;
    // The values the type takes (table above); the others are 0. An OFF filter is read as
    // "OFF None": nothing of it reaches the processor, so the rest of its line is not read.
    double frequencyHz = 0.0;
    double gainDb = 0.0;
    double q = 0.0;
    double slopeDb = 0.0;  // LSC and HSC

    bool operator==(const TextFilter&) const = default;
};

struct FilterTextList {
    std::optional<double> preampDb;
    int preampLine = 0;               // the preamp's line of the text, 0 when there is none
    std::vector<TextFilter> filters;  // in the order of the text
};

// A refused line: "line 4: unknown filter type 'XY'" as text().
struct FilterTextProblem {
    int line = 0;  // 0 when the text as a whole is refused
    std::string message;

    std::string text() const;
};

struct FilterTextParse {
    FilterTextList list;                       // empty when refused
    std::optional<FilterTextProblem> problem;  // the first refused line
    // With skipping: the filter and preamp lines that did not read, left out of `list`.
    std::vector<FilterTextProblem> skipped;
};

// Reads a filter list. A line is a filter when its first word is "Filter" followed by a number
// or a colon, and the preamp when its first word is "Preamp"; words are matched without regard
// to case, a number's unit may be written on it ("1000Hz") or after it, and values may come in
// any order. Lines ending in CR LF and a leading UTF-8 byte order mark are read as well. Refused,
// with the first such line named: an ON filter or a preamp line that does not read completely (an
// unknown word, a value given twice, a number that is not one or not finite, a value the type
// needs missing, a gain on a type without one, a slope on a type without one); a line that holds
// a frequency ("Fc 300 Hz") but does not begin as a filter line does (a garbled "Filter 3:");
// a second preamp line; a control character other than tab (the text is not a filter list); a
// text without any filter line. Any other line is a comment (headers such as "Filter Settings
// file", notes).
// With `skipBadLines` the filter and preamp lines that would be refused are left out and listed
// in `skipped` instead; a control character still refuses the whole text.
FilterTextParse parseFilterText(std::string_view text, bool skipBadLines = false);

// The text of `list`: each of `comments` as a "# " line, the preamp line when there is one, then
// "Filter n: ON PK Fc 1000 Hz Gain -3.5 dB Q 1.41" lines numbered from 1, with the values each
// type takes (Fc to 0.01 Hz, Gain and slope to 0.01 dB, Q to 0.0001, trailing zeros dropped).
// Lines end in LF. parseFilterText reads it back to the same filters (to those digits).
std::string writeFilterText(const FilterTextList& list, const std::vector<std::string>& comments);

// `value` with at most `decimals` decimals, trailing zeros dropped, '.' as the decimal point
// ("1000", "-3.5", "0").
std::string filterTextNumber(double value, int decimals);

// "PK", "LS 6dB", "LSC" ...: the type's word as the text writes it.
std::string_view textFilterTypeName(TextFilterType type);

}  // namespace kvn
