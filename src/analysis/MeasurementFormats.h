// The export formats of acoustic measurement programs that the import reads: one table of their
// codes, header checks, columns, phase units and names, and the recognition of a file's format
// from its first lines.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvn::analysis {

// Format codes as the preset stores them (`MeasurementFormat`). Code 5 is not used.
enum MeasurementFormatCode : int {
    kFormatClio = 0,
    kFormatMlssa = 1,
    kFormatWinAir = 2,
    kFormatSmaart = 3,
    kFormatMinilyzerDbu = 4,
    kFormatCalsod = 6,
    kFormatDaas32 = 7,
    kFormatLspLab = 8,
    kFormatAcoustilyzerThird = 9,
    kFormatAcoustilyzerFft = 10,
    kFormatFrd = 11,
};
// Not a stored code: pick the format from the file's header (fixed headers first, then FRD).
inline constexpr int kFormatAuto = -1;

// How the data lines are cut into numbers.
enum class DataLayout {
    FixedColumns,  // character columns, 1-based, both ends included
    TabSeparated,  // frequency, tab, magnitude, tab, then 15 characters of phase
    FreeNumbers,   // FRD: numbers separated by blanks, tabs, commas or semicolons
};

enum class PhaseUnit { None, Degrees, AsRead };
enum class LevelUnit { Db, Dbu };

struct Column {
    int first = 0;  // 1-based character positions, both ends included; 0 = no such column
    int last = 0;
};

struct MeasurementLayout {
    int code;
    // The button's text in the import window; empty: the format has no (visible) button.
    const char* buttonLabel;
    // The format's name in the "is not a valid ... exported data file." message.
    const char* messageName;
    int headerLines;
    DataLayout layout;
    Column frequency;
    Column magnitude;
    Column phase;
    PhaseUnit phaseUnit;
    LevelUnit levelUnit;
};

// Every layout, in code order; code 0 has two (the second CLIO layout follows the first).
std::span<const MeasurementLayout> measurementLayouts();
// The first layout of a code, or nullptr for a code that is not a format (5, negatives, >11).
const MeasurementLayout* measurementLayout(int code);
bool isMeasurementFormat(int code);

// The file dialog's filter for a format, as description and pattern pairs separated by '|'
// ("exported data *.txt|*.txt|all *.*|*.*"); several patterns of one pair are separated by ';'.
std::string measurementFileFilter(int code);

// The layout a file's lines are read with when they are checked against `code`: nullptr when
// the header does not match (formats 9, 10 and FRD accept any header; FRD lines are checked as
// data). With kFormatAuto the fixed headers are tried first (a CALSOD header reads as code 6),
// then FRD: a header line names the columns (see FrdTable.h), or the first line that is not a
// comment or header holds at least two numbers; formats
// 9 and 10 are never guessed. `lines` are the file's lines without their line ends.
const MeasurementLayout* recogniseMeasurement(std::span<const std::string_view> lines, int code);

}  // namespace kvn::analysis
