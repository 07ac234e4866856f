// The delay editor's arithmetic: the delay track (position p, delay 234 - p samples), the same
// delay in milliseconds and in centimetres of sound travel at the air temperature, the one-sample
// steps, the temperature in degrees C and F, the speakers' relative distances with Auto Align, and
// the line lengths of the picture that shows where each speaker's sound stands after its delay.
// All delays are whole samples at 48 kHz; typed values are rounded to the nearest sample, halves
// to even, and every delay is held to the track, 0..234 samples.
#pragma once

#include "config/ProcessorConfig.h"

#include <array>

namespace kvn {

inline constexpr int kDelayTrackMax = kMaxDelaySamples;  // 234: zero delay at the bottom
// A one-sample step up is refused from here (the track itself still reaches 234).
inline constexpr int kDelayStepCeiling = 233;
inline constexpr int kDelaySamplesPerMs = 48;
// Ranges of the fields: milliseconds "0.00" and centimetres "0.0" (relative distance). The delay
// fields of the editor reach exactly the longest delay, 234 samples (4.875 ms), instead.
inline constexpr double kDelayMsMax = 5.0;
inline constexpr double kDelayCmMax = 168.8;
inline constexpr int kTemperatureMinC = 0;
inline constexpr int kTemperatureMaxC = 50;
inline constexpr int kTemperatureMinF = 32;
inline constexpr int kTemperatureMaxF = 122;
// The picture draws 234 samples as this many units (pixels at its natural size).
inline constexpr int kAlignmentFullLine = 60;

// Speed of sound in m/s: 20.06 x sqrt(T + 273), T in whole degrees C held to 0..50 (25 degrees
// give 346.29 m/s).
double speedOfSound(int temperatureC);

// The track: delay = 234 - p; positions outside 0..234 are held to the track first.
int delayFromTrack(int position);
int trackFromDelay(int samples);

// Readouts of a delay of `samples` (not held): samples / 48000 x 1000 ms, and that time as
// centimetres at the temperature (ms / 1000 x c x 100). 234 samples read 4.875 ms, 168.82 cm at
// 25 degrees C.
double delayMsFromSamples(int samples);
double delayCmFromSamples(int samples, int temperatureC);

// Typed entries: ms x 48, or cm / (c x 100) x 48000, rounded halves to even and held to 0..234
// (a negative entry gives 0, 5.00 ms gives 234). NaN gives 0.
int delaySamplesFromMs(double ms);
int delaySamplesFromCm(double cm, int temperatureC);

// A one-sample step of a delay (`direction` > 0 up, < 0 down, 0 none): up is refused from 233
// samples on, down from 0; the result is held to 0..234.
int stepDelay(int samples, int direction);

// The two temperature spins: F = C x 1.8 + 32 and C = (F - 32) x 5 / 9, rounded halves to even and
// held to 0..50 degrees C / 32..122 degrees F.
int fahrenheitFromCelsius(int celsius);
int celsiusFromFahrenheit(int fahrenheit);

// --- Relative distances between the speakers ---
// A distance field's reading in samples: c and the time t = d / (c x 100) x 1000 ms are rounded to
// single precision, then t / 1000 x 48000 is rounded halves to even. Negative distances read 0;
// NaN reads 0.
int distanceSamplesFromCm(double cm, int temperatureC);
// The distance a field shows for a count: t = samples / 48000 x 1000 ms in single precision, then
// t / 1000 x c x 100 cm with c in single precision, so the field shows whole samples.
double distanceCmFromSamples(int samples, int temperatureC);
// A one-sample step of a distance count: up is refused from 233 on, down from 0 and below.
int stepDistance(int samples, int direction);
// The three counts shifted together so that the smallest is 0 (results held to the int range).
std::array<int, 3> relativeDistances(const std::array<int, 3>& counts);
// Stores `counts`, shifted so that the smallest is 0, as the outputs' RelativeDistanceSamples.
void setRelativeDistances(ProcessorConfig& config, const std::array<int, 3>& counts);

// The look-ahead offset S: the look-ahead delay in samples of the dynamics unit that acts on
// Output 1 and Output 2 (SUB has none).
int lookAheadOffset(const ProcessorConfig& config);

// Auto Align from the relative distance counts D1, D2, D3 and the look-ahead offset S:
//   Out 1: 0 when D1 = 0; else D1 - S when S <= D1 and S <= D2, otherwise D1; then D1 less again
//          when D1 = D2 and S >= D1.
//   Out 2: the same with D1 and D2 exchanged.
//   SUB:   D3 + S, less min(S, D1) when D1 = D2, less S when D1 != D2 and S < D1 and S < D2.
// Each result is held to 0..234 (below 0 gives 0; the track bounds the top). Computed without
// overflow for any int inputs.
std::array<int, 3> autoAlignDelays(const std::array<int, 3>& distances, int lookAhead);
// The same from the configuration's relative distances and look-ahead offset.
std::array<int, 3> autoAlignDelays(const ProcessorConfig& config);

// The picture's line lengths in units of kAlignmentFullLine per 234 samples, rounded halves to
// even: (Dn - DelaySamples[n]) x 60 / 234 for Output 1 and 2, (D3 - DelaySamples[3] + S) x 60 /
// 234 for SUB. Equal lengths mean the three arrivals are aligned. A length may be negative (the
// delay exceeds the distance); it is held to the int range.
std::array<int, 3> alignmentLines(const ProcessorConfig& config);

}  // namespace kvn
