// What the operating system says about a serial port and the USB converters, as the connection
// doctor needs it. A probe gathers the facts (SystemPortProbe on the machine; tests make them up),
// the doctor turns them into advice.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kvn::link {

struct PortFacts {
    bool exists = false;
    // The user may open it for reading and writing, as far as its permissions say.
    bool permitted = true;
    // The device file's group, and whether the user belongs to it; empty when unknown.
    std::string group;
    bool inGroup = true;
    // The group may read and write the device (joining it would help).
    bool groupMayUse = false;
    // Other programs that hold the port open or locked ("minicom (pid 4711)").
    std::vector<std::string> holders;
};

struct UsbConverter {
    std::string product;     // "FT232R USB UART"
    std::string deviceNode;  // "/dev/bus/usb/001/004"; empty when unknown
    bool permitted = true;   // the user may open the device node
    std::string group;       // the device node's group
    // The terminal the kernel's serial driver made of it ("/dev/ttyUSB0"); empty when no driver
    // holds it.
    std::string kernelPort;
};

class PortProbe {
public:
    virtual ~PortProbe() = default;
    virtual PortFacts port(const std::string& path) const = 0;
    // The FTDI converters on the USB buses.
    virtual std::vector<UsbConverter> usbConverters() const = 0;
};

}  // namespace kvn::link
