#include "emulator/WireClock.h"

#include <gtest/gtest.h>

namespace kvn::emu {
namespace {

TEST(WireClock, StaysExactOverLongRuns) {
    WireClock wire(9600);
    Micros last{0};
    for (int i = 0; i < 9600 * 10; ++i) {
        last = wire.schedule(Micros(0));
    }
    // 96000 bytes at 960 bytes per second: 100 s, not 100 s minus the rounding of each byte.
    EXPECT_EQ(last, Micros(100'000'000));

    WireClock odd(115200);
    for (int i = 0; i < 11520; ++i) {
        last = odd.schedule(Micros(0));
    }
    EXPECT_EQ(last, Micros(1'000'000));
}

TEST(WireClock, IdleLineStartsAByteWhenItIsReady) {
    WireClock wire(9600);
    EXPECT_EQ(wire.schedule(Micros(500)), Micros(500 + 1042));
    // A byte ready while the line is busy waits for it.
    EXPECT_EQ(wire.schedule(Micros(600)), Micros(500 + 2084));
    EXPECT_EQ(wire.schedule(Micros(10'000)), Micros(10'000 + 1042));
}

TEST(WireClock, WithoutLimitBytesArriveAtOnceButNeverOutOfOrder) {
    WireClock wire;
    EXPECT_EQ(wire.schedule(Micros(100)), Micros(100));
    EXPECT_EQ(wire.schedule(Micros(50)), Micros(100));
    wire.setBaud(9600);
    EXPECT_EQ(wire.schedule(Micros(100)), Micros(100 + 1042));
    wire.setBaud(0);
    EXPECT_EQ(wire.schedule(Micros(0)), Micros(100 + 1042));
}

}  // namespace
}  // namespace kvn::emu
