// Real waiting for the pacing of the processor.
#include "link/Sleeper.h"

#include <chrono>
#include <thread>

namespace kvn::link {
namespace {

class ThreadSleeper final : public Sleeper {
public:
    void sleepMs(int ms) override {
        if (ms > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
    }
};

}  // namespace

Sleeper& Sleeper::system() {
    static ThreadSleeper sleeper;
    return sleeper;
}

}  // namespace kvn::link
