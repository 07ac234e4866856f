// Byte layout of the preset file: one fixed-size little-endian record. Integers are 32-bit two's
// complement, singles and doubles IEEE 754. A short string of capacity n takes n + 1 bytes: a
// length byte, then n character bytes (Windows-1252) of which the first `length` are the text.
// Reserved and padding bytes are 0.
#pragma once

#include <cstddef>
#include <string_view>

namespace kvn::preset {

inline constexpr std::size_t kRecordBytes = 1612;
inline constexpr std::size_t kPreviousRecordBytes = 1596;  // the gate values are missing

inline constexpr std::string_view kTagText = "XDACF";
inline constexpr std::string_view kVersionText = "2.1.";
inline constexpr std::string_view kHeaderPrefix = "Korvellab S.A. KVN 3502.1.0.0";

// Short strings: offset of the length byte and capacity.
struct ShortString {
    std::size_t offset;
    std::size_t capacity;
};
inline constexpr ShortString kTag{0, 9};
inline constexpr ShortString kVersion{10, 4};
inline constexpr ShortString kHeader{15, 100};  // prefix + path of the file as written
inline constexpr ShortString kSystemName{116, 40};
inline constexpr ShortString kProjectName{157, 30};
inline constexpr ShortString kEngineer{188, 30};
inline constexpr ShortString kComments{219, 200};
inline constexpr ShortString kInputNameA{428, 6};
inline constexpr ShortString kInputNameB{435, 6};
inline constexpr ShortString kOutputNames[3] = {{442, 6}, {449, 6}, {456, 6}};
inline constexpr ShortString kMeasurementFiles[3] = {{1273, 100}, {1374, 100}, {1475, 100}};

inline constexpr std::size_t kSampleRateField = 420;
inline constexpr std::size_t kTemperature = 424;
inline constexpr std::size_t kDelays = 464;                // 3 integers, Output 1, 2, SUB
inline constexpr std::size_t kBandsInUse = 476;            // 3 integers, written but not read
inline constexpr std::size_t kBands[3] = {488, 684, 880};  // 7, 7 and 3 band records
inline constexpr std::size_t kGains = 964;                 // 3 doubles
inline constexpr std::size_t kInverted = 988;              // 3 bytes
inline constexpr std::size_t kMuted = 991;                 // 3 bytes
inline constexpr std::size_t kCrossovers = 996;            // 3 crossover records
inline constexpr std::size_t kSoloL = 1080;                // 3 bytes
inline constexpr std::size_t kSoloH = 1083;                // 3 bytes
inline constexpr std::size_t kDynamics = 1088;             // 2 dynamics records
inline constexpr std::size_t kRoutes = 1216;               // 3 integers
inline constexpr std::size_t kGainsFromA = 1228;           // 3 integers, R(x 10)
inline constexpr std::size_t kGainsFromB = 1240;           // 3 integers, R(x 10)
inline constexpr std::size_t kInputMatrix = 1252;          // 4 integers, R(x 10)
inline constexpr std::size_t kResponseView = 1268;         // 5 bytes
inline constexpr std::size_t kMeasurementFormat = 1576;
inline constexpr std::size_t kMeasurementSpl = 1580;  // single
inline constexpr std::size_t kDistances = 1584;       // 3 integers
inline constexpr std::size_t kGateLevels = 1596;      // 2 integers, R(level) of unit 1, 2
inline constexpr std::size_t kGateSlopes = 1604;      // 2 integers, R(slope) of unit 1, 2

inline constexpr std::size_t kIntBytes = 4;
inline constexpr std::size_t kDoubleBytes = 8;

inline constexpr std::size_t kBandRecordBytes = 28;
inline constexpr std::size_t kCrossoverRecordBytes = 28;
inline constexpr std::size_t kDynamicsRecordBytes = 64;

// Band record.
namespace band {
inline constexpr std::size_t kGain = 0;       // double
inline constexpr std::size_t kFrequency = 8;  // double
inline constexpr std::size_t kQ = 16;         // double
inline constexpr std::size_t kType = 24;      // byte, FilterType unchanged
}  // namespace band

// Crossover record.
namespace xover {
inline constexpr std::size_t kHighPassFrequency = 0;  // single
inline constexpr std::size_t kLowPassFrequency = 4;   // single
inline constexpr std::size_t kLowPassOrder = 8;       // integer
inline constexpr std::size_t kHighPassOrder = 12;     // integer
inline constexpr std::size_t kLowPassType = 24;       // byte
inline constexpr std::size_t kHighPassType = 25;      // byte
}  // namespace xover

// Dynamics record.
namespace dyn {
inline constexpr std::size_t kThreshold = 0;           // single, dBFS
inline constexpr std::size_t kRatio = 4;               // single
inline constexpr std::size_t kMakeupGain = 8;          // single, dB
inline constexpr std::size_t kDetector = 12;           // single, detector coefficient
inline constexpr std::size_t kHoldSamples = 16;        // integer, look-ahead included
inline constexpr std::size_t kReleaseCount = 20;       // integer
inline constexpr std::size_t kLookAhead = 24;          // integer, samples
inline constexpr std::size_t kEditorByte28 = 28;       // byte
inline constexpr std::size_t kKneeType = 29;           // byte
inline constexpr std::size_t kKnee = 32;               // single
inline constexpr std::size_t kBalanced = 36;           // byte
inline constexpr std::size_t kEditorByte37 = 37;       // byte
inline constexpr std::size_t kBypass = 38;             // byte
inline constexpr std::size_t kLimiterMaxLevel = 40;    // single
inline constexpr std::size_t kAmpGain = 44;            // single, linear
inline constexpr std::size_t kLoadImpedance = 48;      // single, ohms
inline constexpr std::size_t kBoxPower = 52;           // single, W
inline constexpr std::size_t kAmpPower = 56;           // single, W
inline constexpr std::size_t kSpeakerCountIndex = 60;  // integer
}  // namespace dyn

static_assert(kGateSlopes + 2 * kIntBytes == kRecordBytes);
static_assert(kGateLevels == kPreviousRecordBytes);
static_assert(kBands[2] + 3 * kBandRecordBytes == kGains);
static_assert(kCrossovers + 3 * kCrossoverRecordBytes == kSoloL);
static_assert(kDynamics + 2 * kDynamicsRecordBytes == kRoutes);

}  // namespace kvn::preset
