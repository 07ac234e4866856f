// The measurement format table and the header checks.
#include "analysis/MeasurementFormats.h"

#include <array>

#include "analysis/FrdTable.h"
#include "analysis/MeasurementText.h"

namespace kvn::analysis {
namespace {

using enum DataLayout;

constexpr std::array<MeasurementLayout, 12> kLayouts{{
    {kFormatClio,
     "CLIO",
     "CLIO",
     1,
     FixedColumns,
     {1, 8},
     {10, 17},
     {19, 26},
     PhaseUnit::Degrees,
     LevelUnit::Db},
    // The second CLIO layout: line 0 begins with "Freq [Hz]".
    {kFormatClio,
     "CLIO",
     "CLIO",
     1,
     FixedColumns,
     {1, 9},
     {17, 24},
     {33, 39},
     PhaseUnit::Degrees,
     LevelUnit::Db},
    {kFormatMlssa,
     "MLSSA",
     "MLSSA",
     2,
     FixedColumns,
     {1, 10},
     {12, 22},
     {24, 34},
     PhaseUnit::Degrees,
     LevelUnit::Db},
    {kFormatWinAir,
     "WINAIR",
     "WINAIR",
     4,
     FixedColumns,
     {1, 10},
     {11, 22},
     {23, 34},
     PhaseUnit::AsRead,
     LevelUnit::Db},
    {kFormatSmaart,
     "",
     "SIA Smaart Pro - Transfer Function",
     18,
     TabSeparated,
     {},
     {},
     {},
     PhaseUnit::Degrees,
     LevelUnit::Db},
    {kFormatMinilyzerDbu,
     "",
     "MiniLyzerdBu",
     1,
     FixedColumns,
     {1, 9},
     {12, 20},
     {},
     PhaseUnit::None,
     LevelUnit::Dbu},
    {kFormatCalsod,
     "CALSOD",
     " CALSOD ",
     8,
     FixedColumns,
     {1, 9},
     {10, 17},
     {18, 25},
     PhaseUnit::Degrees,
     LevelUnit::Db},
    {kFormatDaas32,
     "DAAS 32",
     "DAAS 32 - CALSOD ",
     8,
     FixedColumns,
     {1, 9},
     {10, 17},
     {18, 25},
     PhaseUnit::AsRead,
     LevelUnit::Db},
    {kFormatLspLab,
     "",
     "LoudSpeaker Lab - CALSOD ",
     8,
     FixedColumns,
     {1, 9},
     {10, 17},
     {18, 25},
     PhaseUnit::AsRead,
     LevelUnit::Db},
    {kFormatAcoustilyzerThird,
     "Acoustilyzer 1/3 oct (SPL)",
     "MiniLyzerSPL",
     1,
     FixedColumns,
     {1, 9},
     {12, 20},
     {},
     PhaseUnit::None,
     LevelUnit::Db},
    {kFormatAcoustilyzerFft,
     "Acoustilyzer (FFT)",
     "MiniLyzerFFT",
     7,
     FixedColumns,
     {1, 9},
     {12, 18},
     {},
     PhaseUnit::None,
     LevelUnit::Db},
    {kFormatFrd,
     "FRD / text",
     "FRD",
     0,
     FreeNumbers,
     {},
     {},
     {},
     PhaseUnit::Degrees,
     LevelUnit::Db},
}};

constexpr std::string_view kClioHeader = "    Freq\t      dB\t   Phase";
constexpr std::string_view kClio2Prefix = "Freq [Hz]";
constexpr std::string_view kMlssaHeader = "      \"Hz\"  \"Mag (dB)\"       \"deg\"";
constexpr std::string_view kWinAirHeader = " WinAIRR saved file";
constexpr std::string_view kSmaartHeader = "; Frequency (Hz)\tMagnitude (dB)\tPhase (degrees)";
constexpr int kSmaartHeaderLastLine = 39;
constexpr std::string_view kMinilyzerHeader = "    f[Hz] Level[dBu]";
constexpr std::string_view kCalsodHeader = "CALSOD";

std::string_view lineAt(std::span<const std::string_view> lines, std::size_t n) {
    return n < lines.size() ? lines[n] : std::string_view{};
}

const MeasurementLayout* clioLayout(std::span<const std::string_view> lines) {
    const std::string_view first = lineAt(lines, 0);
    if (first == kClioHeader) {
        return &kLayouts[0];
    }
    return first.starts_with(kClio2Prefix) ? &kLayouts[1] : nullptr;
}

bool headerMatches(std::span<const std::string_view> lines, int code) {
    switch (code) {
        case kFormatMlssa:
            return lineAt(lines, 1) == kMlssaHeader;
        case kFormatWinAir:
            return lineAt(lines, 0) == kWinAirHeader;
        case kFormatSmaart:
            for (std::size_t n = 1; n <= kSmaartHeaderLastLine && n < lines.size(); ++n) {
                if (lines[n] == kSmaartHeader) {
                    return true;
                }
            }
            return false;
        case kFormatMinilyzerDbu:
            return lineAt(lines, 0) == kMinilyzerHeader;
        case kFormatCalsod:
        case kFormatDaas32:
        case kFormatLspLab:
            return lineAt(lines, 0) == kCalsodHeader;
        case kFormatAcoustilyzerThird:
        case kFormatAcoustilyzerFft:
            return true;
        case kFormatFrd:
            // A header naming the columns, or a first data line of at least two numbers.
            if (frdHeader(lines)) {
                return true;
            }
            for (const std::string_view line : lines) {
                if (!isFrdSkippedLine(line)) {
                    const FrdNumbers numbers = splitFrdNumbers(line);
                    return numbers.valid && numbers.count >= 2;
                }
            }
            return false;
        default:
            return false;
    }
}

}  // namespace

std::span<const MeasurementLayout> measurementLayouts() {
    return kLayouts;
}

const MeasurementLayout* measurementLayout(int code) {
    for (const MeasurementLayout& layout : kLayouts) {
        if (layout.code == code) {
            return &layout;
        }
    }
    return nullptr;
}

bool isMeasurementFormat(int code) {
    return measurementLayout(code) != nullptr;
}

std::string measurementFileFilter(int code) {
    switch (code) {
        case kFormatDaas32:
            return "CALSOD DAAS32 Exported data *.spl|*.spl|all *.*|*.*";
        case kFormatLspLab:
            return "CALSOD LSPLAB Exported data *.idf|*.idf|all *.*|*.*";
        case kFormatFrd:
            return "frequency response data *.frd *.txt|*.frd;*.txt|all *.*|*.*";
        case kFormatAuto:
            return "measurement data *.txt *.frd *.spl *.idf|*.txt;*.frd;*.spl;*.idf|all *.*|*.*";
        default:
            return "exported data *.txt|*.txt|all *.*|*.*";
    }
}

const MeasurementLayout* recogniseMeasurement(std::span<const std::string_view> lines, int code) {
    if (code == kFormatClio) {
        return clioLayout(lines);
    }
    if (code == kFormatFrd) {
        // FRD-style files have no header of their own; their lines are checked as data.
        return measurementLayout(code);
    }
    if (code != kFormatAuto) {
        return headerMatches(lines, code) ? measurementLayout(code) : nullptr;
    }
    if (const MeasurementLayout* clio = clioLayout(lines)) {
        return clio;
    }
    for (const int candidate : {kFormatMlssa, kFormatWinAir, kFormatSmaart, kFormatMinilyzerDbu,
                                kFormatCalsod, kFormatFrd}) {
        if (headerMatches(lines, candidate)) {
            return measurementLayout(candidate);
        }
    }
    return nullptr;
}

}  // namespace kvn::analysis
