// The in-process serial link to the virtual processor.
#include "link/VirtualSerialChannel.h"

#include <chrono>

namespace kvn::link {

namespace {

constexpr const char* kNoSuchPort = "No such file or directory";
constexpr const char* kDeviceGone = "Input/output error";

}  // namespace

VirtualSerialChannel::VirtualSerialChannel(emu::VirtualProcessor& device, ClockPolicy policy)
    : device_(device), clock_(device, policy) {}

bool VirtualSerialChannel::connect() {
    if (connected_) {
        return true;
    }
    if (!portPresent_ || device_.gone()) {
        errorText_ = kNoSuchPort;
        return false;
    }
    device_.discardArrived(clock_.now());
    connected_ = true;
    errorText_.clear();
    return true;
}

void VirtualSerialChannel::disconnect() {
    connected_ = false;
}

int VirtualSerialChannel::sendData(std::span<const std::uint8_t> bytes) {
    if (!connected_ || bytes.empty() || !checkDevicePresent()) {
        return 0;
    }
    device_.write(bytes, clock_.now());
    return static_cast<int>(bytes.size());
}

std::vector<std::uint8_t> VirtualSerialChannel::awaitChunk(int timeoutMs) {
    if (!connected_) {
        return {};
    }
    const bool arrived = clock_.waitForOutput(std::chrono::milliseconds(timeoutMs));
    if (!checkDevicePresent() || !arrived) {
        return {};
    }
    return device_.read(clock_.now());
}

void VirtualSerialChannel::purgeInput() {
    if (connected_) {
        device_.discardArrived(clock_.now());
    }
}

bool VirtualSerialChannel::checkDevicePresent() {
    if (device_.gone()) {
        connected_ = false;
        errorText_ = kDeviceGone;
        return false;
    }
    return true;
}

}  // namespace kvn::link
