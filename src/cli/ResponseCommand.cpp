// response: the 401 grid points of one output's equaliser, crossover or total response.
#include <QJsonArray>
#include <QJsonObject>
#include <iomanip>
#include <ostream>

#include "analysis/OutputResponse.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/PresetStore.h"

namespace kvn::cli {

using analysis::evaluateOutput;
using analysis::OutputResponse;
using analysis::ResponseBlock;

int runResponse(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 response FILE.KV2 --output 1|2|3 [--block peq|xover|total] [--csv|--json]",
        "Prints the response of one output of a preset on the editor's 401-point grid (20 Hz\n"
        "to 23999 Hz): frequency in Hz, magnitude in dB, phase in degrees wrapped to -180..180.\n"
        "peq is the equaliser (bands 1 to PeqBandsInUse); xover the crossover (low-pass edge,\n"
        "then high-pass edge; for SUB with the fixed SUB path, a 470 Hz Butterworth low-pass);\n"
        "total both (dB added, phase added, then wrapped).");
    parser.positional("FILE.KV2", "preset file")
        .option("output", "N", "1 (Output 1), 2 (Output 2) or 3 (SUB)")
        .option("block", "BLOCK", "peq, xover or total (default)")
        .flag("csv", "comma-separated values with a header line")
        .flag("json", "one JSON object with the lists hz, db and phaseDeg");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (!a->value("output")) {
        throwUsage("--output is required (see --help)");
    }
    const int output = a->integer("output", 0, 1, kOutputCount);
    const std::string blockName = a->choice("block", "total", {"peq", "xover", "total"});
    if (a->has("csv") && a->has("json")) {
        throwUsage("--csv and --json exclude each other");
    }
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
