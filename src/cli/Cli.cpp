// Command dispatch and the top-level help.
#include "cli/Cli.h"

#include <array>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "cli/CliError.h"
#include "cli/Commands.h"

namespace kvn::cli {
namespace {

constexpr const char* kVersion = "kvn350 2.1.0";

struct Group {
    const char* name;
    const char* summary;
    std::span<const Subcommand> (*subcommands)();  // null for a command without subcommands
    CommandFunction run;
};

const std::array<Group, 10>& groups() {
    static const std::array<Group, 10> table = {{
        {"preset", "create, show, compare, convert and upgrade preset files (.KV2)", presetCommands,
         nullptr},
        {"image", "build and decode processor memory images", imageCommands, nullptr},
        {"design", "design equaliser sections, crossover edges, dynamics tables", designCommands,
         nullptr},
        {"measurement", "read measurement export files onto the response grid", measurementCommands,
         nullptr},
        {"response", "print the response of one output of a preset, or the final response", nullptr,
         runResponse},
        {"tune", "fit an output's equaliser or align the outputs from their measurements",
         tuneCommands, nullptr},
        {"report", "write the handover report of a preset as an A4 PDF", nullptr, runReport},
        {"ports", "list serial ports and the COM 1..4 mapping", nullptr, runPorts},
        {"device", "talk to the processor or the virtual processor", nullptr, runDevice},
        {"rig", "status, write, backup and restore of several processors named in a rig file",
         rigCommands, nullptr},
    }};
    return table;
}

std::string topHelp() {
    std::ostringstream s;
    s << "Usage: kvn350 COMMAND [SUBCOMMAND] [ARGS...]\n\n"
         "Command-line companion of the KVN 350 editor: what it writes is what the editor\n"
         "would write.\n\nCommands:\n";
    for (const Group& g : groups()) {
        s << "  " << std::left << std::setw(13) << g.name << g.summary << "\n";
    }
    s << "\nRun 'kvn350 COMMAND --help' for the command's subcommands and options.\n"
         "Exit status: 0 success, 1 usage error, 2 bad input file, 3 device or link failure.\n";
    return s.str();
}

std::string groupHelp(const Group& g) {
    std::ostringstream s;
    s << "Usage: kvn350 " << g.name << " SUBCOMMAND [ARGS...]\n\n"
      << g.summary << "\n\nSubcommands:\n";
    for (const Subcommand& c : g.subcommands()) {
        s << "  " << std::left << std::setw(12) << c.name << c.summary << "\n";
    }
    s << "\nRun 'kvn350 " << g.name << " SUBCOMMAND --help' for its options.\n";
    return s.str();
}

int dispatch(const Args& args, CommandIo& io) {
    if (args.empty()) {
        io.err << topHelp();
        return kExitUsage;
    }
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
        io.out << topHelp();
        return kExitOk;
    }
    if (name == "--version") {
        io.out << kVersion << "\n";
        return kExitOk;
    }
    for (const Group& g : groups()) {
        if (name != g.name) {
            continue;
        }
        const Args rest(args.begin() + 1, args.end());
        if (g.run != nullptr) {
            return g.run(rest, io);
        }
        if (rest.empty()) {
            io.err << groupHelp(g);
            return kExitUsage;
        }
        if (rest[0] == "--help" || rest[0] == "-h") {
            io.out << groupHelp(g);
            return kExitOk;
        }
        for (const Subcommand& c : g.subcommands()) {
            if (rest[0] == c.name) {
                return c.run(Args(rest.begin() + 1, rest.end()), io);
            }
        }
        throwUsage("unknown subcommand '" + std::string(g.name) + " " + rest[0] + "' (see kvn350 " +
                   g.name + " --help)");
    }
    throwUsage("unknown command '" + name + "' (see kvn350 --help)");
}

}  // namespace

std::optional<ParsedArgs> parseOrHelp(const ArgParser& parser, const Args& args, CommandIo& io) {
    ParsedArgs a = parser.parse(args);
    if (a.help) {
        io.out << parser.helpText();
        return std::nullopt;
    }
    return a;
}

int runCli(const std::vector<std::string>& args, CommandIo& io) {
    try {
        return dispatch(args, io);
    } catch (const CliError& e) {
        if (*e.what() != '\0') {
            io.err << "kvn350: " << e.what() << "\n";
        }
        return e.status();
    }
}

bool commandDraws(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == "report";
}

}  // namespace kvn::cli
