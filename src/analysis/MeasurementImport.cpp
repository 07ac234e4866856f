// Measurement files onto the response grid.
#include "analysis/MeasurementImport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>

#include "analysis/FrdTable.h"
#include "analysis/MeasuredPoints.h"
#include "analysis/MeasurementText.h"
#include "dsp/DspConstants.h"

namespace kvn::analysis {
namespace {

// The header of a text file comes before its data: this much of the file shows its columns.
constexpr std::size_t kColumnsReadBytes = 256 * 1024;

// The reference pressure of 0 dB SPL and the voltage of 0 dBu.
constexpr double kReferencePascal = 0.00002;
constexpr double kDbuVolts = 0.775;

MeasurementResult rejected(std::string message) {
    MeasurementResult r;
    r.status = MeasurementStatus::Rejected;
    r.message = std::move(message);
    return r;
}

// The text of a 1-based, both-ends-included column; as much of it as the line holds.
std::string_view columnText(std::string_view line, Column column) {
    const auto first = static_cast<std::size_t>(column.first - 1);
    if (first >= line.size()) {
        return {};
    }
    return line.substr(first, static_cast<std::size_t>(column.last - column.first + 1));
}

// One data line's numbers of a fixed-column or tab-separated format, or nothing when the line is
// not numbers. `skip` is set for lines the format passes over (blank lines; in the tab-separated
// format lines not starting with a digit).
struct LineValues {
    double hz = 0.0;
    double db = 0.0;
    double phase = 0.0;
};
std::optional<LineValues> readDataLine(const MeasurementLayout& layout, std::string_view line,
                                       bool& skip) {
    skip = isBlankLine(line);
    if (skip) {
        return std::nullopt;
    }
    LineValues v;
    switch (layout.layout) {
        case DataLayout::FixedColumns: {
            const auto hz = parseDecimal(columnText(line, layout.frequency));
            const auto db = parseDecimal(columnText(line, layout.magnitude));
            std::optional<double> phase = 0.0;
            if (layout.phaseUnit != PhaseUnit::None) {
                phase = parseDecimal(columnText(line, layout.phase));
            }
            if (!hz || !db || !phase) {
                return std::nullopt;
            }
            v = {*hz, *db, *phase};
            break;
        }
        case DataLayout::TabSeparated: {
            skip = line.front() < '0' || line.front() > '9';
            const std::size_t tab1 = line.find('\t');
            const std::size_t tab2 =
                tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
            if (skip || tab2 == std::string_view::npos) {
                return std::nullopt;
            }
            std::string_view phaseText = line.substr(tab2 + 1, 15);
            phaseText = phaseText.substr(0, phaseText.find('\t'));
            const auto hz = parseDecimal(line.substr(0, tab1));
            const auto db = parseDecimal(line.substr(tab1 + 1, tab2 - tab1 - 1));
            const auto phase = parseDecimal(phaseText);
            if (!hz || !db || !phase) {
                return std::nullopt;
            }
            v = {*hz, *db, *phase};
            break;
        }
        case DataLayout::FreeNumbers:
            // Read as a whole file by readFrdText.
            return std::nullopt;
    }
    return v;
}

bool isImpedanceFileName(std::string_view path) {
    return path.size() >= 4 && lowered(path.substr(path.size() - 4)) == ".zma";
}

MeasurementResult outOfMemory() {
    MeasurementResult r;
    r.status = MeasurementStatus::OutOfMemory;
    r.message = kNotEnoughMemoryText;
    return r;
}

std::string rejectedHeaderText(std::string_view path, int code) {
    if (const MeasurementLayout* layout = measurementLayout(code)) {
        return std::string(path) + " is not a valid " + layout->messageName +
               " exported data file.";
    }
    return std::string(path) + " is not an exported data file of a known format.";
}

}  // namespace

MeasurementSettings measurementSettings(const ProcessorConfig& config, double micMvPerPa) {
    return {config.MeasurementFormat, config.MeasurementSpl, micMvPerPa / 1000.0};
}

void resampleOntoGrid(std::span<const double> hz, std::span<const double> db,
                      std::span<const double> phase, double referenceDb, bool phaseInDegrees,
                      ResponseCurve& out) {
    out = ResponseCurve{};
    const std::size_t count = std::min({hz.size(), db.size(), phase.size()});
    if (count < 2) {
        return;
    }
    const ResponseGrid& grid = responseGrid();
    const double phaseScale = phaseInDegrees ? kPi / 180.0 : 1.0;
    std::size_t j = 0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        const double f = grid.GridHz[k];
        while (j + 1 < count && f > hz[j] && f >= hz[j + 1]) {
            ++j;
        }
        if (f < hz[0] || f > hz[count - 1]) {
            out.MagDb[k] = kOutsideMeasurementDb;
            out.PhaseRad[k] = 0.0f;
            continue;
        }
        double m = 0.0;
        double p = 0.0;
        if (j + 1 >= count || hz[j + 1] == hz[j]) {
            // On the last point, or on a segment of zero width: the later point.
            const std::size_t later = std::min(j + 1, count - 1);
            m = db[later];
            p = phase[later];
        } else {
            const double t = (f - hz[j]) / (hz[j + 1] - hz[j]);
            m = db[j] + (db[j + 1] - db[j]) * t;
            p = phase[j] + (phase[j + 1] - phase[j]) * t;
        }
        out.MagDb[k] = static_cast<float>(m - referenceDb);
        out.PhaseRad[k] = static_cast<float>(p * phaseScale);
    }
}

MeasurementResult parseMeasurement(std::string_view text, std::string_view path,
                                   const MeasurementSettings& settings) {
    try {
        const std::vector<std::string_view> lines = splitLines(text);
        const int code = isMeasurementFormat(settings.format) ? settings.format : kFormatAuto;
        if ((code == kFormatAuto || code == kFormatFrd) && isImpedanceFileName(path)) {
            return rejected(std::string(path) +
                            " is an impedance file (.zma); it holds impedance, not a frequency "
                            "response.");
        }
        const MeasurementLayout* layout = recogniseMeasurement(lines, code);
        if (layout == nullptr) {
            return rejected(rejectedHeaderText(path, code));
        }
        MeasurementResult r;
        MeasuredPoints points(path);
        bool degrees = layout->phaseUnit == PhaseUnit::Degrees;
        if (layout->layout == DataLayout::FreeNumbers) {
            FrdReading reading = readFrdText(lines, path, settings.column);
            if (!reading.refusal.empty()) {
                return rejected(std::move(reading.refusal));
            }
            points = std::move(reading.points);
            degrees = reading.phaseInDegrees;
            r.notes = std::move(reading.notes);
        } else {
            if (!settings.column.empty()) {
                r.notes.emplace_back(
                    "the column choice applies to FRD-style text only and was not used");
            }
            for (std::size_t n = static_cast<std::size_t>(layout->headerLines); n < lines.size();
                 ++n) {
                bool skip = false;
                const std::optional<LineValues> v = readDataLine(*layout, lines[n], skip);
                if (skip) {
                    continue;
                }
                if (!v) {
                    return rejected(lineMessage(path, n, "is not a line of numbers."));
                }
                if (std::optional<std::string> refusal = points.add(v->hz, v->db, v->phase, n)) {
                    return rejected(std::move(*refusal));
                }
            }
        }
        if (std::optional<std::string> why = points.unusable()) {
            return rejected(std::move(*why));
        }
        if (layout->levelUnit == LevelUnit::Dbu) {
            // p = 10^(L/20) x 0.775 / sensitivity Pa, level 20 log10(p / 20 uPa), formed in dB so
            // that no level overflows.
            const double mic = std::clamp(settings.micVoltsPerPa, kMicMvPerPaMin / 1000.0,
                                          kMicMvPerPaMax / 1000.0);
            const double offset = 20.0 * std::log10(kDbuVolts / mic / kReferencePascal);
            for (double& db : points.db) {
                db += offset;
            }
        }
        if (std::string note = points.narrowRangeNote(); !note.empty()) {
            r.notes.push_back(std::move(note));
        }
        r.status = MeasurementStatus::Imported;
        r.format = layout->code;
        resampleOntoGrid(points.hz, points.db, points.phase, settings.referenceDb, degrees,
                         r.curve);
        return r;
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
}

MeasurementResult readMeasurement(const std::string& path, const MeasurementSettings& settings) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || std::filesystem::is_directory(path, ec)) {
        return {};
    }
    if (size > kMeasurementFileMaxBytes) {
        return rejected(path + " is larger than 50 MB and is not read.");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string text;
    try {
        text.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.gcount() != static_cast<std::streamsize>(text.size())) {
        return {};
    }
    return parseMeasurement(text, path, settings);
}

std::vector<std::string> readMagnitudeColumns(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(kColumnsReadBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return frdMagnitudeColumns(splitLines(text));
}

std::string unreadableText(std::string_view path) {
    return std::string(path) + ": cannot be read";
}

std::string fallbackMeasurementPath(std::string_view storedPath,
                                    const std::string& fallbackFolder) {
    const std::size_t slash = storedPath.find_last_of("\\/");
    const std::string_view name =
        slash == std::string_view::npos ? storedPath : storedPath.substr(slash + 1);
    if (fallbackFolder.empty() || name.empty()) {
        return {};
    }
    return (std::filesystem::path(fallbackFolder) / std::string(name)).string();
}

MeasurementImport importMeasurements(const std::array<std::string, kOutputCount>& paths,
                                     const MeasurementSettings& settings,
                                     const std::string& fallbackFolder,
                                     const std::array<std::string, kOutputCount>& columns) {
    MeasurementImport result;
    for (std::size_t n = 0; n < paths.size(); ++n) {
        if (paths[n].empty()) {
            continue;
        }
        MeasurementSettings own = settings;
        if (!columns[n].empty()) {
            own.column = columns[n];
        }
        MeasurementResult r = readMeasurement(paths[n], own);
        if (r.status == MeasurementStatus::Unreadable) {
            const std::string fallback = fallbackMeasurementPath(paths[n], fallbackFolder);
            if (!fallback.empty()) {
                r = readMeasurement(fallback, own);
            }
        }
        result.statuses[n] = r.status;
        result.notes[n] = std::move(r.notes);
        if (!r.message.empty()) {
            result.messages.push_back(r.message);
            result.refusals[n] = r.message;
        }
        if (r.status == MeasurementStatus::OutOfMemory) {
            break;
        }
        if (r.status == MeasurementStatus::Imported) {
            result.curves[n] = r.curve;
            result.formats[n] = r.format;
        }
    }
    return result;
}

}  // namespace kvn::analysis
