// device and ports: waiting for the device link.
#include "cli/CliError.h"
#include "cli/Commands.h"

namespace kvn::cli {

int runPorts(const Args&, CommandIo&) {
    throwUsage("serial ports are not available in this build yet");
}

int runDevice(const Args&, CommandIo&) {
    throwUsage("the device link is not available in this build yet");
}

}  // namespace kvn::cli
