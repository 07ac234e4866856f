// The connection doctor's facts from this machine: the device file's existence, permissions and
// group, the programs that hold it open or locked, and the FTDI converters on the USB buses with
// the terminals the kernel's serial driver made of them. Linux reads /proc and /sys; elsewhere
// only what the file system says is known.
#pragma once

#include "link/PortFacts.h"

namespace kvn::link {

class SystemPortProbe final : public PortProbe {
public:
    PortFacts port(const std::string& path) const override;
    std::vector<UsbConverter> usbConverters() const override;
};

}  // namespace kvn::link
