// Number encodings of the memory image and the real-time messages. All multi-byte values are
// big-endian (most significant byte first).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dsp/Rounding.h"

namespace kvn {

using Word = std::array<std::uint8_t, 3>;

// Fixed-point coefficient word: 22-bit two's complement with 20 fraction bits, range -2.0 up to
// 2.0 - 2^-20, as v = trunc(x * 2^20) (towards zero). Values outside the range saturate to the
// largest (1F FF FF) or smallest (20 00 00) word instead of wrapping, because a wrapped
// coefficient would turn a filter into a different and possibly unstable one. NaN encodes as 0.
Word encodeFixedWord(double x);
// The value a fixed-point word stands for (sign-extended from 22 bits).
double decodeFixedWord(const Word& word);
// A word as it is written for people: three hexadecimal bytes, "1F FF FF".
std::string wordText(const Word& word);

// Integer word: 00, high byte, low byte of a 16-bit unsigned value; values outside 0..65535
// saturate.
Word encodeIntegerWord(int n);
int decodeIntegerWord(const Word& word);

// 16-bit field (high byte first) and byte field of the parameter block, holding the value to
// their range (0..65535 and 0..255) instead of keeping its low bits.
std::array<std::uint8_t, 2> encodeField16(int n);
int decodeField16(std::uint8_t high, std::uint8_t low);
std::uint8_t encodeByteField(int n);

}  // namespace kvn
