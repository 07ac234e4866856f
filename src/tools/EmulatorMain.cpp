// kvn350-emulator: the virtual KVN 350 on a pseudo-terminal.
#include "emulator/VirtualProcessor.h"
#include "tools/EmulatorOptions.h"
#include "tools/PtyServer.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kvn::tools::EmulatorOptions;

constexpr const char* kProgram = "kvn350-emulator";
int stopPipe[2] = {-1, -1};

void requestStop(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(stopPipe[1], &byte, 1);
}

bool installStopHandlers() {
    if (pipe(stopPipe) != 0) {
        return false;
    }
    fcntl(stopPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    signal(SIGPIPE, SIG_IGN);
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

int fail(const std::string& message) {
    std::cerr << kProgram << ": " << message << "\n";
    return 1;
}

std::optional<kvn::emu::Image> readImage(const fs::path& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the image \"" + path.string() + "\"";
        return std::nullopt;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    kvn::emu::Image image{};
    if (bytes.size() != image.size()) {
        error = "the image \"" + path.string() + "\" holds " + std::to_string(bytes.size()) +
                " bytes, not " + std::to_string(image.size());
        return std::nullopt;
    }
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return image;
}

// Makes `link` point at `target`, replacing an earlier symbolic link but nothing else.
bool makeLink(const fs::path& link, const std::string& target, std::string& error) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(link, ec);
    if (fs::exists(status)) {
        if (!fs::is_symlink(status)) {
            error = "\"" + link.string() + "\" exists and is not a symbolic link";
            return false;
        }
        fs::remove(link, ec);
    }
    fs::create_symlink(target, link, ec);
    if (ec) {
        error = "cannot make the link \"" + link.string() + "\": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const kvn::tools::ParsedOptions parsed =
        kvn::tools::parseEmulatorOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << kProgram << ": " << parsed.error << "\nTry '" << kProgram << " --help'.\n";
        return 2;
    }
    const EmulatorOptions& options = *parsed.options;
    if (options.help) {
        std::cout << kvn::tools::emulatorHelpText();
        return 0;
    }

    kvn::emu::DeviceOptions deviceOptions;
    deviceOptions.commandReply = options.commandReply;
    deviceOptions.baud = options.baud;
    deviceOptions.silenceTimeout = options.silenceTimeout;
    std::string error;
    if (options.initialImagePath) {
        deviceOptions.initialImage = readImage(*options.initialImagePath, error);
        if (!deviceOptions.initialImage) {
            return fail(error);
        }
    }
    kvn::emu::VirtualProcessor device(deviceOptions);
    if (options.statePath && fs::exists(*options.statePath) &&
        !device.loadState(*options.statePath, error)) {
        return fail(error);
    }
    for (int memory : options.protectedMemories) {
        device.setProtected(memory, true);
    }

    kvn::tools::PtyServer server(device);
    if (!installStopHandlers()) {
        return fail("cannot install the signal handlers");
    }
    if (!server.open(error)) {
        return fail(error);
    }
    if (options.linkPath && !makeLink(*options.linkPath, server.path(), error)) {
        return fail(error);
    }
    // Faults are armed last, so that their byte counts start with the client's first byte.
    device.setFaults(options.faults);

    std::cout << server.path() << std::endl;
    std::cerr << kProgram << ": serving the virtual KVN 350 on " << server.path()
              << (options.linkPath ? " (link " + options.linkPath->string() + ")" : "")
              << "; stop with Ctrl+C\n";

    const kvn::tools::PtyServer::Ending ending = server.serve(stopPipe[0], error);
    int status = 0;
    if (ending == kvn::tools::PtyServer::Ending::Failed) {
        std::cerr << kProgram << ": " << error << "\n";
        status = 1;
    } else if (ending == kvn::tools::PtyServer::Ending::DeviceGone) {
        std::cerr << kProgram << ": the processor disappeared (fault injection)\n";
    }
    if (options.statePath && !device.saveState(*options.statePath, error)) {
        std::cerr << kProgram << ": " << error << "\n";
        status = 1;
    }
    if (options.linkPath) {
        std::error_code ec;
        fs::remove(*options.linkPath, ec);
    }
    return status;
}
