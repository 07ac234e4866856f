// Constants shared by every filter design and response evaluation.
#pragma once

namespace kvn {

// The processor runs at a fixed 48 kHz; nothing edits it.
inline constexpr int kSampleRate = 48000;

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kLn10 = 2.30258509299404568402;
inline constexpr double kSqrt2 = 1.41421356237309504880;

}  // namespace kvn
