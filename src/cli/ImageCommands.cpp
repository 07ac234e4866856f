// image build, image decode.
#include <array>
#include <ostream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/PresetStore.h"
#include "config/MemoryImage.h"

namespace kvn::cli {
namespace {

// A memory image file holds the 2046 bytes a memory transfer carries; longer files are refused
// rather than read whole.
constexpr std::size_t kMaxImageFileBytes = 32768;

int imageBuild(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 image build FILE.KV2 -o IMAGE.bin",
                     "Builds the memory image the editor writes to the processor for a preset\n"
                     "file: the file is opened and refreshed as the editor opens it, so the\n"
                     "2046 bytes are those the editor would send.");
    parser.positional("FILE.KV2", "preset file")
        .option("output", "IMAGE.bin", "image to write", "o");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (!a->value("output")) {
        throwUsage("-o IMAGE.bin is required (see --help)");
    }
    const ProcessorConfig config = PresetStore::loadForUse(a->positional(0), io.err);
    const ImageBuffer image = BuildImage(config);
    PresetStore::writeFile(*a->value("output"), {image.begin(), image.end()});
    return kExitOk;
}

int imageDecode(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 image decode IMAGE.bin [--json]",
                     "Decodes a memory image as the editor decodes a memory read from the\n"
                     "processor (the filters are designed again from its parameters) and prints\n"
                     "the configuration like 'preset show'.");
    parser.positional("IMAGE.bin", "memory image (2046 bytes)")
        .flag("json", "print the JSON document of 'preset show --json'");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const std::string path = a->positional(0);
    const std::vector<std::uint8_t> bytes = PresetStore::readFile(path, kMaxImageFileBytes);
    const ProcessorConfig config = PresetStore::decodeImage(bytes, path, io.err);
    printPreset(io, config, a->has("json"));
    return kExitOk;
}

constexpr std::array<Subcommand, 2> kImageCommands = {{
    {"build", "build the memory image of a preset file", imageBuild},
    {"decode", "decode a memory image and print its configuration", imageDecode},
}};

}  // namespace

std::span<const Subcommand> imageCommands() {
    return kImageCommands;
}

}  // namespace kvn::cli
