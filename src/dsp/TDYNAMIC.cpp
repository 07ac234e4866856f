// Dynamics gain table design: soft-knee static curve, unity below the knee, bypass, noise gate.
#include "dsp/TDYNAMIC.h"

#include <algorithm>
#include <cmath>

#include "dsp/DspConstants.h"
#include "dsp/DynamicsMath.h"
#include "dsp/Rounding.h"

namespace kvn {
namespace {

double pow10(double x) {
    return std::exp(x * kLn10);
}

// Linear values of the table levels -96, -93, ..., 0 dBFS, in single precision.
const std::array<float, kGainTableSize>& tableLevelsLinear() {
    static const std::array<float, kGainTableSize> levels = [] {
        std::array<float, kGainTableSize> l{};
        for (int k = 0; k < kGainTableSize; ++k) {
            l[static_cast<std::size_t>(k)] =
                static_cast<float>(pow10(gainTableLevelDbfs(k) / 20.0));
        }
        return l;
    }();
    return levels;
}

}  // namespace

TDYNAMIC::TDYNAMIC() {
    design();
}

void TDYNAMIC::design() {
    if (thresholdDbfs == 0.0f) {
        thresholdDbfs = -0.001f;
    }
    const double t = thresholdDbfs;
    const double w = kneeDb;

    // 60 input levels evenly spaced in linear amplitude from the knee start up to just below full
    // scale, then the 33 table levels.
    const float start = static_cast<float>(pow10((t - w) / 20.0));
    const float step = (1.0f - start) / static_cast<float>(kDynamicsCurvePoints);
    for (int i = 0; i < kDynamicsCurvePoints; ++i) {
        inputLinear[static_cast<std::size_t>(i)] = start + static_cast<float>(i) * step;
    }
    const auto& table = tableLevelsLinear();
    for (int k = 0; k < kGainTableSize; ++k) {
        inputLinear[static_cast<std::size_t>(kDynamicsCurvePoints + k)] =
            table[static_cast<std::size_t>(k)];
    }
    for (std::size_t i = 0; i < inputLinear.size(); ++i) {
        inputDb[i] = static_cast<float>(20.0 * std::log10(static_cast<double>(inputLinear[i])));
    }

    // Soft knee centred on the threshold: a quadratic from x0 - hw (slope 1) to x0 + hw (slope s).
    const double x0 = static_cast<double>(inputDb[0]) + w;
    const double hw = w <= 0.5 ? 0.2 : w;
    const double slope = kneeType == kCompressor ? 1.0 / static_cast<double>(ratio) : 0.0;
    const double g = makeupGainDb;
    for (std::size_t i = 0; i < inputLinear.size(); ++i) {
        const double x = inputDb[i];
        const double y = x > x0 + hw
                             ? g + x0 + slope * (x - x0)
                             : g + x + (slope - 1.0) * (x - x0 + hw) * (x - x0 + hw) / (4.0 * hw);
        outputDb[i] = static_cast<float>(y);
        outputLinear[i] = static_cast<float>(pow10(y / 20.0));
        gainFactor[i] = outputLinear[i] / inputLinear[i];
    }

    // Below the knee the quadratic turns down again; the table gives unity gain there instead. A
    // factor not above the next higher level's factor is replaced (also factors that underflowed
    // to 0 with a narrow knee); the factor at 0 dBFS is kept.
    float* factors = gainFactor.data() + kDynamicsCurvePoints;
    for (int k = 0; k < kGainTableSize - 1; ++k) {
        if (factors[k] <= factors[k + 1]) {
            factors[k] = 1.0f;
        }
    }
    for (int k = 0; k < kGainTableSize; ++k) {
        gainTable[static_cast<std::size_t>(k)] = bypass != 0 ? 1.0 : factors[k];
    }
    applyNoiseGate(gainTable, gateLevel, gateSlope);
}

void applyNoiseGate(std::array<double, kGainTableSize>& table, double gateLevel, double gateSlope) {
    // A slope below 1 would divide by zero; levels outside the table touch only what exists.
    const int high = std::clamp(roundHalfEven(gateLevel), 0, kGainTableSize);
    const int slope = std::max(1, roundHalfEven(gateSlope));
    const int zero = std::max(1, high - slope);
    for (int k = 0; k < std::min(zero, kGainTableSize); ++k) {
        table[static_cast<std::size_t>(k)] = 0.0;
    }
    for (int k = zero; k < high; ++k) {
        table[static_cast<std::size_t>(k)] = static_cast<double>(k - zero + 1) / slope;
    }
}

}  // namespace kvn
