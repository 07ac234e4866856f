// Port texts and the links behind them.
#include "link/PortTarget.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "link/VirtualSerialChannel.h"

namespace kvn::link {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsbPrefix = "usb:";
constexpr std::string_view kVirtualPrefix = "virtual:";

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == prefix;
}

// The path with links and ".." resolved as far as it exists.
std::string resolved(const fs::path& path) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(path, ec);
    return (ec ? path.lexically_normal() : canonical).string();
}

}  // namespace

std::string PortAddress::text() const {
    switch (kind) {
        case Kind::Com:
            return PortMap::portName(com);
        case Kind::Usb:
            return location.empty() ? "usb" : "usb:" + location;
        case Kind::Virtual:
            return location.empty() ? "virtual" : "virtual:" + location;
        case Kind::Path:
            break;
    }
    return location;
}

std::optional<PortAddress> parsePortText(std::string_view text, const fs::path& base,
                                         std::string& error) {
    PortAddress port;
    const std::string name = lower(text);
    if (text.empty()) {
        error = "expected a port";
        return std::nullopt;
    }
    if (name.size() == 4 && name.rfind("com", 0) == 0 && name[3] >= '1' && name[3] <= '4') {
        port.kind = PortAddress::Kind::Com;
        port.com = name[3] - '0';
    } else if (name == "usb" || startsWith(text, kUsbPrefix)) {
        port.kind = PortAddress::Kind::Usb;
        port.location = name == "usb" ? std::string() : std::string(text.substr(kUsbPrefix.size()));
        if (name != "usb" && port.location.empty()) {
            error = "usb: expected the converter's serial number after 'usb:'";
            return std::nullopt;
        }
    } else if (name == "virtual" || startsWith(text, kVirtualPrefix)) {
        port.kind = PortAddress::Kind::Virtual;
        if (name != "virtual") {
            const fs::path state(std::string(text.substr(kVirtualPrefix.size())));
            port.location = state.empty() ? std::string()
                                          : fs::absolute(base / state).lexically_normal().string();
        }
    } else {
        // "tcp:host" and the like; a drive letter ("C:\...") and a device path are paths.
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos && colon > 1 &&
            text.substr(0, colon).find_first_of("/\\") == std::string_view::npos) {
            error = "'" + std::string(text) +
                    "' is no port this program knows: expected a device path, COM1..COM4, usb, "
                    "usb:SERIAL or virtual:STATE_FILE";
            return std::nullopt;
        }
        port.location = std::string(text);
    }
    return port;
}

std::string portIdentity(const PortAddress& port, const PortMap& ports) {
    switch (port.kind) {
        case PortAddress::Kind::Com:
            return "serial:" + resolved(ports.path(port.com));
        case PortAddress::Kind::Path:
            return "serial:" + resolved(port.location);
        case PortAddress::Kind::Usb:
            return "usb:" + port.location;
        case PortAddress::Kind::Virtual:
            // Without a state file every virtual processor is a port of its own.
            return port.location.empty() ? std::string() : "virtual:" + resolved(port.location);
    }
    return {};
}

std::optional<PortTarget> PortTarget::open(const PortAddress& port, const SystemLinks& system,
                                           std::string& error) {
    PortTarget target;
    if (port.kind != PortAddress::Kind::Virtual) {
        target.option = system ? system(port) : LinkOption::offline();
        return target;
    }
    target.device = std::make_shared<emu::VirtualProcessor>();
    target.statePath = port.location;
    if (!target.statePath.empty() && fs::exists(target.statePath) &&
        !target.device->loadState(target.statePath, error)) {
        return std::nullopt;
    }
    target.option = LinkOption::serial(kVirtualConnectionMode, "Virtual", [device = target.device] {
        return std::make_unique<VirtualSerialChannel>(*device);
    });
    return target;
}

bool PortTarget::saveState(std::string& error) const {
    return !device || statePath.empty() || device->saveState(statePath, error);
}

}  // namespace kvn::link
