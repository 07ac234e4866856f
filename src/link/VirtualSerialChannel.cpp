// The in-process serial link to the virtual processor.
#include "link/VirtualSerialChannel.h"

#include <algorithm>
#include <chrono>

namespace kvn::link {

namespace {

constexpr const char* kNoSuchPort = "No such file or directory";
constexpr const char* kDeviceGone = "Input/output error";
// The keeper looks again at least this often, in case another link feeds the same device.
constexpr emu::Micros kLongestKeeperSleep = std::chrono::milliseconds(10);

}  // namespace

VirtualSerialChannel::VirtualSerialChannel(emu::VirtualProcessor& device, ClockPolicy policy)
    : device_(device), clock_(device, policy) {
    if (policy == ClockPolicy::Real) {
        keeper_ = std::jthread([this](std::stop_token stop) { keepUp(stop); });
    }
}

VirtualSerialChannel::~VirtualSerialChannel() {
    if (keeper_.joinable()) {
        keeper_.request_stop();
        keeper_.join();
    }
}

void VirtualSerialChannel::keepUp(std::stop_token stop) {
    std::unique_lock lock(keeperMutex_);
    while (!stop.stop_requested()) {
        const std::optional<emu::Micros> next = device_.nextEventTime();
        if (!next) {
            keeperWake_.wait(lock, stop, [this] { return sent_; });
            sent_ = false;
            continue;
        }
        const emu::Micros wait =
            std::clamp(*next - clock_.now(), emu::Micros(0), kLongestKeeperSleep);
        keeperWake_.wait_for(lock, stop, wait, [] { return false; });
        sent_ = false;
        lock.unlock();
        device_.advanceTo(clock_.now());
        lock.lock();
    }
}

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
    if (keeper_.joinable()) {
        {
            const std::lock_guard lock(keeperMutex_);
            sent_ = true;
        }
        keeperWake_.notify_one();
    }
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
