// The frequency grid shared by every response in the program and the evaluation of a cascade of
// sections on it.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <span>

#include "dsp/TSOS.h"

namespace kvn {

inline constexpr int GridLast = 400;
inline constexpr int kGridPoints = GridLast + 1;
// Response arrays keep the processor program's size of 513 entries; 0..GridLast are used.
inline constexpr int kResponseArraySize = 513;

// 401 points from 20 Hz to 23999 Hz (fs/2 - 1), uniform in log frequency, rounded to whole hertz
// (neighbouring points at the low end can share a frequency).
struct ResponseGrid {
    std::array<std::int32_t, kGridPoints> GridHz;
    // Angular frequency of each point in radians per sample, held in single precision as the
    // processor program does (the fixed SUB path's -227.9 dB at 23999 Hz depends on it).
    std::array<float, kGridPoints> Omega;
    // Unit delay e^(-j w) of each point.
    std::array<std::complex<double>, kGridPoints> GridZ;
    // The same unit delays as separate real and imaginary arrays, for the evaluation loops.
    std::array<double, kGridPoints> ZRe;
    std::array<double, kGridPoints> ZIm;
};

// The grid, built once on first use (thread-safe).
const ResponseGrid& responseGrid();

// One evaluated curve: magnitude in dB and phase in radians, summed over the sections and not
// wrapped. Single precision, as the processor program keeps them.
struct ResponseCurve {
    std::array<float, kResponseArraySize> MagDb{};
    std::array<float, kResponseArraySize> PhaseRad{};
};

// Evaluates the first `count` sections of `sections` (in list order) on the grid into `out`,
// indices 0..GridLast: MagDb is the sum of the sections' magnitudes in dB (a sum within 1e-8 dB of
// zero is stored as exactly 0), PhaseRad the sum of their phases (each atan2(Im H, Re H), a
// negative real response counting as +pi). A count of 0 yields all zeros; a count above the
// list's size takes the whole list. Allocates nothing; cheap enough to run on every mouse move.
// The product of the sections' responses is formed per grid point, with the number of whole
// turns tracked, so only one logarithm and one arctangent are needed per point.
void evaluateCascade(std::span<const TSOS* const> sections, int count, ResponseCurve& out);
void evaluateCascade(std::span<const TSOS> sections, int count, ResponseCurve& out);

// A summed phase in radians as plotted: degrees in [-180, 180].
double wrapPhaseDegrees(double phaseRad);

}  // namespace kvn
