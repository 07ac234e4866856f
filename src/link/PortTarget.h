// A processor's port as the user writes it ("/dev/ttyUSB0", "COM2", "usb", "usb:FT4XYZ12",
// "virtual:hall.kvs"), and the link made for it. The operating system's links (serial ports, the
// USB converter) come from a factory the caller passes in, so this layer stays free of them; the
// virtual processor behind "virtual:" lives here, its memories kept in its state file.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "emulator/VirtualProcessor.h"
#include "link/LinkOption.h"
#include "link/PortMap.h"

namespace kvn::link {

struct PortAddress {
    enum class Kind { Com, Path, Usb, Virtual };

    Kind kind = Kind::Path;
    int com = 0;  // Com: 1..4
    // Path: the device; Usb: the converter's serial number (empty: the first converter);
    // Virtual: the state file (empty: the memories are not kept).
    std::string location;

    // The port as the user writes it.
    std::string text() const;
};

// Reads a port text. Device paths are taken as written; the state file of "virtual:FILE" is
// taken relative to `base`. Empty, with `error` saying why, for an empty text, "usb:" without a
// serial number, or "name:..." of a kind this program does not know.
std::optional<PortAddress> parsePortText(std::string_view text, const std::filesystem::path& base,
                                         std::string& error);

// What the port leads to: two ports with the same identity are one port (COM 1 mapped to
// /dev/ttyS0 and /dev/ttyS0 itself; a symbolic link and its device; two spellings of one state
// file). "usb" and "usb:SERIAL" cannot be told apart without opening the converter.
std::string portIdentity(const PortAddress& port, const PortMap& ports);

// Makes the link of a serial port or the USB converter (never called for Virtual).
using SystemLinks = std::function<LinkOption(const PortAddress& port)>;

// The link for one port. For Virtual, the virtual processor is made here and its state file
// loaded (when it exists); saveState() keeps its memories for the next run.
class PortTarget {
public:
    // ConnectionMode of the links the connection window does not number.
    static constexpr int kVirtualConnectionMode = 6;
    static constexpr int kPathConnectionMode = 7;

    // Empty, with `error` naming the state file and the problem, when a state file is refused.
    static std::optional<PortTarget> open(const PortAddress& port, const SystemLinks& system,
                                          std::string& error);

    LinkOption option;
    // The virtual processor behind a Virtual port; null otherwise.
    std::shared_ptr<emu::VirtualProcessor> device;
    std::filesystem::path statePath;

    // Saves the virtual processor's state file; true when there is nothing to save.
    bool saveState(std::string& error) const;
};

}  // namespace kvn::link
