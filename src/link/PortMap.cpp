// Default device paths of COM 1..4.
#include "link/PortMap.h"

namespace kvn::link {

PortMap PortMap::defaults(Platform platform) {
    PortMap map;
    switch (platform) {
        case Platform::Windows:
            map.paths_ = {"COM1", "COM2", "COM3", "COM4"};
            break;
        case Platform::Linux:
            // Two built-in ports, then the first two USB serial adapters.
            map.paths_ = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1"};
            break;
        case Platform::MacOs:
            // Macs have no built-in ports; the call-out devices of USB serial adapters.
            map.paths_ = {"/dev/cu.usbserial", "/dev/cu.usbserial1", "/dev/cu.usbserial2",
                          "/dev/cu.usbserial3"};
            break;
    }
    return map;
}

PortMap PortMap::defaults() {
#if defined(_WIN32)
    return defaults(Platform::Windows);
#elif defined(__APPLE__)
    return defaults(Platform::MacOs);
#else
    return defaults(Platform::Linux);
#endif
}

std::string PortMap::path(int number) const {
    if (number < 1 || number > kPorts) {
        return {};
    }
    return paths_[static_cast<std::size_t>(number - 1)];
}

void PortMap::setPath(int number, std::string path) {
    if (number >= 1 && number <= kPorts) {
        paths_[static_cast<std::size_t>(number - 1)] = std::move(path);
    }
}

std::string PortMap::portName(int number) {
    return "COM" + std::to_string(number);
}

}  // namespace kvn::link
