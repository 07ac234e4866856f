// image build, image decode.
#include <array>

#include "cli/CliError.h"
#include "cli/Commands.h"

namespace kvn::cli {
namespace {

int imageUnavailable(const Args&, CommandIo&) {
    throwUsage("memory images are not available in this build yet");
}

constexpr std::array<Subcommand, 2> kImageCommands = {{
    {"build", "build the memory image of a preset", imageUnavailable},
    {"decode", "decode a memory image", imageUnavailable},
}};

}  // namespace

std::span<const Subcommand> imageCommands() {
    return kImageCommands;
}

int runPorts(const Args&, CommandIo&) {
    throwUsage("serial ports are not available in this build yet");
}

int runDevice(const Args&, CommandIo&) {
    throwUsage("the device link is not available in this build yet");
}

}  // namespace kvn::cli
