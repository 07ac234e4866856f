// preset new, show, diff, from-json, upgrade.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <array>
#include <ostream>
#include <sstream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/PresetJson.h"
#include "cli/PresetStore.h"
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
        throwBadInput(path + ": line " + std::to_string(line) + ": " +
                      error.errorString().toStdString());
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

constexpr std::array<Subcommand, 5> kPresetCommands = {{
    {"new", "write the preset New gives", presetNew},
    {"show", "print every stored field (--json: as a JSON document)", presetShow},
    {"diff", "list the fields in which two presets differ", presetDiff},
    {"from-json", "write a preset file from a JSON document", presetFromJson},
    {"upgrade", "rewrite a previous-version file in the current format", presetUpgrade},
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
