// rig: status, write, backup and restore of the processors a rig file names.
#include <span>

#include "cli/Commands.h"

namespace kvn::cli {

std::span<const Subcommand> rigCommands() {
    return {};
}

}  // namespace kvn::cli
