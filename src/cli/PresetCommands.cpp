// preset new, show, diff, from-json, upgrade, copy-output, export-eq, import-eq.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>
#include <array>
#include <ostream>
#include <sstream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/PresetJson.h"
#include "cli/PresetStore.h"
#include "config/FilterTextMapping.h"
#include "config/OutputCopy.h"
#include "config/PresetText.h"

namespace kvn::cli {
namespace {

int presetNew(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 preset new OUT.KV2",
                     "Writes a preset file holding the configuration New gives (an existing file\n"
                     "is replaced; a failed write leaves it as it was).");
    parser.positional("OUT.KV2", "preset file to write");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    PresetStore::save(PresetStore::newPreset(), a->positional(0));
    return kExitOk;
}

int presetShow(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 preset show FILE.KV2 [--json]",
                     "Prints every stored field of a preset file as 'path = value' lines, or as\n"
                     "one JSON document that 'preset from-json' turns back into the same file.");
    parser.positional("FILE.KV2", "preset file (current or previous version)")
        .flag("json", "print the JSON document");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    printPreset(io, PresetStore::loadStored(a->positional(0), io.err).config, a->has("json"));
    return kExitOk;
}

int presetDiff(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 preset diff A.KV2 B.KV2",
                     "Lists the stored fields in which two preset files differ, one per line:\n"
                     "'path: value in A -> value in B'. Prints 'identical' when none differs.");
    parser.positional("A.KV2", "first preset file")
        .positional("B.KV2", "second preset file")
        .notes(
            "Exit status: 0 whether or not the presets differ, 1 on a usage error, 2 when an\n"
            "input file cannot be read or is not a preset file.");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const ProcessorConfig first = PresetStore::loadStored(a->positional(0), io.err).config;
    const ProcessorConfig second = PresetStore::loadStored(a->positional(1), io.err).config;
    const auto differences = PresetText::diff(first, second);
    if (differences.empty()) {
        io.out << "identical\n";
    }
    for (const auto& d : differences) {
        io.out << d.path << ": " << d.a << " -> " << d.b << "\n";
    }
    return kExitOk;
}

constexpr std::size_t kMaxJsonBytes = 1 << 20;

QJsonObject readJsonFile(const std::string& path) {
    const std::vector<std::uint8_t> raw = PresetStore::readFile(path, kMaxJsonBytes);
    const QByteArray bytes(reinterpret_cast<const char*>(raw.data()),
                           static_cast<qsizetype>(raw.size()));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        const auto before = bytes.left(error.offset);
        const auto line = before.count('\n') + 1;
        // The key too; a number too large for a double (1e999) is what Qt calls illegal.
        const std::string key =
            PresetJson::pathAt({bytes.constData(), static_cast<std::size_t>(bytes.size())},
                               static_cast<std::size_t>(error.offset));
        const std::string what = error.error == QJsonParseError::IllegalNumber
                                     ? "the number is not finite (too large to hold)"
                                     : error.errorString().toStdString();
        throwBadInput(path + ": line " + std::to_string(line) + ": " +
                      (key.empty() ? "" : key + ": ") + what);
    }
    if (!document.isObject()) {
        throwBadInput(path + ": expected a JSON object");
    }
    return document.object();
}

int presetFromJson(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 preset from-json IN.json OUT.KV2",
                     "Writes a preset file from a JSON document as 'preset show --json' prints\n"
                     "it. Keys left out keep the values New gives; unknown keys, wrong types and\n"
                     "values out of range are refused with a message naming the key, and nothing\n"
                     "is written then.");
    parser.positional("IN.json", "JSON document").positional("OUT.KV2", "preset file to write");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const std::string in = a->positional(0);
    ProcessorConfig config = PresetStore::newPreset();
    try {
        PresetJson::apply(readJsonFile(in), config);
    } catch (const CliError& e) {
        if (std::string(e.what()).rfind(in + ":", 0) == 0) {
            throw;
        }
        throwBadInput(in + ": " + e.what());
    }
    PresetStore::save(config, a->positional(1));
    return kExitOk;
}

int presetUpgrade(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 preset upgrade OLD.KV2 [NEW.KV2]",
        "Reads a preset file of the previous version (1596 bytes) and writes the current\n"
        "1612-byte record: to NEW.KV2, or in place when NEW.KV2 is left out (through a\n"
        "temporary file, so a failed write leaves the old file as it was). The gate levels\n"
        "and slopes the old version lacks take 13 and 4, as the editor gives them.");
    parser.positional("OLD.KV2", "preset file to upgrade")
        .positional("NEW.KV2", "where to write the upgraded file (default: in place)", false);
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const std::string old = a->positional(0);
    // The old version's warning is what this command is for; it is not repeated.
    std::ostringstream warnings;
    const PresetStore::Stored stored = PresetStore::loadStored(old, warnings);
    if (!stored.previousVersion) {
        io.err << "kvn350: " << old << " is already a current preset file\n";
        if (a->positionals.size() < 2) {
            return kExitOk;
        }
    }
    PresetStore::save(stored.config, a->positional(1, old));
    return kExitOk;
}

// The --groups words, in the order of kCopyGroups.
constexpr std::array<const char*, kCopyGroups.size()> kCopyGroupNames = {
    "route", "xover", "peq", "delay", "gain", "name", "dynamics"};

CopyGroups parseCopyGroups(const std::string& text) {
    if (text == "all") {
        return CopyGroups::all();
    }
    CopyGroups groups;
    std::istringstream words(text);
    std::string word;
    while (std::getline(words, word, ',')) {
        const auto it = std::find(kCopyGroupNames.begin(), kCopyGroupNames.end(), word);
        if (it == kCopyGroupNames.end()) {
            throwUsage("--groups: unknown group '" + word +
                       "' (route, xover, peq, delay, gain, name, dynamics, or all)");
        }
        groups.add(kCopyGroups[static_cast<std::size_t>(it - kCopyGroupNames.begin())]);
    }
    if (groups.empty()) {
        throwUsage("--groups: name at least one group, or all");
    }
    return groups;
}

int presetCopyOutput(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 preset copy-output FILE.KV2 --from S --to D [--groups LIST] -o OUT.KV2",
        "Copies groups of settings of output S onto output D (1 Output 1, 2 Output 2, 3 SUB)\n"
        "as the editor's output copy does, and writes the result to OUT.KV2. The file is\n"
        "read as the editor opens it; SUB keeps to its three bands, 500 Hz bands and 480 Hz\n"
        "low-pass filter, and outputs 1 and 2 share one dynamics unit.");
    parser.positional("FILE.KV2", "preset file to copy in")
        .option("from", "S", "source output, 1..3")
        .option("to", "D", "destination output, 1..3")
        .option("groups", "LIST",
                "comma-separated: route, xover, peq, delay, gain, name, dynamics; or all "
                "(default)")
        .option("output", "OUT.KV2", "preset file to write (may be FILE.KV2)", "o");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (!a->has("from") || !a->has("to") || !a->has("output")) {
        throwUsage("--from, --to and -o are required (see kvn350 preset copy-output --help)");
    }
    const int from = a->integer("from", 1, 1, kOutputCount);
    const int to = a->integer("to", 1, 1, kOutputCount);
    const CopyGroups groups = parseCopyGroups(a->value("groups").value_or("all"));
    ProcessorConfig config = PresetStore::loadForUse(a->positional(0), io.err);
    const OutputCopyResult result = copyOutput(config, from, to, groups);
    if (!result.copied) {
        io.err << "kvn350: copying " << outputTitle(from)
               << " onto itself changes nothing; nothing was written\n";
        return kExitOk;
    }
    for (const UserMessage& message : result.messages) {
        io.err << "kvn350: " << message.text << "\n";
    }
    PresetStore::save(config, *a->value("output"));
    return kExitOk;
}

constexpr const char* kFilterTextNotes =
    "The filter text holds one filter a line, as measurement and system-equaliser programs\n"
    "read and write it: 'Filter 1: ON PK Fc 1000 Hz Gain -3.5 dB Q 1.41'; types PK, LP, HP,\n"
    "LPQ, HPQ, BP, NO, AP, 'LS 6dB', 'HS 6dB', 'LSC 12 dB', 'HSC 12 dB' (LS and HS are the\n"
    "12 dB shelves), None; OFF filters; an optional 'Preamp: -3 dB' line; a line holding\n"
    "'Fc ... Hz' is a filter line; any other line is a comment. A band type is written as\n"
    "the text type that is the same filter; AllPass 1 has none.";

int outputNumber(const ParsedArgs& a) {
    if (!a.value("output")) {
        throwUsage("--output is required (see --help)");
    }
    return a.integer("output", 0, 1, kOutputCount);
}

int presetExportEq(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 preset export-eq FILE.KV2 --output 1|2|3 [-o FILTERS.txt]",
                     "Writes the equaliser of one output of a preset as filter text: one line per\n"
                     "band (7; SUB 3), bypassed bands as 'OFF None'. Refused, with nothing\n"
                     "written, when a band has no counterpart in the text.");
    parser.positional("FILE.KV2", "preset file")
        .option("output", "N", "1 (Output 1), 2 (Output 2) or 3 (SUB)")
        .option("out", "FILTERS.txt", "where to write the text (default: standard output)", "o")
        .notes(kFilterTextNotes);
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const int output = outputNumber(*a);
    const ProcessorConfig config = PresetStore::loadForUse(a->positional(0), io.err);
    const EqualizerExport exported = exportEqualizer(config, output);
    if (!exported.problem.empty()) {
        throwBadInput(a->positional(0) + ": " + exported.problem);
    }
    if (const auto out = a->value("out")) {
        PresetStore::writeFile(*out, {exported.text.begin(), exported.text.end()});
    } else {
        io.out << exported.text;
    }
    return kExitOk;
}

constexpr std::size_t kMaxFilterTextBytes = 1 << 20;

int presetImportEq(const Args& args, CommandIo& io) {
    ArgParser parser(
        "kvn350 preset import-eq FILE.KV2 --output 1|2|3 FILTERS.txt -o OUT.KV2",
        "Puts the filters of a filter text into the equaliser bands of one output and writes\n"
        "the preset to OUT.KV2, as the editor's Import filters... does: filter n goes to band\n"
        "n, the further bands are bypassed, each band is held to the editor's steps (Q 0.1,\n"
        "gain 0.1 dB, the frequency slider's step), and a Preamp line is added to the\n"
        "output's level. A filter the output cannot hold (a value outside the editor's\n"
        "ranges, more filters than bands) or a filter line that does not read is refused\n"
        "with its line named, and nothing is written.");
    parser.positional("FILE.KV2", "preset file")
        .positional("FILTERS.txt", "filter text")
        .option("output", "N", "1 (Output 1), 2 (Output 2) or 3 (SUB)")
        .option("out", "OUT.KV2", "preset file to write (may be FILE.KV2)", "o")
        .flag("skip-bad-lines",
              "import the filters that read and list the filter lines that do not on stderr")
        .notes(kFilterTextNotes);
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const int output = outputNumber(*a);
    if (!a->value("out")) {
        throwUsage("-o OUT.KV2 is required (see --help)");
    }
    ProcessorConfig config = PresetStore::loadForUse(a->positional(0), io.err);
    const std::string textPath = a->positional(1);
    const std::vector<std::uint8_t> raw = PresetStore::readFile(textPath, kMaxFilterTextBytes);
    const std::string text(raw.begin(), raw.end());
    const EqualizerImportCheck check =
        checkEqualizerImport(config, output, text, a->has("skip-bad-lines"));
    for (const FilterTextProblem& skipped : check.skipped) {
        io.err << "kvn350: " << textPath << ": skipped " << skipped.text() << "\n";
    }
    if (!check.import) {
        throwBadInput(textPath + ": " + check.problem->text());
    }
    const ProcessorConfig before = config;
    applyEqualizerImport(config, *check.import);
    PresetStore::save(config, *a->value("out"));
    io.out << describeEqualizerImport(before, *check.import) << "\n";
    return kExitOk;
}

constexpr std::array<Subcommand, 8> kPresetCommands = {{
    {"new", "write the preset New gives", presetNew},
    {"show", "print every stored field (--json: as a JSON document)", presetShow},
    {"diff", "list the fields in which two presets differ", presetDiff},
    {"from-json", "write a preset file from a JSON document", presetFromJson},
    {"upgrade", "rewrite a previous-version file in the current format", presetUpgrade},
    {"copy-output", "copy groups of one output's settings onto another", presetCopyOutput},
    {"export-eq", "write an output's equaliser as filter text", presetExportEq},
    {"import-eq", "put a filter text into an output's equaliser", presetImportEq},
}};

}  // namespace

void printPreset(CommandIo& io, const ProcessorConfig& config, bool json) {
    if (json) {
        io.out << writeJson(PresetJson::toJson(config), JsonNumbers::Shortest);
    } else {
        io.out << PresetText::show(config);
    }
}

std::span<const Subcommand> presetCommands() {
    return kPresetCommands;
}

}  // namespace kvn::cli
