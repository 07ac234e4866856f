// The memories the memory selector offers: 21..60 normally, 1..60 once the factory memories have
// been opened with the access code.
#pragma once

#include <algorithm>

namespace kvn::link {

struct MemoryRange {
    int minimum = 21;
    int maximum = 60;

    static constexpr MemoryRange user() { return {21, 60}; }
    static constexpr MemoryRange all() { return {1, 60}; }

    constexpr bool contains(int memory) const { return memory >= minimum && memory <= maximum; }
    constexpr int clamp(int memory) const { return std::clamp(memory, minimum, maximum); }
};

}  // namespace kvn::link
