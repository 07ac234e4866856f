// The serial ports the operating system reports, for the settings dialog that maps COM 1..4 to
// devices. Pseudo-terminals are not reported: their paths are typed.
#pragma once

#include <string>
#include <vector>

namespace kvn::link {

struct SerialPortEntry {
    std::string location;     // what to open: "COM3" on Windows, "/dev/ttyUSB0" elsewhere
    std::string description;  // the system's description, possibly empty
};

// The available ports, sorted by location.
std::vector<SerialPortEntry> availableSerialPorts();

}  // namespace kvn::link
