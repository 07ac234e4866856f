// How the link waits a fixed time. The program sleeps for real; tests substitute a clock that only
// counts, so that pacing costs them nothing and can be checked.
#pragma once

namespace kvn::link {

class Sleeper {
public:
    virtual ~Sleeper() = default;
    // Returns after about `ms` milliseconds (at once for 0 or less).
    virtual void sleepMs(int ms) = 0;

    // A sleeper that blocks the calling thread for real.
    static Sleeper& system();
};

}  // namespace kvn::link
