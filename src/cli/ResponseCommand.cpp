// response: the 401 grid points of one output's equaliser, crossover or total response, or the
// final response of the three outputs with their measured loudspeakers and their sum.
#include <QJsonArray>
#include <QJsonObject>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "analysis/MeasurementImport.h"
#include "analysis/OutputResponse.h"
#include "analysis/TotalResponse.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/PresetStore.h"

namespace kvn::cli {

using analysis::evaluateOutput;
using analysis::OutputResponse;
using analysis::ResponseBlock;

namespace {

constexpr std::array<const char*, analysis::kInfluenceCount> kInfluenceNames = {
    "speakers", "peq", "xover", "gain", "delay"};

// Every influence on, then the listed ones ("peq,delay") off.
std::array<bool, analysis::kInfluenceCount> influences(const ParsedArgs& a) {
    std::array<bool, analysis::kInfluenceCount> on{true, true, true, true, true};
    std::istringstream list(a.value("off").value_or(""));
    for (std::string name; std::getline(list, name, ',');) {
        const auto it = std::find(kInfluenceNames.begin(), kInfluenceNames.end(), name);
        if (it == kInfluenceNames.end()) {
            throwUsage("--off takes speakers, peq, xover, gain and delay, not '" + name + "'");
        }
        on[static_cast<std::size_t>(it - kInfluenceNames.begin())] = false;
    }
    return on;
}

int printFinalResponse(const ParsedArgs& a, CommandIo& io) {
    if (a.has("output") || a.has("block")) {
        throwUsage("--final shows every output: --output and --block do not apply");
    }
    const std::string path = a.positional(0);
    ProcessorConfig config = PresetStore::loadForUse(path, io.err);
    config.ResponseView = influences(a);
    const double micMvPerPa = a.number("mic-mv-pa", analysis::kDefaultMicMvPerPa,
                                       analysis::kMicMvPerPaMin, analysis::kMicMvPerPaMax);
    const std::string folder = std::filesystem::absolute(path).parent_path().string();
    const analysis::MeasurementImport imported = analysis::importMeasurements(
        config.MeasurementFile, analysis::measurementSettings(config, micMvPerPa), folder);
    for (const std::string& message : imported.messages) {
        io.err << "kvn350: " << message << "\n";
    }
    analysis::TotalResponse r;
    analysis::computeTotalResponse(config, imported.curves, r);

    const auto& hz = responseGrid().GridHz;
    const auto n = [](double v) { return jsonNumber(v, JsonNumbers::Digits17); };
    const auto list = [](const analysis::GridValues& values) {
        QJsonArray array;
        for (const double v : values) {
            array.append(v);
        }
        return array;
    };
    if (a.has("json")) {
        QJsonArray hzList;
        for (const std::int32_t f : hz) {
            hzList.append(f);
        }
        QJsonArray outputs;
        for (int o = 0; o < kOutputCount; ++o) {
            const auto i = static_cast<std::size_t>(o);
            outputs.append(QJsonObject{{"name", QString::fromStdString(config.output(o + 1).Name)},
                                       {"db", list(r.plottedDb[i])},
                                       {"phaseDeg", list(r.phaseDeg[i])}});
        }
        io.out << writeJson(QJsonObject{{"hz", hzList},
                                        {"outputs", outputs},
                                        {"add", QJsonObject{{"db", list(r.addDb)},
                                                            {"phaseDeg", list(r.addPhaseDeg)}}}},
                            JsonNumbers::Digits17);
        return kExitOk;
    }
    const bool csv = a.has("csv");
    if (csv) {
        io.out
            << "hz,out1Db,out1PhaseDeg,out2Db,out2PhaseDeg,subDb,subPhaseDeg,addDb,addPhaseDeg\n";
    } else {
        io.out << std::setw(6) << "Hz";
        for (const char* name : {"OUT 1", "OUT 2", "SUB", "ADD"}) {
            io.out << "  " << std::setw(9) << (std::string(name) + " dB") << std::setw(9) << "deg";
        }
        io.out << "\n" << std::fixed;
    }
    for (std::size_t k = 0; k < hz.size(); ++k) {
        const std::array<double, 8> row = {r.plottedDb[0][k], r.phaseDeg[0][k],  r.plottedDb[1][k],
                                           r.phaseDeg[1][k],  r.plottedDb[2][k], r.phaseDeg[2][k],
                                           r.addDb[k],        r.addPhaseDeg[k]};
        io.out << (csv ? "" : "  ") << std::setw(csv ? 0 : 4) << hz[k];
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (csv) {
                io.out << "," << n(row[c]);
            } else {
                io.out << (c % 2 == 0 ? "  " : "") << std::setw(9)
                       << std::setprecision(c % 2 ? 1 : 3) << row[c];
            }
        }
        io.out << "\n";
    }
    io.out << std::defaultfloat;
    return kExitOk;
}

}  // namespace

int runResponse(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 response FILE.KV2 --output 1|2|3 [--block peq|xover|total] [--csv|--json]\n"
        "       kvn350 response FILE.KV2 --final [--off speakers,peq,xover,gain,delay] "
        "[--mic-mv-pa MV] [--csv|--json]",
        "Prints the response of one output of a preset on the editor's 401-point grid (20 Hz\n"
        "to 23999 Hz): frequency in Hz, magnitude in dB, phase in degrees wrapped to -180..180.\n"
        "peq is the equaliser (bands 1 to PeqBandsInUse); xover the crossover (low-pass edge,\n"
        "then high-pass edge; for SUB with the fixed SUB path, a 470 Hz Butterworth low-pass);\n"
        "total both (dB added, phase added, then wrapped).\n"
        "--final prints what the three outputs do acoustically and their sum (ADD): each output's\n"
        "equaliser, crossover, gain and polarity, delay (with the dynamics look-ahead on Output 1\n"
        "and Output 2) and the measured loudspeaker the preset names (read from its stored path,\n"
        "else from the preset's folder), with every influence on unless --off names it. Muted\n"
        "outputs lie on 0 dB and leave the sum.");
    parser.positional("FILE.KV2", "preset file")
        .option("output", "N", "1 (Output 1), 2 (Output 2) or 3 (SUB)")
        .option("block", "BLOCK", "peq, xover or total (default)")
        .flag("csv", "comma-separated values with a header line")
        .flag("final", "the final response of the three outputs and their sum")
        .option("off", "LIST", "with --final: influences to leave out, separated by commas")
        .option("mic-mv-pa", "MV", "with --final: microphone of the dBu format (default 20)")
        .flag("json",
              "one JSON object with the lists hz, db and phaseDeg; with --final: hz, outputs "
              "(name, db, phaseDeg) and add (db, phaseDeg)");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (a->has("csv") && a->has("json")) {
        throwUsage("--csv and --json exclude each other");
    }
    if (a->has("final")) {
        return printFinalResponse(*a, io);
    }
    if (a->has("off") || a->has("mic-mv-pa")) {
        throwUsage("--off and --mic-mv-pa go with --final");
    }
    if (!a->value("output")) {
        throwUsage("--output is required (see --help)");
    }
    const int output = a->integer("output", 0, 1, kOutputCount);
    const std::string blockName = a->choice("block", "total", {"peq", "xover", "total"});
    const ResponseBlock block = blockName == "peq"     ? ResponseBlock::Peq
                                : blockName == "xover" ? ResponseBlock::Xover
                                                       : ResponseBlock::Total;

    const ProcessorConfig config = PresetStore::loadForUse(a->positional(0), io.err);
    const OutputResponse r = evaluateOutput(config, output, block);
    const auto n = [](double v) { return jsonNumber(v, JsonNumbers::Digits17); };

    if (a->has("json")) {
        QJsonArray hz;
        QJsonArray db;
        QJsonArray phase;
        for (std::size_t k = 0; k < r.hz.size(); ++k) {
            hz.append(r.hz[k]);
            db.append(r.db[k]);
            phase.append(r.phaseDeg[k]);
        }
        io.out << writeJson(QJsonObject{{"hz", hz}, {"db", db}, {"phaseDeg", phase}},
                            JsonNumbers::Digits17);
    } else if (a->has("csv")) {
        io.out << "hz,db,phaseDeg\n";
        for (std::size_t k = 0; k < r.hz.size(); ++k) {
            io.out << r.hz[k] << "," << n(r.db[k]) << "," << n(r.phaseDeg[k]) << "\n";
        }
    } else {
        io.out << std::setw(6) << "Hz"
               << "  " << std::setw(12) << "dB"
               << "  " << std::setw(10) << "degrees"
               << "\n";
        for (std::size_t k = 0; k < r.hz.size(); ++k) {
            io.out << std::setw(6) << r.hz[k] << "  " << std::setw(12) << std::fixed
                   << std::setprecision(4) << r.db[k] << "  " << std::setw(10)
                   << std::setprecision(3) << r.phaseDeg[k] << "\n";
        }
        io.out << std::defaultfloat;
    }
    return kExitOk;
}

}  // namespace kvn::cli
