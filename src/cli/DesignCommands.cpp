// design section, design crossover, design dynamics, design power: the filter and gain-table
// designs of the editor, printed with their coefficients and the words the processor receives,
// and the output power check of a dynamics unit.
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <ostream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "config/Encodings.h"
#include "config/PowerCheck.h"
#include "config/ProcessorConfig.h"
#include "dsp/DspConstants.h"
#include "dsp/DynamicsMath.h"
#include "dsp/TDYNAMIC.h"
#include "dsp/TSOS.h"
#include "dsp/TXOVERPB.h"

namespace kvn::cli {
namespace {

// Designs stay below half the sample rate, where the tangent-based formulas hold.
constexpr double kMinDesignHz = 1.0;
constexpr double kMaxDesignHz = kSampleRate / 2 - 1;

constexpr std::array<int, 14> kDesignableTypes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 16};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string typeList() {
    std::string list;
    for (int code = 0; code <= kHiPassQ; ++code) {
        list +=
            "  " + std::to_string(code) + (code < 10 ? "   " : "  ") + filterTypeName(code) + "\n";
    }
    list += "  15  low shelf with slope (Q is the slope)\n";
    list += "  16  high shelf with slope (Q is the slope)";
    return list;
}

// A type code given as its number or as its list name ("Parametric", "lowpass buttw").
int parseFilterType(const std::string& text) {
    if (const auto n = parseInteger(text)) {
        if (std::find(kDesignableTypes.begin(), kDesignableTypes.end(), *n) !=
            kDesignableTypes.end()) {
            return *n;
        }
    }
    for (int code = 0; code <= kHiPassQ; ++code) {
        if (lower(filterTypeName(code)) == lower(text)) {
            return code;
        }
    }
    throwUsage("--type: '" + text + "' is not a section type; one of:\n" + typeList());
}

std::string wordHex(const Word& w) {
    std::array<char, 8> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02X%02X%02X", w[0], w[1], w[2]);
    return buffer.data();
}

constexpr std::array<const char*, 5> kCoefficientNames = {"b0", "b1", "b2", "a1", "a2"};

QJsonObject sectionJson(const TSOS& s) {
    QJsonObject o;
    o["type"] = s.FilterType;
    o["frequencyHz"] = s.FrequencyHz;
    o["q"] = s.Q;
    o["gainDb"] = s.GainDb;
    QJsonArray words;
    for (int i = 0; i < 5; ++i) {
        o[kCoefficientNames[static_cast<std::size_t>(i)]] = s.coefficient(i);
        words.append(QString::fromStdString(wordHex(encodeFixedWord(s.coefficient(i)))));
    }
    o["words"] = words;
    return o;
}

void printSection(std::ostream& out, const TSOS& s, const std::string& indent) {
    const auto n = [](double v) { return jsonNumber(v, JsonNumbers::Digits17); };
    const char* name = filterTypeName(s.FilterType);
    out << indent << "type         " << static_cast<int>(s.FilterType)
        << (*name != '\0' ? std::string(" (") + name + ")" : std::string()) << "\n";
    out << indent << "frequencyHz  " << n(s.FrequencyHz) << "\n";
    out << indent << "q            " << n(s.Q) << "\n";
    out << indent << "gainDb       " << n(s.GainDb) << "\n";
    for (int i = 0; i < 5; ++i) {
        out << indent << kCoefficientNames[static_cast<std::size_t>(i)] << "           "
            << n(s.coefficient(i)) << "  " << wordHex(encodeFixedWord(s.coefficient(i))) << "\n";
    }
}

int designSection(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 design section --type CODE --freq HZ [--q Q] [--gain DB] [--json]",
                     "Designs one second-order section as the equaliser does and prints its\n"
                     "fields after the design (a design may change them), its coefficients\n"
                     "(y = b0 x + b1 x[n-1] + b2 x[n-2] + a1 y[n-1] + a2 y[n-2]) and the five\n"
                     "fixed-point words the processor receives.");
    parser.option("type", "CODE", "section type: its number or its name (below)")
        .option("freq", "HZ", "frequency in Hz, 1 to 23999")
        .option("q", "Q", "quality factor (slope for 15 and 16), 0.01 to 100; default 0.707")
        .option("gain", "DB", "gain in dB, -60 to 60; default 0")
        .flag("json", "print one JSON object")
        .notes("Section types:\n" + typeList());
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (!a->value("type") || !a->value("freq")) {
        throwUsage("--type and --freq are required (see --help)");
    }
    TSOS s;
    s.FilterType = static_cast<std::uint8_t>(parseFilterType(*a->value("type")));
    s.FrequencyHz = a->number("freq", 0.0, kMinDesignHz, kMaxDesignHz);
    s.Q = a->number("q", 0.707, 0.01, 100.0);
    s.GainDb = a->number("gain", 0.0, -60.0, 60.0);
    s.design();
    if (a->has("json")) {
        io.out << writeJson(sectionJson(s), JsonNumbers::Digits17);
    } else {
        printSection(io.out, s, "");
    }
    return kExitOk;
}

int designCrossover(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 design crossover --family bypass|butterworth|linkwitz-riley|bessel\n"
        "         --edge low-pass|high-pass --order N --freq HZ [--json]",
        "Designs one crossover edge as the crossover editor does and prints its sections.\n"
        "A Bessel low-pass above its order's limit is designed at the limit, with the\n"
        "message the editor shows (\"Maximum Bessel Cutoff = 18800 for LowPass of order 2\").");
    parser.option("family", "NAME", "bypass, butterworth, linkwitz-riley or bessel")
        .option("edge", "EDGE", "low-pass (the high end of the band) or high-pass")
        .option("order", "N", "Butterworth and Bessel 1..6, Linkwitz-Riley 1..4 (odd raised)")
        .option("freq", "HZ", "cutoff frequency in Hz, 1 to 23999")
        .flag("json", "print one JSON object");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (!a->value("family") || !a->value("edge") || !a->value("order") || !a->value("freq")) {
        throwUsage("--family, --edge, --order and --freq are required (see --help)");
    }
    const std::vector<std::string> families = {"bypass", "butterworth", "linkwitz-riley", "bessel"};
    const std::string family = a->choice("family", "", families);
    const bool lowPass = a->choice("edge", "", {"low-pass", "high-pass"}) == "low-pass";
    const int index =
        static_cast<int>(std::find(families.begin(), families.end(), family) - families.begin());

    TXOVERPB edge;
    edge.XoverType = static_cast<std::uint8_t>(index == 0 ? 0
                                               : lowPass  ? 2 * index - 1
                                                          : 2 * index);
    edge.Order = a->integer("order", 0, 1, 8);
    edge.FrequencyHz = a->number("freq", 0.0, kMinDesignHz, kMaxDesignHz);
    if (!TXOVERPB::orderSupported(edge.XoverType, edge.Order)) {
        throwUsage("--order: " + std::to_string(edge.Order) + " is not supported for " + family +
                   " (Butterworth and Bessel 1..6, Linkwitz-Riley 1..4)");
    }
    std::string message;
    if (const auto limit = edge.design()) {
        message = besselLimitMessage(*limit);
        edge.design();
    }

    if (a->has("json")) {
        QJsonObject o;
        o["xoverType"] = edge.XoverType;
        o["order"] = edge.Order;
        o["sectionCount"] = edge.SectionCount;
        o["frequencyHz"] = edge.FrequencyHz;
        QJsonArray sections;
        for (int k = 1; k <= edge.SectionCount; ++k) {
            sections.append(sectionJson(edge.section(k)));
        }
        o["sections"] = sections;
        if (!message.empty()) {
            o["message"] = QString::fromStdString(message);
        }
        io.out << writeJson(o, JsonNumbers::Digits17);
        return kExitOk;
    }
    if (!message.empty()) {
        io.out << "message      " << message << "\n";
    }
    io.out << "xoverType    " << static_cast<int>(edge.XoverType) << "\n"
           << "order        " << edge.Order << "\n"
           << "sectionCount " << edge.SectionCount << "\n"
           << "frequencyHz  " << jsonNumber(edge.FrequencyHz, JsonNumbers::Digits17) << "\n";
    for (int k = 1; k <= edge.SectionCount; ++k) {
        io.out << "section " << k << "\n";
        printSection(io.out, edge.section(k), "  ");
    }
    return kExitOk;
}

// The level options of a unit, shared by the dynamics and power designs: threshold, ratio, knee,
// type and bypass. An absent option keeps the unit's value.
ArgParser& levelOptions(ArgParser& parser, const std::string& thresholdDefault) {
    return parser
        .option("threshold", "DBFS", "threshold, -96 to 0 dBFS; default " + thresholdDefault)
        .option("ratio", "R", "compression ratio, 1 to 10; default 2 (compressor only)")
        .option("knee", "DB", "knee width, 0 to 10 dB; default 4")
        .option("mode", "MODE", "limiter (default) or compressor")
        .flag("bypass", "bypass the unit (the gate still acts)");
}

void applyLevelOptions(const ParsedArgs& a, TDYNAMIC& unit) {
    unit.thresholdDbfs = static_cast<float>(a.number("threshold", unit.thresholdDbfs, -96.0, 0.0));
    unit.ratio = static_cast<float>(a.number("ratio", unit.ratio, 1.0, 10.0));
    unit.kneeDb = static_cast<float>(a.number("knee", unit.kneeDb, 0.0, 10.0));
    unit.kneeType = a.choice("mode", unit.kneeType == kCompressor ? "compressor" : "limiter",
                             {"limiter", "compressor"}) == "compressor"
                        ? kCompressor
                        : kLimiter;
    unit.bypass = a.has("bypass") ? 1 : unit.bypass;
}

int designDynamics(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 design dynamics [--threshold DBFS] [--ratio R] [--knee DB]\n"
        "         [--mode limiter|compressor] [--bypass] [--gate-level N] [--gate-slope N]\n"
        "         [--attack DB/S] [--hold MS] [--release DB/S] [--lookahead MS] [--json]",
        "Designs a dynamics unit's 33-entry gain table (levels -96, -93, ... 0 dBFS, noise\n"
        "gate applied) and its detector timing values as the dynamics editor does. Defaults\n"
        "are those of unit 1 (Out 1-2) at program start.");
    levelOptions(parser, "-6")
        .option("gate-level", "N", "noise gate level, 1 to 33; default 13 (1 = gate off)")
        .option("gate-slope", "N", "noise gate slope, 1 to 10; default 4")
        .option("attack", "DB/S", "attack rate, 5 to 250 dB/s; default 120")
        .option("hold", "MS", "hold time, 0 to 80 ms; default 40")
        .option("release", "DB/S", "release rate, 1 to 80 dB/s; default 5")
        .option("lookahead", "MS", "look-ahead, 0 to 2 ms; default 0")
        .flag("json", "print one JSON object");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    TDYNAMIC unit = ProcessorConfig().unit(1);
    applyLevelOptions(*a, unit);
    unit.gateLevel = static_cast<float>(a->integer("gate-level", 13, 1, kGainTableSize));
    unit.gateSlope = static_cast<float>(a->integer("gate-slope", 4, 1, 10));
    unit.lookAheadSamples = lookAheadSamplesFromMs(a->number("lookahead", 0.0, 0.0, 2.0));
    unit.detectorCoefficient =
        detectorCoefficientFromAttack(a->number("attack", 120.0, 5.0, 250.0));
    unit.holdSamples = holdSamplesFromMs(a->number("hold", 40.0, 0.0, 80.0), unit.lookAheadSamples);
    unit.releaseCount = releaseCountFromRate(a->number("release", 5.0, 1.0, 80.0));
    unit.design();

    const auto n = [](double v) { return jsonNumber(v, JsonNumbers::Digits17); };
    if (a->has("json")) {
        QJsonObject o;
        QJsonArray table;
        for (const double g : unit.gainTable) {
            table.append(g);
        }
        QJsonArray curve;
        for (int i = 0; i < kDynamicsCurvePoints; ++i) {
            const auto k = static_cast<std::size_t>(i);
            curve.append(QJsonArray{static_cast<double>(unit.inputDb[k]),
                                    static_cast<double>(unit.outputDb[k])});
        }
        o["gainTable"] = table;
        o["curve"] = curve;
        o["detectorCoefficient"] = unit.detectorCoefficient;
        o["holdSamples"] = unit.holdSamples;
        o["releaseCount"] = unit.releaseCount;
        o["lookAheadSamples"] = unit.lookAheadSamples;
        io.out << writeJson(o, JsonNumbers::Digits17);
        return kExitOk;
    }
    io.out << "detectorCoefficient " << n(unit.detectorCoefficient) << "\n"
           << "holdSamples         " << unit.holdSamples << "\n"
           << "releaseCount        " << unit.releaseCount << "\n"
           << "lookAheadSamples    " << unit.lookAheadSamples << "\n"
           << "gain table (level dBFS, factor):\n";
    for (int k = 0; k < kGainTableSize; ++k) {
        io.out << "  " << gainTableLevelDbfs(k) << "  "
               << n(unit.gainTable[static_cast<std::size_t>(k)]) << "\n";
    }
    io.out << "curve (input dBFS, output dBFS):\n";
    for (int i = 0; i < kDynamicsCurvePoints; ++i) {
        const auto k = static_cast<std::size_t>(i);
        io.out << "  " << n(unit.inputDb[k]) << "  " << n(unit.outputDb[k]) << "\n";
    }
    return kExitOk;
}

int designPower(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 design power [--threshold DBFS --ratio R --knee DB --mode limiter|compressor\n"
        "         --bypass] [--unit 1|2] [--load OHM] [--box-power W] [--amp-gain G]\n"
        "         [--unbalanced] [--json]",
        "Checks an amplifier against a loudspeaker box as the dynamics window does: the\n"
        "unit's highest output level and voltage, the RMS power the amplifier then delivers\n"
        "into the box, and the output level at which the box receives its rated power.\n"
        "Defaults are the unit's start-up values.");
    levelOptions(parser, "-6 (unit 2: -5)")
        .option("unit", "N", "1 (Out 1-2, default) or 2 (SUB)")
        .option("load", "OHM", "box impedance, 1 to 32 ohm; default 8")
        .option("box-power", "W", "maximum box power, 5 to 4000 W; default 400")
        .option("amp-gain", "G", "amplifier voltage gain (linear), 5 to 200; default 41")
        .flag("unbalanced", "the amplifier takes an unbalanced signal")
        .flag("json", "print one JSON object");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const int unitNumber = a->integer("unit", 1, 1, kDynamicsUnits);
    DynamicsUnit unit = ProcessorConfig().unit(unitNumber);
    applyLevelOptions(*a, unit);
    unit.loadImpedanceOhm = static_cast<float>(a->number("load", unit.loadImpedanceOhm, 1, 32));
    unit.boxPowerW = static_cast<float>(a->number("box-power", unit.boxPowerW, 5, 4000));
    unit.ampGain = static_cast<float>(a->number("amp-gain", unit.ampGain, 5, 200));
    unit.balanced = a->has("unbalanced") ? 0 : 1;
    unit.design();
    const PowerCheck check = checkOutputPower(unit, unitNumber);

    if (a->has("json")) {
        QJsonObject o;
        o["unit"] = unitNumber;
        o["levelDbu"] = check.levelDbu;
        o["vmaxVrms"] = check.vmaxVrms;
        o["powerW"] = check.powerW;
        o["boxLevelDbu"] = check.boxLevelDbu;
        o["meterMax"] = check.meterMax;
        o["overBoxPower"] = check.overBoxPower;
        io.out << writeJson(o, JsonNumbers::Digits17);
        return kExitOk;
    }
    std::array<char, 64> level{};
    std::snprintf(level.data(), level.size(), "%.1f dBu", check.levelDbu);
    std::array<char, 64> box{};
    std::snprintf(box.data(), box.size(), "%.1f dBu", check.boxLevelDbu);
    io.out << "unit          " << unitNumber << (unitNumber == 1 ? " (Out 1-2)" : " (SUB)") << "\n"
           << "level         " << level.data() << "\n"
           << "max voltage   " << voltageText(check.vmaxVrms) << " Vrms\n"
           << "RMS power     " << powerWattsText(check.powerW) << " W\n"
           << "box level     " << box.data() << " (" << powerWattsText(unit.boxPowerW)
           << " W box)\n"
           << "meter max     " << check.meterMax << "\n"
           << (check.overBoxPower ? "The Out Power exceeds your Box Power capacity!\n"
                                  : "Within the box's power rating.\n");
    return kExitOk;
}

constexpr std::array<Subcommand, 4> kDesignCommands = {{
    {"section", "design one equaliser section", designSection},
    {"crossover", "design one crossover edge", designCrossover},
    {"dynamics", "design a dynamics gain table and timing", designDynamics},
    {"power", "check an amplifier and box against a dynamics unit", designPower},
}};

}  // namespace

std::span<const Subcommand> designCommands() {
    return kDesignCommands;
}

}  // namespace kvn::cli
