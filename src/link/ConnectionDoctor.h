// The connection doctor: when the processor cannot be reached, says why in words a technician
// can act on, from checks that are actually made, one after the other until one fails:
//   serial:  Port (the device exists), Permission (the user may open it), Open (no other
//            program holds it), Answer (a KVN 350 answers the connection check)
//   USB:     USB converter (an FTDI converter is there and free), Answer
//   virtual: Answer
// The answer check runs the connection check over the link itself, so a silent line, a wrong
// baud rate or another device show as what they are. Blocking: runs on the link's thread.
#pragma once

#include <string>
#include <vector>

#include "link/LinkOption.h"
#include "link/PortFacts.h"
#include "link/Sleeper.h"

namespace kvn::link {

struct DoctorCheck {
    enum class Outcome { Passed, Failed, NotRun };
    std::string name;  // "Port", "Permission", "Open", "USB converter", "Answer"
    Outcome outcome = Outcome::NotRun;
    std::string text;  // what was found, and for a failure what to do
};

struct DoctorReport {
    std::vector<DoctorCheck> checks;

    // A KVN 350 answered.
    bool answered() const;
    // The text of the first failed check, or of the answer when every check passed.
    std::string diagnosis() const;
    // One line per check that ran: "Port: passed - /dev/ttyUSB0 exists".
    std::vector<std::string> lines() const;
};

// Runs the checks for `option` (Offline has nothing to check). `probe` and `sleeper` are used
// during the call only.
DoctorReport diagnoseConnection(const LinkOption& option, const PortProbe& probe, Sleeper& sleeper);

}  // namespace kvn::link
