// One dynamics unit (limiter or compressor with soft knee and noise gate): its parameters, the
// 33-entry gain table the processor looks up by detected level, and the detector timing values.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kvn {

// Levels of the gain table: L(k) = -96 + 3k dBFS, k = 0..32.
inline constexpr int kGainTableSize = 33;
inline constexpr int kDynamicsDesignPoints = 93;  // 60 curve points, then the 33 table levels
inline constexpr int kDynamicsCurvePoints = kDynamicsDesignPoints - kGainTableSize;
inline constexpr double kDynamicsFixedConstant = 1.008;

// Knee types.
inline constexpr std::uint8_t kLimiter = 0;
inline constexpr std::uint8_t kCompressor = 1;

class TDYNAMIC {
public:
    // Constructor values; the program's start-up values of the two units are set by the
    // configuration (unit 1: -6 dBFS, unit 2: -5 dBFS, ...). Builds the grid and designs once.
    TDYNAMIC();

    float thresholdDbfs = -29.6f;   // knee end level T
    float ratio = 1.0f;             // compression ratio R
    float makeupGainDb = 0.0f;      // G, added to the output level
    float gateLevel = -83.0f;       // gate index, whole numbers 1..33
    float gateSlope = -98.0f;       // gate ramp length in table steps, 1..10
    float loadImpedanceOhm = 8.0f;  // speaker settings, used by the power check
    float boxPowerW = 400.0f;
    float ampGain = 41.0f;  // linear voltage gain
    float ampPowerW = 600.0f;
    std::uint8_t balanced = 1;
    std::int32_t speakerCountIndex = 1;
    std::uint8_t kneeType = kLimiter;
    float kneeDb = 4.0f;  // knee width W
    std::uint8_t bypass = 0;

    // Design grid (singles): input and output levels, linear and in dBFS, and the gain factor.
    std::array<float, kDynamicsDesignPoints> inputLinear{};
    std::array<float, kDynamicsDesignPoints> inputDb{};
    std::array<float, kDynamicsDesignPoints> outputLinear{};
    std::array<float, kDynamicsDesignPoints> outputDb{};
    std::array<float, kDynamicsDesignPoints> gainFactor{};

    double fixedConstant = kDynamicsFixedConstant;
    double detectorCoefficient = 0.0;  // alpha of the RMS detector
    std::array<double, kGainTableSize> gainTable{};
    std::int32_t holdSamples = 0;   // hold time plus look-ahead, samples
    std::int32_t releaseCount = 0;  // release rate / 0.137
    std::int32_t lookAheadSamples = 0;

    // Recomputes the grid and the 33 gain factors from threshold, ratio, makeup gain, knee type,
    // knee width and bypass, copies them into gainTable and applies the noise gate (which acts
    // also when the unit is bypassed). A threshold of exactly 0 is moved to -0.001 dBFS.
    void design();

    bool operator==(const TDYNAMIC&) const = default;
};

// Noise gate on a gain table: entries below the gate level minus the slope become 0, the next
// `slope` entries ramp linearly up to 1.0 at entry gateLevel - 1; higher entries are kept. Level
// and slope are rounded halves to even; the lowest entry is always gated.
void applyNoiseGate(std::array<double, kGainTableSize>& table, double gateLevel, double gateSlope);

}  // namespace kvn
