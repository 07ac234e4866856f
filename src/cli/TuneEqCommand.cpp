// tune eq: an output's equaliser bands fitted to its measured loudspeaker and a target, written
// into a copy of the preset that also names the measurement for that output.
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "analysis/EqualiserFit.h"
#include "analysis/MeasurementImport.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/MeasurementOptions.h"
#include "cli/PresetStore.h"

namespace kvn::cli {
namespace {

using analysis::FitRange;

// "40-16000": two frequencies in hertz.
FitRange rangeOption(const ParsedArgs& a, int output) {
    const std::optional<std::string> text = a.value("range");
    if (!text) {
        return analysis::defaultFitRange(output);
    }
    const std::size_t dash = text->find('-');
    const std::optional<double> low =
        dash == std::string::npos ? std::nullopt : parseNumber(text->substr(0, dash));
    const std::optional<double> high =
        dash == std::string::npos ? std::nullopt : parseNumber(text->substr(dash + 1));
    if (!low || !high) {
        throwUsage("--range takes LO-HI in hertz (40-16000), not '" + *text + "'");
    }
    return {*low, *high};
}

// "1,3": band numbers.
std::vector<int> keepOption(const ParsedArgs& a) {
    std::vector<int> bands;
    std::istringstream list(a.value("keep").value_or(""));
    for (std::string item; std::getline(list, item, ',');) {
        const std::optional<int> number = parseInteger(item);
        if (!number) {
            throwUsage("--keep takes band numbers separated by commas (1,3), not '" + item + "'");
        }
        bands.push_back(*number);
    }
    return bands;
}

// The measurement path as the preset keeps it (100 characters at most): absolute when it fits,
// so that the response of the written preset finds it from any folder.
std::string storedPath(const std::string& path) {
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(path, error).string();
    if (!error && absolute.size() <= kMeasurementFileMax) {
        return absolute;
    }
    return path.size() <= kMeasurementFileMax ? path
                                              : std::filesystem::path(path).filename().string();
}

void printJson(CommandIo& io, const analysis::EqualiserFit& fit) {
    QJsonArray bands;
    for (const int number : fit.fittedBands) {
        const PeqBand& band = fit.bands[static_cast<std::size_t>(number - 1)];
        bands.append(QJsonObject{{"band", number},
                                 {"type", QString::fromLatin1(filterTypeName(band.FilterType))},
                                 {"hz", band.FrequencyHz},
                                 {"q", band.Q},
                                 {"gainDb", band.GainDb}});
    }
    io.out << writeJson(QJsonObject{{"output", fit.output},
                                    {"bands", bands},
                                    {"rmsBeforeDb", fit.rmsBeforeDb},
                                    {"rmsAfterDb", fit.rmsAfterDb},
                                    {"range", QJsonArray{fit.range.lowHz, fit.range.highHz}}},
                        JsonNumbers::Shortest);
}

void printTable(CommandIo& io, const analysis::EqualiserFit& fit) {
    io.out << "Band  Type              Hz        Q   Gain dB\n" << std::fixed;
    for (const int number : fit.fittedBands) {
        const PeqBand& band = fit.bands[static_cast<std::size_t>(number - 1)];
        io.out << std::setw(4) << number << "  " << std::left << std::setw(14)
               << filterTypeName(band.FilterType) << std::right << std::setw(10)
               << std::setprecision(2) << band.FrequencyHz << std::setw(7) << std::setprecision(1)
               << band.Q << std::setw(10) << band.GainDb << "\n";
    }
    io.out << std::defaultfloat << "RMS deviation over " << fit.range.lowHz << "-"
           << fit.range.highHz << " Hz: " << std::fixed << std::setprecision(2) << fit.rmsBeforeDb
           << " dB before, " << fit.rmsAfterDb << " dB after (level free)\n"
           << std::defaultfloat;
}

}  // namespace

int runTuneEq(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 tune eq PRESET.KV2 --output N --measurement FILE [--format auto|CODE]\n"
        "       [--reference-db DB] [--column NAME|INDEX] [--target flat|FILE] [--tilt "
        "DB_PER_OCT]\n"
        "       [--range LO-HI] [--bands K] [--keep LIST] [--max-boost DB] [--cut-only]\n"
        "       [--no-shelves] -o OUT.KV2 [--json]",
        "Fits equaliser bands of one output so that its measured loudspeaker, with the preset's\n"
        "crossover (SUB: and its fixed path) and gain, follows the target over the range: the\n"
        "RMS deviation of the output's total response from the target, taken about its mean (the\n"
        "level is free), is made as small as the processor's band designs, the editor's limits\n"
        "(10 Hz to 20 kHz, SUB to 500 Hz; Q 0.5 to 20; -15 to +12 dB, shelves to +6 dB) and the\n"
        "sliders' steps allow. Parametric bands, and first-order shelves at the range's ends "
        "where\n"
        "they lower the deviation. Bands neither kept nor fitted are bypassed. OUT holds the\n"
        "preset with the fitted bands on that output and names the measurement for it (with its\n"
        "format and reference level), so that 'kvn350 response OUT.KV2 --final' shows the\n"
        "corrected loudspeaker; the deviations printed are those of that response.");
    parser.positional("PRESET.KV2", "preset file")
        .option("output", "N", "1 (Output 1), 2 (Output 2) or 3 (SUB)")
        .option("measurement", "FILE", "the output's measured loudspeaker, any import format")
        .option("format", "CODE", "auto (default) or a format code of 'measurement show'")
        .option("reference-db", "DB", "level shown as 0 dB, -140..140 (default: the preset's)")
        .option("column", "NAME|INDEX",
                "the magnitude column of a file whose header names its columns (not kept in the "
                "preset)")
        .option("target", "flat|FILE", "flat (default) or a target curve file, any import format")
        .option("tilt", "DB_PER_OCT", "tilt added to the target, -6..6 dB per octave (default 0)")
        .option("range", "LO-HI", "frequencies in Hz (default 40-16000, SUB 30-400)")
        .option("bands", "K", "bands to fit, 1..7, SUB 1..3 (default all the output has)")
        .option("keep", "LIST", "bands in use to keep as they are, as numbers: 1,3")
        .option("max-boost", "DB", "highest gain of a fitted band, 0..12 (default 6)")
        .flag("cut-only", "fitted bands only cut")
        .flag("no-shelves", "parametric bands only")
        .option("out", "OUT.KV2", "preset file to write", "o")
        .flag("json",
              "one JSON object: output, bands (band, type, hz, q, gainDb), rmsBeforeDb, "
              "rmsAfterDb, range")
        .notes(
            "Exit status 1 for a bad option (a range outside the measured or target data, too\n"
            "many bands), 2 when the preset, measurement or target file cannot be read (the\n"
            "message names the file and line). OUT is written only when the fit succeeds.");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (!a->value("output") || !a->value("measurement") || !a->value("out")) {
        throwUsage("--output, --measurement and -o are required (see --help)");
    }
    const int output = a->integer("output", 0, 1, kOutputCount);
    const int count = peqBandCount(output);
    analysis::EqualiserFitOptions options;
    options.output = output;
    options.range = rangeOption(*a, output);
    options.bands = a->integer("bands", count, 1, count);
    options.keptBands = keepOption(*a);
    options.maxBoostDb =
        a->number("max-boost", analysis::kDefaultMaxBoostDb, 0.0, analysis::kMaxBoostLimitDb);
    options.cutOnly = a->has("cut-only");
    options.shelves = !a->has("no-shelves");
    const double tilt =
        a->number("tilt", 0.0, -analysis::kMaxTiltDbPerOctave, analysis::kMaxTiltDbPerOctave);
    const int format = measurementFormatOption(*a);

    ProcessorConfig config = PresetStore::loadForUse(a->positional(0), io.err);
    // Read as the written preset's response will read it: the reference in single precision.
    const auto referenceDb =
        static_cast<float>(a->number("reference-db", config.MeasurementSpl,
                                     analysis::kReferenceDbMin, analysis::kReferenceDbMax));
    analysis::MeasurementSettings settings(format, referenceDb);
    settings.column = a->value("column").value_or("");
    const std::string path = *a->value("measurement");
    const analysis::MeasurementResult measured = analysis::readMeasurement(path, settings);
    if (measured.status == analysis::MeasurementStatus::Unreadable) {
        throwBadInput(path + ": cannot be read");
    }
    if (measured.status != analysis::MeasurementStatus::Imported) {
        throwBadInput(measured.message);
    }
    const std::string targetText = a->value("target").value_or("flat");
    analysis::TargetCurve target = analysis::flatTarget(tilt);
    if (targetText != "flat") {
        const analysis::TargetRead read = analysis::readTargetCurve(targetText, tilt);
        if (!read.ok) {
            throwBadInput(read.message);
        }
        target = read.target;
    }

    const analysis::EqualiserFit fit =
        analysis::fitEqualiser(config, measured.curve, target, options);
    if (fit.status != analysis::FitStatus::Fitted) {
        throwUsage(fit.message);
    }
    analysis::applyEqualiserFit(config, fit);
    const auto o = static_cast<std::size_t>(output - 1);
    const bool othersNamed = std::any_of(
        config.MeasurementFile.begin(), config.MeasurementFile.end(), [&](const std::string& file) {
            return !file.empty() && &file != &config.MeasurementFile[o];
        });
    if (othersNamed &&
        (config.MeasurementFormat != measured.format || config.MeasurementSpl != referenceDb)) {
        io.err << "kvn350: the preset's measurement format and reference level, which every output "
                  "shares, now follow "
               << path << "\n";
    }
    config.MeasurementFile[o] = storedPath(path);
    config.MeasurementFormat = measured.format;
    config.MeasurementSpl = referenceDb;
    if (config.output(output).Muted) {
        io.err << "kvn350: " << outputTitle(output)
               << " is muted: its final response lies on 0 dB until it is unmuted\n";
    }
    PresetStore::save(config, *a->value("out"));

    if (a->has("json")) {
        printJson(io, fit);
    } else {
        printTable(io, fit);
    }
    return kExitOk;
}

}  // namespace kvn::cli
