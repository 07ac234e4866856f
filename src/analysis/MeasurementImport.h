// The measured loudspeaker response of each output: reading a measurement export file,
// resampling it onto the response grid, and the import of the three outputs' files that the
// import window's OK, Open, New and the output copy run.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/MeasurementFormats.h"
#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

namespace kvn::analysis {

inline constexpr double kDefaultReferenceDb = 90.0;
inline constexpr double kDefaultMicMvPerPa = 20.0;
inline constexpr double kMicMvPerPaMin = 1.0;
inline constexpr double kMicMvPerPaMax = 999.0;
inline constexpr double kReferenceDbMin = -140.0;
inline constexpr double kReferenceDbMax = 140.0;
// Grid points outside the measured range read this level and phase 0.
inline constexpr float kOutsideMeasurementDb = -140.0f;
// Larger files are refused before they are read.
inline constexpr std::uintmax_t kMeasurementFileMaxBytes = 50u * 1024u * 1024u;

inline constexpr std::string_view kNotEnoughMemoryText =
    "Not enough memory. Please close the others programs.";

struct MeasurementSettings {
    MeasurementSettings(int formatCode = kFormatAuto, double referenceLevelDb = kDefaultReferenceDb,
                        double micSensitivityVoltsPerPa = kDefaultMicMvPerPa / 1000.0)
        : format(formatCode),
          referenceDb(referenceLevelDb),
          micVoltsPerPa(micSensitivityVoltsPerPa) {}

    int format = kFormatAuto;  // a format code or kFormatAuto
    double referenceDb = kDefaultReferenceDb;
    // The dBu format's microphone, held to 1..999 mV/Pa.
    double micVoltsPerPa = kDefaultMicMvPerPa / 1000.0;
    // In a text file whose header line names its columns: the column read as the magnitude, by
    // its name or its 1-based index. Empty: the first magnitude column.
    std::string column;
};

// The settings a configuration names: its format and reference level, with the microphone of
// the "Input Sensitivity" window (which the preset does not keep).
MeasurementSettings measurementSettings(const ProcessorConfig& config, double micMvPerPa);

enum class MeasurementStatus {
    Imported,
    Unreadable,   // the file could not be opened or read: skipped without a message
    Rejected,     // wrong header, malformed or unusable data: `message` says why
    OutOfMemory,  // `message` is kNotEnoughMemoryText; the whole import ends
};

struct MeasurementResult {
    MeasurementStatus status = MeasurementStatus::Unreadable;
    int format = kFormatAuto;  // the code the file was read with (Imported only)
    // Magnitude in dB relative to the reference level, phase in radians; all zeros unless
    // Imported.
    ResponseCurve curve;
    // Why the file was refused (Rejected, OutOfMemory).
    std::string message;
    // Besides a refusal, what the user is told of an import (Imported only): the columns read
    // when a header chose them, what commas inside numbers were read as, "N rows without a
    // value skipped", a measured range of less than one octave of the grid.
    std::vector<std::string> notes;
};

// Step 7 of the import: the measured points (frequencies rising or equal, at least two) onto
// grid points 0..GridLast by linear interpolation between neighbouring points, minus
// `referenceDb` for the magnitude; a phase in degrees is turned into radians. Grid points below
// the first or above the last measured frequency read kOutsideMeasurementDb and phase 0; a grid
// point on a segment of zero width takes the later point.
void resampleOntoGrid(std::span<const double> hz, std::span<const double> db,
                      std::span<const double> phase, double referenceDb, bool phaseInDegrees,
                      ResponseCurve& out);

// Recognises and reads the text of one file. `path` names the file in messages; with FRD or
// Auto a name ending in ".zma" is refused as an impedance file. FRD-style text is read by
// readFrdText (FrdTable.h) with `settings.column`; the other formats read their fixed columns
// and ignore the column (saying so in a note). Refused (Rejected, flat curve; the message names
// the file, and the line counted from 1 where one is at fault): a header that does not match
// the format, a data line that is not numbers, a level beyond +-kMeasuredDbMax, a negative
// frequency, frequencies that go down, fewer than two points, every point at one frequency, no
// point inside the grid's range. Blank lines are skipped. A format code the table does not know
// reads as kFormatAuto.
MeasurementResult parseMeasurement(std::string_view text, std::string_view path,
                                   const MeasurementSettings& settings);

// Reads the file at `path` and parses it; Unreadable when it cannot be opened or read; Rejected
// without reading when it is larger than kMeasurementFileMaxBytes.
MeasurementResult readMeasurement(const std::string& path, const MeasurementSettings& settings);

// The magnitude columns the header of the text file at `path` names (FrdTable.h), read from its
// first 256 KiB; empty for a file without such a header or one that cannot be read.
std::vector<std::string> readMagnitudeColumns(const std::string& path);

// "PATH: cannot be read": a file named for import that cannot be opened or read.
std::string unreadableText(std::string_view path);

// The file an import reads for a stored path that cannot be read: the name after the last
// backslash or slash, in `fallbackFolder`. Empty when there is no folder or no name.
std::string fallbackMeasurementPath(std::string_view storedPath, const std::string& fallbackFolder);

struct MeasurementImport {
    // Each output's measured curve (index 0 = Output 1); zeros for an empty path, an unreadable
    // or a rejected file.
    std::array<ResponseCurve, kOutputCount> curves{};
    // The format each output's file was read with, kFormatAuto when none was imported.
    std::array<int, kOutputCount> formats{kFormatAuto, kFormatAuto, kFormatAuto};
    // What became of each output's file; Unreadable also for an empty path and for the outputs
    // after an OutOfMemory.
    std::array<MeasurementStatus, kOutputCount> statuses{MeasurementStatus::Unreadable,
                                                         MeasurementStatus::Unreadable,
                                                         MeasurementStatus::Unreadable};
    // The messages to show, in output order. After OutOfMemory the import stopped there.
    std::vector<std::string> messages;
    // Each output's refusal (Rejected, OutOfMemory; one of `messages`), empty otherwise.
    std::array<std::string, kOutputCount> refusals;
    // Each output's notes (MeasurementResult::notes).
    std::array<std::vector<std::string>, kOutputCount> notes;
};

// The import of the three outputs' files (`paths[0]` = Output 1): an empty path gives a flat
// curve; a file that cannot be read is looked for under the fallback name; a rejected file
// leaves its output flat and the others are still imported. A non-empty `columns[n]` is that
// output's column choice instead of `settings.column`.
MeasurementImport importMeasurements(const std::array<std::string, kOutputCount>& paths,
                                     const MeasurementSettings& settings,
                                     const std::string& fallbackFolder,
                                     const std::array<std::string, kOutputCount>& columns = {});

}  // namespace kvn::analysis
