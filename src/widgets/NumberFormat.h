// Number texts of the readouts and edit fields: picture formats such as "0.0", general format with
// N significant digits, the graph position readout, and lenient parsing of typed numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvn::widgets {

// True when `pattern` is a picture format that formatPattern understands: one or more '0' digit
// places, optionally followed by '.' and one or more further '0' places ("0", "00", "0.0", "0.00").
bool isValidPattern(std::string_view pattern);

// `value` written through a picture format: as many decimals as the pattern has places after the
// '.', at least as many integer digits as it has places before it; rounded half away from zero
// on the value's 15-significant-digit decimal form (so 2.675 with "0.00" gives "2.68" and 0.05
// with "0.0" gives "0.1", although neither is exact in binary). A value that rounds to zero is
// written without a minus sign. NaN gives "NAN", infinities "INF" and "-INF". An invalid pattern
// gives the value in general format with 15 digits.
std::string formatPattern(double value, std::string_view pattern);

// `value` in general format with at most `significantDigits` significant digits (1..15; values
// outside are held to that range), rounded half away from zero, trailing zeros and a trailing
// decimal point removed. Fixed notation when the value is 0, or its rounded magnitude is at least
// 0.0001 and its integer part has no more digits than `significantDigits`; otherwise scientific
// notation with an unsigned or '-' exponent and no leading zeros ("1.2346E5", "1E-5").
// formatGeneral(32.0412, 4) == "32.04", formatGeneral(12345.6, 5) == "12346".
std::string formatGeneral(double value, int significantDigits);

// How the value of a graph position readout is written.
enum class ReadoutValue {
    General4,     // general format, 4 significant digits (equaliser, crossover views)
    TwoDecimals,  // fixed, 2 decimals (total response view)
};

// The position readout of the response graphs: the frequency rounded to a whole number (halves to
// even) in general format with 5 significant digits, then " Hz , ", the value as `style` says,
// then `suffix` as given (" dBs", "º ", ...). readoutText(12345.6, -3.14159, General4, " dBs") ==
// "12346 Hz , -3.142 dBs".
std::string readoutText(double frequencyHz, double value, ReadoutValue style,
                        std::string_view suffix);

// A typed real number: optional blanks around it, an optional sign, digits with one decimal
// separator that may be '.' or ',', an optional exponent ("1e3", "2,5E-1"). Anything else, an
// empty text, and values that are not finite give no value.
std::optional<double> parseReal(std::string_view text);

// What a field says about an entry it held to its range: its unit (" Hz", empty for Q) and the
// words for an entry below and above the range.
struct EntryLimits {
    std::string unit;
    std::string below;  // "is below the lowest frequency"
    std::string above;  // "is above the highest frequency"
};

// The status line's sentence for a typed number that was held: the typed number (general format,
// 15 significant digits) with the unit, the words for the side it lay on (above when `typed` >
// `held`), then what the field shows with the unit. heldEntryText(200, 168.82, "168.8",
// {" cm", "is below no delay", "is past the longest delay"}) ==
// "200 cm is past the longest delay, 168.8 cm".
std::string heldEntryText(double typed, double held, std::string_view shown,
                          const EntryLimits& limits);

// The status line's sentence for text that is not a number: "abc is not a number" (the text
// without the blanks around it).
std::string notANumberText(std::string_view typed);

}  // namespace kvn::widgets
