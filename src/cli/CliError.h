// The failure of a command: the exit status the shell sees and the message printed on stderr.
#pragma once

#include <stdexcept>
#include <string>

namespace kvn::cli {

// Exit status of every command.
enum ExitStatus : int {
    kExitOk = 0,
    kExitUsage = 1,     // bad or missing arguments, refused confirmation
    kExitBadInput = 2,  // an input file that cannot be read or is not what it should be
    kExitDevice = 3,    // the processor or the link failed
};

// Thrown by a command to end with `status` and `message` (printed as "kvn350: message"; an empty
// message prints nothing, for failures that have been reported already).
class CliError : public std::runtime_error {
public:
    CliError(int status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

[[noreturn]] inline void throwUsage(const std::string& message) {
    throw CliError(kExitUsage, message);
}
[[noreturn]] inline void throwBadInput(const std::string& message) {
    throw CliError(kExitBadInput, message);
}
[[noreturn]] inline void throwDevice(const std::string& message) {
    throw CliError(kExitDevice, message);
}

}  // namespace kvn::cli
