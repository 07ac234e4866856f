// One direction of a serial line: when each byte put on it has fully arrived at the far end, at
// a chosen baud rate of 10 bits per byte (start, 8 data, stop), or at once when the rate is 0.
#pragma once

#include "emulator/DeviceConstants.h"

#include <cstdint>

namespace kvn::emu {

class WireClock {
public:
    // `baud` 0 (or below) puts no limit on the line.
    explicit WireClock(int baud = 0);

    int baud() const { return baud_; }
    // Changes the rate for bytes scheduled from now on.
    void setBaud(int baud);

    // A byte ready to leave at `readyAt` starts once the bytes before it have gone and arrives
    // one byte time later; returns that arrival time (rounded up to the microsecond). Arrival
    // times never go backwards. Exact over any number of bytes: 960 bytes at 9600 baud take
    // exactly 1 s.
    Micros schedule(Micros readyAt);

    // Forgets the bytes still on the line (its next byte starts when it is ready).
    void clear();

private:
    int baud_ = 0;
    // The line is busy until freeAt_ + fraction_ / baud_ microseconds; keeping the fraction in
    // units of 1/baud µs keeps long runs exact.
    Micros freeAt_{0};
    std::int64_t fraction_ = 0;
};

}  // namespace kvn::emu
