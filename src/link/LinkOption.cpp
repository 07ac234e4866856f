// The standard link choices.
#include "link/LinkOption.h"

#include "link/LinkTexts.h"
#include "link/PortMap.h"

namespace kvn::link {

LinkOption LinkOption::offline() {
    LinkOption option;
    option.statusText = text::kStatusOffline;
    return option;
}

LinkOption LinkOption::com(int number, std::function<std::unique_ptr<ByteChannel>()> makeChannel) {
    return serial(number, PortMap::portName(number), std::move(makeChannel));
}

LinkOption LinkOption::serial(int connectionMode, const std::string& name,
                              std::function<std::unique_ptr<ByteChannel>()> makeChannel) {
    LinkOption option;
    option.kind = Kind::Serial;
    option.connectionMode = connectionMode;
    option.statusText = text::kStatusConnectedAt + name;
    option.portText = text::kCommunicationPort + name;
    option.makeChannel = std::move(makeChannel);
    return option;
}

LinkOption LinkOption::usb(std::function<std::unique_ptr<D2xx>()> makeD2xx) {
    LinkOption option;
    option.kind = Kind::Usb;
    option.connectionMode = 5;
    option.statusText = text::kStatusUsb;
    option.portText = std::string(text::kCommunicationPort) + "USB";
    option.makeD2xx = std::move(makeD2xx);
    return option;
}

}  // namespace kvn::link
