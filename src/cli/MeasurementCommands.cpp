// measurement show: one measurement export file resampled onto the response grid, as the
// editor's import reads it.
#include <QJsonArray>
#include <QJsonObject>
#include <array>
#include <iomanip>
#include <ostream>

#include "analysis/MeasurementImport.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/MeasurementOptions.h"

namespace kvn::cli {
namespace {

int runMeasurementShow(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 measurement show FILE [--format auto|CODE] [--reference-db DB] [--mic-mv-pa MV] "
        "[--column NAME|INDEX] [--json|--csv]",
        "Reads a measurement export file as the editor's import does and prints its 401 points on\n"
        "the response grid: frequency in Hz, magnitude in dB relative to the reference level,\n"
        "phase in radians. Points outside the measured range read -140 dB and 0 rad.");
    parser.positional("FILE", "measurement export file")
        .option("format", "CODE", "auto (default) or a format code")
        .option("reference-db", "DB", "level shown as 0 dB, -140..140 (default 90)")
        .option("mic-mv-pa", "MV", "microphone sensitivity of the dBu format, 1..999 (default 20)")
        .option("column", "NAME|INDEX",
                "the magnitude column of a text file whose header names its columns, by name or "
                "1-based position (default: the first magnitude column)")
        .flag("csv", "comma-separated values with a header line")
        .flag("json", "one JSON object: format (the code used), hz, db, phaseRad")
        .notes(
            "Format codes:\n" + measurementFormatList() +
            "\nWhat the import decided (columns, commas, rows skipped, a narrow range) is told on\n"
            "stderr. Exit status 2 when the file cannot be read or is not a measurement file.");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (a->has("csv") && a->has("json")) {
        throwUsage("--csv and --json exclude each other");
    }
    analysis::MeasurementSettings settings;
    settings.format = measurementFormatOption(*a);
    settings.referenceDb = a->number("reference-db", analysis::kDefaultReferenceDb,
                                     analysis::kReferenceDbMin, analysis::kReferenceDbMax);
    settings.micVoltsPerPa = a->number("mic-mv-pa", analysis::kDefaultMicMvPerPa,
                                       analysis::kMicMvPerPaMin, analysis::kMicMvPerPaMax) /
                             1000.0;
    settings.column = a->value("column").value_or("");
    const std::string path = a->positional(0);
    const analysis::MeasurementResult r = analysis::readMeasurement(path, settings);
    if (r.status == analysis::MeasurementStatus::Unreadable) {
        throwBadInput(analysis::unreadableText(path));
    }
    if (r.status != analysis::MeasurementStatus::Imported) {
        throwBadInput(r.message);
    }
    for (const std::string& note : r.notes) {
        io.err << "kvn350: " << path << ": " << note << "\n";
    }

    const auto& hz = responseGrid().GridHz;
    const auto n = [](double v) { return jsonNumber(v, JsonNumbers::Digits17); };
    if (a->has("json")) {
        QJsonArray hzList;
        QJsonArray db;
        QJsonArray phase;
        for (std::size_t k = 0; k < hz.size(); ++k) {
            hzList.append(hz[k]);
            db.append(static_cast<double>(r.curve.MagDb[k]));
            phase.append(static_cast<double>(r.curve.PhaseRad[k]));
        }
        io.out << writeJson(
            QJsonObject{{"format", r.format}, {"hz", hzList}, {"db", db}, {"phaseRad", phase}},
            JsonNumbers::Digits17);
    } else if (a->has("csv")) {
        io.out << "hz,db,phaseRad\n";
        for (std::size_t k = 0; k < hz.size(); ++k) {
            io.out << hz[k] << "," << n(r.curve.MagDb[k]) << "," << n(r.curve.PhaseRad[k]) << "\n";
        }
    } else {
        io.out << "format " << r.format << " ("
               << analysis::measurementLayout(r.format)->messageName << ")\n"
               << std::setw(6) << "Hz"
               << "  " << std::setw(10) << "dB"
               << "  " << std::setw(9) << "rad"
               << "\n";
        for (std::size_t k = 0; k < hz.size(); ++k) {
            io.out << std::setw(6) << hz[k] << "  " << std::setw(10) << std::fixed
                   << std::setprecision(3) << r.curve.MagDb[k] << "  " << std::setw(9)
                   << std::setprecision(4) << r.curve.PhaseRad[k] << "\n";
        }
        io.out << std::defaultfloat;
    }
    return kExitOk;
}

const std::array<Subcommand, 1> kMeasurementCommands = {{
    {"show", "print a measurement file resampled onto the response grid", runMeasurementShow},
}};

}  // namespace

std::span<const Subcommand> measurementCommands() {
    return kMeasurementCommands;
}

}  // namespace kvn::cli
