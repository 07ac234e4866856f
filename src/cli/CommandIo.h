// What a command talks to: its output streams, its input for questions, and whether they are
// terminals. The executable binds them to the process's streams; tests bind string streams.
#pragma once

#include <iosfwd>
#include <string>

namespace kvn::cli {

struct CommandIo {
    std::ostream& out;  // results
    std::ostream& err;  // messages, questions and the progress line
    std::istream& in;   // answers to questions
    bool inIsTerminal = false;
    bool errIsTerminal = false;
};

// Asks `question` on a terminal and returns true for a yes. `assumeYes` answers yes without
// asking. Without a terminal to ask on (and without `assumeYes`) nothing is asked: the command is
// refused with a usage error that names `--yes`.
bool confirm(CommandIo& io, const std::string& question, bool assumeYes);

}  // namespace kvn::cli
