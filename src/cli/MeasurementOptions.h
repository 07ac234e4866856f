// The --format option of the commands that read measurement files.
#pragma once

#include <string>

#include "cli/ArgParser.h"

namespace kvn::cli {

// --format: "auto" (the default, kFormatAuto) or a measurement format code; anything else is a
// usage error.
int measurementFormatOption(const ParsedArgs& a);
// The codes and names for a command's help, one "  CODE  name" line each, auto first.
std::string measurementFormatList();

}  // namespace kvn::cli
