// The kvn350 executable: binds the command-line tool to the process's streams.
#include <QCoreApplication>
#include <iostream>
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
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    kvn::cli::CommandIo io{std::cout, std::cerr, std::cin, isTerminal(0), isTerminal(2)};
    const int status = kvn::cli::runCli(args, io);
    std::cout.flush();
    return status;
}
