// The time seen by an in-process link to the virtual processor, and the wait for its replies.
#pragma once

#include "emulator/VirtualProcessor.h"

#include <chrono>

namespace kvn::link {

enum class ClockPolicy {
    // The device clock moves only while a link waits, and jumps straight to the next thing that
    // happens: a 2000 ms silence costs no wall time. For tests.
    Virtual,
    // The device clock follows the wall clock; a wait sleeps until the reply would arrive on a
    // wire (at the device's line rate when one is set). For the editor's Virtual connection.
    Real,
};

class EmulatorClock {
public:
    // `device` must outlive the clock. A real clock starts at the device's present time; links
    // with different policies must not share one device, since only a virtual clock may jump.
    EmulatorClock(emu::VirtualProcessor& device, ClockPolicy policy);

    ClockPolicy policy() const { return policy_; }
    emu::Micros now() const;

    // Waits until at least one byte from the device has reached the PC, for at most `timeout`.
    // True when bytes are there; false after the time-out or when the device is gone.
    bool waitForOutput(emu::Micros timeout);

private:
    emu::VirtualProcessor& device_;
    ClockPolicy policy_;
    std::chrono::steady_clock::time_point wallOrigin_;
    emu::Micros deviceOrigin_;
};

}  // namespace kvn::link
