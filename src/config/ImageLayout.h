// Byte layout of the processor memory image: one preset as the processor stores it. All
// multi-byte values are big-endian. Offsets count from the first byte of the image.
#pragma once

#include <cstddef>

namespace kvn::image {

inline constexpr std::size_t kBuiltBytes = 2045;     // bytes 0..2044 are filled by the builder
inline constexpr std::size_t kTransferBytes = 2046;  // length field + 2, handed to the link
inline constexpr int kLengthFieldValue = 2044;       // 07 FC
inline constexpr int kFormatVersion = 203;           // CB
inline constexpr int kFirstVersionWithGates = 203;   // older images get default gate values

inline constexpr std::size_t kLength = 0;     // 2 bytes
inline constexpr std::size_t kVersion = 2;    // 1 byte
inline constexpr std::size_t kReserved3 = 3;  // 1 byte, 00
inline constexpr std::size_t kOnes = 4;       // 8 bytes of 01
inline constexpr std::size_t kOnesCount = 8;
inline constexpr std::size_t kSystemName = 12;  // 40 bytes
inline constexpr std::size_t kSystemNameWidth = 40;
inline constexpr std::size_t kInputNameA = 52;  // 6 bytes each
inline constexpr std::size_t kInputNameB = 58;
inline constexpr std::size_t kOutput1Name = 64;
inline constexpr std::size_t kOutput2Name = 70;
inline constexpr std::size_t kReserved76 = 76;  // 12 spaces
inline constexpr std::size_t kReserved76Width = 12;
inline constexpr std::size_t kSubName = 88;
inline constexpr std::size_t kReserved94 = 94;  // 6 spaces
inline constexpr std::size_t kChannelNameWidth = 6;

inline constexpr std::size_t kWordBytes = 3;
inline constexpr std::size_t kBlockBytes = 774;  // 258 words
inline constexpr std::size_t kBlockA = 100;      // coefficient bank 1
inline constexpr std::size_t kBlockB = 874;      // coefficient bank 2, identical to bank 1

inline constexpr std::size_t kParameters = 1648;  // parameter block, 388 bytes
inline constexpr std::size_t kParameterCopyBytes = 192;
inline constexpr std::size_t kGateBytes = 4;
inline constexpr std::size_t kParameterBytes = 2 * kParameterCopyBytes + kGateBytes;
inline constexpr std::size_t kFill = 2036;  // 0D up to offset 2044
inline constexpr unsigned char kFillByte = 0x0D;

// Offsets inside one 192-byte copy of the parameter block.
namespace param {
inline constexpr std::size_t kBandBytes = 6;      // type, 16-bit freq, 16-bit gain, Q
inline constexpr std::size_t kOutput1Bands = 0;   // 7 bands
inline constexpr std::size_t kOutput2Bands = 42;  // 7 bands
inline constexpr std::size_t kSubBands = 84;      // 3 bands
inline constexpr std::size_t kCrossovers = 102;   // 3 x 10
inline constexpr std::size_t kCrossoverBytes = 10;
inline constexpr std::size_t kLevels = 132;  // 3 x 4
inline constexpr std::size_t kLevelBytes = 4;
inline constexpr std::size_t kDelays = 144;  // 3 bytes, then Temperature
inline constexpr std::size_t kTemperature = 147;
inline constexpr std::size_t kDynamics1 = 148;  // 9 bytes each
inline constexpr std::size_t kDynamics2 = 157;
inline constexpr std::size_t kDynamicsBytes = 9;
inline constexpr std::size_t kSpeakers = 166;  // 2 x 8
inline constexpr std::size_t kSpeakerBytes = 8;
inline constexpr std::size_t kInputMatrix = 182;  // 4 bytes
inline constexpr std::size_t kRoutes = 186;       // 3 bytes
inline constexpr std::size_t kDistances = 189;    // 3 bytes

// Fields of one band (6 bytes).
inline constexpr std::size_t kBandType = 0;       // type code, see bandTypeCode
inline constexpr std::size_t kBandFrequency = 1;  // 16-bit R(FrequencyHz)
inline constexpr std::size_t kBandGain = 3;       // 16-bit R(123 - 10 GainDb)
inline constexpr std::size_t kBandQ = 5;          // byte R(200 - 10 Q)

// Fields of one output's crossover row (10 bytes): the low-pass edge, then the high-pass edge.
inline constexpr std::size_t kLowPassType = 0;
inline constexpr std::size_t kLowPassFrequency = 1;  // 16-bit, whole hertz
inline constexpr std::size_t kLowPassOrder = 3;
inline constexpr std::size_t kSoloL = 4;
inline constexpr std::size_t kHighPassType = 5;
inline constexpr std::size_t kHighPassFrequency = 6;
inline constexpr std::size_t kHighPassOrder = 8;
inline constexpr std::size_t kSoloH = 9;

// Fields of one output's level row (4 bytes).
inline constexpr std::size_t kLevelPosition = 0;  // 16-bit
inline constexpr std::size_t kMuted = 2;
inline constexpr std::size_t kInverted = 3;

// Bytes of a dynamics group (9 bytes).
inline constexpr std::size_t kThreshold = 0;  // threshold track position
inline constexpr std::size_t kRatio = 1;      // ratio track position
inline constexpr std::size_t kKnee = 2;       // R(20 - 2 knee)
inline constexpr std::size_t kKneeType = 3;
inline constexpr std::size_t kBypass = 4;
inline constexpr std::size_t kAttack = 5;     // dB/s
inline constexpr std::size_t kLookAhead = 6;  // ms
inline constexpr std::size_t kHold = 7;       // ms
inline constexpr std::size_t kRelease = 8;    // dB/s

// Fields of a speaker row (8 bytes).
inline constexpr std::size_t kLoadImpedance = 0;  // 16-bit R(ohms x 100)
inline constexpr std::size_t kBoxPower = 2;       // 16-bit, W
inline constexpr std::size_t kAmpPower = 4;       // 16-bit, W
inline constexpr std::size_t kAmpGain = 6;        // byte, linear
inline constexpr std::size_t kBalanced = 7;
}  // namespace param

// The 4 gate bytes between the two copies: unit 1 level, unit 2 level, unit 1 slope, unit 2 slope.
constexpr std::size_t gateLevelOffset(int unit) {
    return static_cast<std::size_t>(unit - 1);
}
constexpr std::size_t gateSlopeOffset(int unit) {
    return static_cast<std::size_t>(unit + 1);
}

// Offsets of the whole image derived from the above.
inline constexpr std::size_t kGates = kParameters + kParameterCopyBytes;  // 4 gate bytes
inline constexpr std::size_t kParametersCopy2 = kGates + kGateBytes;

// Offset in the image of coefficient word `address` of bank A (bank B: add kBlockBytes).
constexpr std::size_t wordOffset(int address) {
    return kBlockA + kWordBytes * static_cast<std::size_t>(address);
}

}  // namespace kvn::image
