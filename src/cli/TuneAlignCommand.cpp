// tune align: placeholder until the command is built.
#include "cli/CliError.h"
#include "cli/Commands.h"

namespace kvn::cli {

int runTuneAlign(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 tune align", "Not available in this build.");
    if (!parseOrHelp(parser, args, io)) {
        return kExitOk;
    }
    throwUsage("tune align is not available in this build");
}

}  // namespace kvn::cli
