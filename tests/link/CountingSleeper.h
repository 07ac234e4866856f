// Virtual time: waits return at once and are added up.
#pragma once

#include <vector>

#include "link/Sleeper.h"

namespace kvn::link::test {

class CountingSleeper : public Sleeper {
public:
    void sleepMs(int ms) override {
        totalMs += ms;
        waits.push_back(ms);
    }
    long long totalMs = 0;
    std::vector<int> waits;
};

}  // namespace kvn::link::test
