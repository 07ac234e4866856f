// The commands of the tool. Each takes the words after its name and the streams it talks to,
// returns its exit status, and throws CliError for the failures it cannot go on from.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/ArgParser.h"
#include "cli/CommandIo.h"
#include "config/ProcessorConfig.h"

namespace kvn::cli {

using Args = std::vector<std::string>;
using CommandFunction = int (*)(const Args& args, CommandIo& io);

struct Subcommand {
    const char* name;
    const char* summary;
    CommandFunction run;
};

// Parses `args`; on --help prints the help and returns nothing (the command then ends with 0).
std::optional<ParsedArgs> parseOrHelp(const ArgParser& parser, const Args& args, CommandIo& io);

// Prints a configuration as 'preset show' does: "path = value" lines, or the JSON document.
void printPreset(CommandIo& io, const ProcessorConfig& config, bool json);

std::span<const Subcommand> presetCommands();
std::span<const Subcommand> imageCommands();
std::span<const Subcommand> designCommands();
std::span<const Subcommand> measurementCommands();
std::span<const Subcommand> tuneCommands();
std::span<const Subcommand> rigCommands();
int runTuneEq(const Args& args, CommandIo& io);
int runTuneAlign(const Args& args, CommandIo& io);
int runResponse(const Args& args, CommandIo& io);
int runReport(const Args& args, CommandIo& io);
int runPorts(const Args& args, CommandIo& io);
int runDevice(const Args& args, CommandIo& io);

}  // namespace kvn::cli
