// Where COM 1 to COM 4 of the connection window lead. On Windows they are the ports "COM1" to
// "COM4"; on Linux and macOS each is a device path with a sensible default that the user can
// change. A port can also be opened by any path directly (a USB serial adapter, a pseudo-terminal).
#pragma once

#include <array>
#include <string>

namespace kvn::link {

class PortMap {
public:
    enum class Platform { Windows, Linux, MacOs };
    static constexpr int kPorts = 4;

    // The defaults of `platform`, or of the platform this program was built for.
    static PortMap defaults(Platform platform);
    static PortMap defaults();

    // The device of COM `number` (1..4); empty for any other number.
    std::string path(int number) const;
    // Changes where COM `number` (1..4) leads; other numbers are ignored.
    void setPath(int number, std::string path);

    // "COM1".."COM4", the name the program shows for the port.
    static std::string portName(int number);

private:
    std::array<std::string, kPorts> paths_;
};

}  // namespace kvn::link
