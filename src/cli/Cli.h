// The kvn350 command-line tool: inspect, compare, convert and build presets, design filters,
// export responses, and drive the processor or the virtual processor from a shell.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandIo.h"

namespace kvn::cli {

// Runs the command in `args` (the words after the program name) and returns its exit status
// (0 success, 1 usage error, 2 bad input file, 3 device or link failure). Results go to io.out,
// messages to io.err as "kvn350: <message>".
int runCli(const std::vector<std::string>& args, CommandIo& io);

// True when the command draws pages (the report) and so needs a QGuiApplication rather than a
// QCoreApplication.
bool commandDraws(const std::vector<std::string>& args);

}  // namespace kvn::cli
