// A section designed from its user parameters, for the tests.
#pragma once

#include <cstdint>

#include "dsp/TSOS.h"

namespace kvn::test {

inline TSOS designed(int type, double frequencyHz, double q, double gainDb) {
    TSOS s;
    s.FilterType = static_cast<std::uint8_t>(type);
    s.FrequencyHz = frequencyHz;
    s.Q = q;
    s.GainDb = gainDb;
    s.design();
    return s;
}

}  // namespace kvn::test
