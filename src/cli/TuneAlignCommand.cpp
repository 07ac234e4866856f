// tune align: the delays and polarities that make the outputs of a preset sum best with their
// measured speakers, written to a new preset.
#include <QJsonArray>
#include <QJsonObject>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "analysis/MeasurementImport.h"
#include "analysis/OutputAlignment.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/PresetStore.h"
#include "config/DelayControls.h"

namespace kvn::cli {
namespace {

using analysis::FrequencyRange;

// "50-200": the range in Hz.
FrequencyRange parseRange(const std::string& text) {
    const std::size_t dash = text.find('-', 1);
    const auto low = parseNumber(text.substr(0, dash));
    const auto high = dash == std::string::npos ? std::nullopt : parseNumber(text.substr(dash + 1));
    if (!low || !high) {
        throwUsage("--range takes LO-HI in Hz, as 50-200, not '" + text + "'");
    }
    return {*low, *high};
}

// "3", "1,3" or "all" (every output that is not muted).
std::array<bool, kOutputCount> parseMove(const std::string& text, const ProcessorConfig& config) {
    std::array<bool, kOutputCount> movable{};
    if (text == "all") {
        for (int n = 1; n <= kOutputCount; ++n) {
            movable[static_cast<std::size_t>(n - 1)] = !config.output(n).Muted;
        }
        return movable;
    }
    std::istringstream list(text);
    for (std::string item; std::getline(list, item, ',');) {
        const auto n = parseInteger(item);
        if (!n || *n < 1 || *n > kOutputCount) {
            throwUsage("--move takes outputs 1, 2 and 3 separated by commas, or all, not '" + text +
                       "'");
        }
        movable[static_cast<std::size_t>(*n - 1)] = true;
    }
    return movable;
}

// The final response of OUT.KV2 reads each measurement from its stored path, else from
// OUT.KV2's folder: say so when a file that was read will be found by neither.
void warnUnreachable(std::ostream& err, const ProcessorConfig& config, const std::string& out) {
    const std::string folder = std::filesystem::absolute(out).parent_path().string();
    for (int n = 1; n <= kOutputCount; ++n) {
        const std::string& stored = config.MeasurementFile[static_cast<std::size_t>(n - 1)];
        const std::string beside = analysis::fallbackMeasurementPath(stored, folder);
        std::error_code ec;
        if (config.output(n).Muted || stored.empty() || std::filesystem::exists(stored, ec) ||
            (!beside.empty() && std::filesystem::exists(beside, ec))) {
            continue;
        }
        err << "kvn350: " << outputTitle(n) << "'s measurement " << stored
            << " is neither where it is named nor next to " << out
            << ": copy it there for the final response of " << out << "\n";
    }
}

void printText(std::ostream& out, const ProcessorConfig& config,
               const analysis::AlignmentResult& r) {
    out << "Range " << r.range.lowHz << " to " << r.range.highHz << " Hz\n" << std::fixed;
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto o = static_cast<std::size_t>(n - 1);
        out << std::left << std::setw(10) << (outputTitle(n) + ":") << std::right;
        if (config.output(n).Muted) {
            out << "muted\n";
            continue;
        }
        const int d = r.delays[o];
        out << std::setw(3) << d << " samples  " << std::setprecision(2) << std::setw(4)
            << delayMsFromSamples(d) << " ms  " << std::setprecision(1) << std::setw(5)
            << delayCmFromSamples(d, config.Temperature) << " cm  "
            << (r.inverted[o] ? "inverted" : "normal") << "\n";
    }
    out << std::setprecision(2) << "Summation loss " << r.lossBeforeDb << " dB before, "
        << r.lossAfterDb << " dB after\n"
        << std::defaultfloat;
}

}  // namespace

int runTuneAlign(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 tune align PRESET.KV2 [--range LO-HI] [--move 3|1,3|all] [--no-polarity] "
        "-o OUT.KV2 [--json]",
        "Chooses the delays (0 to 234 samples) and polarities of the outputs that may move so\n"
        "that the outputs that are not muted sum best with their measured speakers, and writes\n"
        "the preset with them to OUT.KV2. Each output is taken as the final response shows it\n"
        "(equaliser, crossover, level and polarity, delay with the look-ahead and the relative\n"
        "distance, measured speaker), with every influence on. The figure is the summation\n"
        "loss, the RMS over the range of 20 log10(sum |Hn|) - 20 log10(|sum Hn|): 0 dB is\n"
        "perfect summation. Every whole-sample delay and both polarities are tried; among\n"
        "equal losses the smaller total delay, then the fewer inversions win. The measurements\n"
        "are those the preset names (read from their stored paths, else from the preset's\n"
        "folder) and must have phase.");
    parser.positional("PRESET.KV2", "preset file")
        .option("range", "LO-HI",
                "frequency range in Hz (default: one octave either side of where the crossover "
                "edges of the outputs meet)")
        .option("move", "LIST",
                "outputs that may move: 1, 2, 3 separated by commas, or all (default 3)")
        .flag("no-polarity", "keep every output's polarity")
        .option("out", "OUT.KV2", "preset file to write (may be PRESET.KV2)", "o")
        .flag("json",
              "one JSON object: delays, inverted (per output), lossBeforeDb, lossAfterDb, range")
        .notes(
            "Exit status 1 for a bad range or output list, a muted output to move, fewer than\n"
            "two outputs that are not muted, or no crossover edges that meet (give --range);\n"
            "2 when an output that is not muted has no measurement with phase over the range.\n"
            "Nothing is written then.\n"
            "Example: kvn350 tune align show.KV2 --move 3 -o aligned.KV2");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const auto out = a->value("out");
    if (!out) {
        throwUsage("-o OUT.KV2 is required (see --help)");
    }
    const std::string path = a->positional(0);
    ProcessorConfig config = PresetStore::loadForUse(path, io.err);

    analysis::AlignmentRequest request;
    request.movable = parseMove(a->value("move").value_or("3"), config);
    request.polarity = !a->has("no-polarity");
    if (const auto problem = analysis::alignmentOutputsProblem(config, request.movable)) {
        throwUsage(*problem);
    }
    if (const auto range = a->value("range")) {
        request.range = parseRange(*range);
    } else if (const auto range = analysis::defaultAlignmentRange(config, request.movable)) {
        request.range = *range;
    } else {
        throwUsage(
            "the crossover edges of the outputs that are not muted do not meet: give the "
            "range with --range LO-HI");
    }
    if (const auto problem = analysis::alignmentRangeProblem(request.range)) {
        throwUsage(*problem);
    }

    const std::string folder = std::filesystem::absolute(path).parent_path().string();
    const analysis::MeasurementImport imported = analysis::importMeasurements(
        config.MeasurementFile, analysis::measurementSettings(config, analysis::kDefaultMicMvPerPa),
        folder);
    for (const std::string& message : imported.messages) {
        io.err << "kvn350: " << message << "\n";
    }
    std::array<bool, kOutputCount> read{};
    for (std::size_t o = 0; o < read.size(); ++o) {
        read[o] = imported.statuses[o] == analysis::MeasurementStatus::Imported;
    }
    if (const auto problem =
            analysis::alignmentMeasurementProblem(config, imported.curves, read, request.range)) {
        throwBadInput(*problem);
    }

    const analysis::AlignmentResult result =
        analysis::alignOutputs(config, imported.curves, request);
    analysis::applyAlignment(config, result);
    PresetStore::save(config, *out);
    warnUnreachable(io.err, config, *out);

    if (a->has("json")) {
        QJsonArray delays;
        QJsonArray inverted;
        for (std::size_t o = 0; o < result.delays.size(); ++o) {
            delays.append(result.delays[o]);
            inverted.append(result.inverted[o]);
        }
        io.out << writeJson(
            QJsonObject{{"delays", delays},
                        {"inverted", inverted},
                        {"lossBeforeDb", result.lossBeforeDb},
                        {"lossAfterDb", result.lossAfterDb},
                        {"range", QJsonArray{result.range.lowHz, result.range.highHz}}},
            JsonNumbers::Digits17);
    } else {
        printText(io.out, config, result);
    }
    return kExitOk;
}

}  // namespace kvn::cli
