// Questions on the terminal.
#include "cli/CommandIo.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

#include "cli/CliError.h"

namespace kvn::cli {

bool confirm(CommandIo& io, const std::string& question, bool assumeYes) {
    if (assumeYes) {
        return true;
    }
    if (!io.inIsTerminal) {
        throwUsage(question + "\nNo terminal to ask on: add --yes to go ahead.");
    }
    io.err << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(io.in, answer)) {
        return false;
    }
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return answer == "y" || answer == "yes";
}

}  // namespace kvn::cli
