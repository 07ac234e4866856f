// The kvn350 executable: binds the command-line tool to the process's streams.
#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/Cli.h"

namespace {

bool isTerminal(int fd) {
#ifdef _WIN32
    return _isatty(fd) != 0;
#else
    return isatty(fd) == 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::unique_ptr<QCoreApplication> app;
    if (kvn::cli::commandDraws(args)) {
        // The report is drawn into a file, never onto a screen: no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    kvn::cli::CommandIo io{std::cout, std::cerr, std::cin, isTerminal(0), isTerminal(2)};
    const int status = kvn::cli::runCli(args, io);
    std::cout.flush();
    return status;
}
