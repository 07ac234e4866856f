// Virtual and real time for the in-process links.
#include "link/EmulatorClock.h"

#include <algorithm>
#include <thread>

namespace kvn::link {

namespace {

// A real-time wait wakes at least this often, in case another thread feeds the same device.
constexpr emu::Micros kLongestSleep = std::chrono::milliseconds(10);

}  // namespace

EmulatorClock::EmulatorClock(emu::VirtualProcessor& device, ClockPolicy policy)
    : device_(device),
      policy_(policy),
      wallOrigin_(std::chrono::steady_clock::now()),
      deviceOrigin_(device.now()) {}

emu::Micros EmulatorClock::now() const {
    if (policy_ == ClockPolicy::Virtual) {
        return device_.now();
    }
    return deviceOrigin_ +
           std::chrono::duration_cast<emu::Micros>(std::chrono::steady_clock::now() - wallOrigin_);
}

bool EmulatorClock::waitForOutput(emu::Micros timeout) {
    const emu::Micros deadline = now() + std::max(timeout, emu::Micros(0));
    for (;;) {
        const emu::Micros t = now();
        if (device_.available(t) > 0) {
            return true;
        }
        if (device_.gone() || t >= deadline) {
            return false;
        }
        const std::optional<emu::Micros> next = device_.nextEventTime();
        if (policy_ == ClockPolicy::Virtual) {
            device_.advanceTo(next && *next < deadline ? *next : deadline);
        } else {
            emu::Micros wake = std::min(deadline, t + kLongestSleep);
            if (next && *next > t) {
                wake = std::min(wake, *next);
            }
            std::this_thread::sleep_for(wake - t);
        }
    }
}

}  // namespace kvn::link
