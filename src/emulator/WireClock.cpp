// Byte timing of a serial line.
#include "emulator/WireClock.h"

namespace kvn::emu {

namespace {

constexpr std::int64_t kMicrosPerSecond = 1'000'000;

}  // namespace

WireClock::WireClock(int baud) : baud_(baud > 0 ? baud : 0) {}

void WireClock::setBaud(int baud) {
    // Carry the busy time over as whole microseconds; the fraction belongs to the old rate.
    if (fraction_ > 0) {
        freeAt_ += Micros(1);
    }
    fraction_ = 0;
    baud_ = baud > 0 ? baud : 0;
}

Micros WireClock::schedule(Micros readyAt) {
    if (baud_ == 0) {
        if (readyAt > freeAt_) {
            freeAt_ = readyAt;
        }
        return freeAt_;
    }
    // The start time in units of 1/baud µs relative to freeAt_.
    std::int64_t start = fraction_;
    if (readyAt > freeAt_ || (readyAt == freeAt_ && fraction_ == 0)) {
        freeAt_ = readyAt;
        start = 0;
    }
    const std::int64_t end = start + kBitsPerByte * kMicrosPerSecond;
    freeAt_ += Micros(end / baud_);
    fraction_ = end % baud_;
    return fraction_ > 0 ? freeAt_ + Micros(1) : freeAt_;
}

void WireClock::clear() {
    freeAt_ = Micros(0);
    fraction_ = 0;
}

}  // namespace kvn::emu
