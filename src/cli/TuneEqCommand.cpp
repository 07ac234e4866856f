// tune eq: placeholder until the command is built.
#include "cli/CliError.h"
#include "cli/Commands.h"

namespace kvn::cli {

int runTuneEq(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 tune eq", "Not available in this build.");
    if (!parseOrHelp(parser, args, io)) {
        return kExitOk;
    }
    throwUsage("tune eq is not available in this build");
}

}  // namespace kvn::cli
