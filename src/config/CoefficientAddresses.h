// Addresses in the processor's coefficient memory: one 24-bit word per address, 0 to 257. The
// memory image and the real-time messages use the same numbering. Outputs are numbered 1..3
// (Output 1, Output 2, SUB) and dynamics units 1..2 (OUT 1-2, SUB) here as on the processor.
#pragma once

namespace kvn::addr {

inline constexpr int kWordCount = 258;

// Input mixing of an output: GainFromA at 2(n-1), GainFromB at 2(n-1)+1.
constexpr int gainFromA(int output) {
    return 2 * (output - 1);
}
constexpr int gainFromB(int output) {
    return 2 * (output - 1) + 1;
}

// First word (b0) of equaliser band `band` (1..7; SUB 1..3) of `output`.
constexpr int peqBand(int output, int band) {
    const int base = output == 1 ? 6 : output == 2 ? 41 : 116;
    return base + 5 * (band - 1);
}

// First word of crossover section `section` (1 or 2) of an output's low-pass or high-pass edge.
// SUB's high-pass edge carries the same two addresses as its low-pass edge and is never sent.
constexpr int lowPassSection(int output, int section) {
    const int base = output == 1 ? 76 : output == 2 ? 96 : 131;
    return base + 5 * (section - 1);
}
constexpr int highPassSection(int output, int section) {
    if (output == 3) {
        return lowPassSection(3, section);
    }
    return lowPassSection(output, section) + 10;
}

// Delay of an output, as an integer word holding DelaySamples + 1.
constexpr int delay(int output) {
    return 140 + output;
}

// InputMatrix m0..m3.
constexpr int inputMatrix(int index) {
    return 144 + index;
}

// Dynamics unit 1 (OUT 1-2) occupies 148..184, unit 2 (SUB) 185..221, each laid out as:
// 33 gain table entries, detector coefficient, fixed constant, hold samples, release count.
inline constexpr int kDynamicsWords = 37;
constexpr int dynamicsBase(int unit) {
    return 148 + kDynamicsWords * (unit - 1);
}
constexpr int dynamicsGainTable(int unit, int entry) {
    return dynamicsBase(unit) + entry;
}
constexpr int dynamicsDetector(int unit) {
    return dynamicsBase(unit) + 33;
}
constexpr int dynamicsFixedConstant(int unit) {
    return dynamicsBase(unit) + 34;
}
constexpr int dynamicsHold(int unit) {
    return dynamicsBase(unit) + 35;
}
constexpr int dynamicsRelease(int unit) {
    return dynamicsBase(unit) + 36;
}

// A constant integer word of 18, then 32 words of 0.0.
inline constexpr int kConstant18 = 222;
inline constexpr int kFirstZeroWord = 223;
inline constexpr int kLastZeroWord = 254;

// Output level (Gain x MuteFactor) in the memory image.
constexpr int outputLevel(int output) {
    return 254 + output;
}
// Output level in real-time word messages; the processor is addressed at 258..260 there.
constexpr int outputLevelRealTime(int output) {
    return 257 + output;
}

// The loudness section's slot in bank 1 (it lies inside Output 2's crossover words).
inline constexpr int kLoudnessSlot = 100;

}  // namespace kvn::addr
