// tune: the optimisers of src/analysis on a preset and its measurements.
#include <array>

#include "cli/Commands.h"

namespace kvn::cli {
namespace {

const std::array<Subcommand, 2> kTuneCommands = {{
    {"eq", "fit an output's equaliser bands to a measurement and a target", runTuneEq},
    {"align", "choose the outputs' delays and polarities for the best summation", runTuneAlign},
}};

}  // namespace

std::span<const Subcommand> tuneCommands() {
    return kTuneCommands;
}

}  // namespace kvn::cli
