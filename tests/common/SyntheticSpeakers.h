// Measured loudspeakers made up for the tests and benchmarks of the automatic equaliser: a
// full-range box, a woofer with a rising response and a baffle step, a tweeter, a subwoofer with
// a room mode, written as FRD-style export text with noise from a fixed-seed generator.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kvn::test {

enum class Speaker { FullRange, Woofer, Tweeter, SubWithRoomMode };

// Noise that is the same on every machine: a 64-bit linear congruential generator.
class FixedNoise {
public:
    explicit FixedNoise(std::uint64_t seed) : state_(seed) {}
    // Uniform in [-1, 1).
    double next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 4503599627370496.0 - 1.0;
    }

private:
    std::uint64_t state_;
};

namespace detail {

inline double highPassDb(double hz, double cornerHz, double q) {
    const double x2 = (hz / cornerHz) * (hz / cornerHz);
    return 10.0 * std::log10(x2 * x2 / ((1.0 - x2) * (1.0 - x2) + x2 / (q * q)));
}
inline double lowPassDb(double hz, double cornerHz, double q) {
    const double x2 = (hz / cornerHz) * (hz / cornerHz);
    return 10.0 * std::log10(1.0 / ((1.0 - x2) * (1.0 - x2) + x2 / (q * q)));
}
// A bell in log frequency, about 1/q octaves wide.
inline double bellDb(double hz, double centreHz, double q, double gainDb) {
    const double octaves = std::log2(hz / centreHz) * q;
    return gainDb * std::exp(-octaves * octaves * 1.4);
}
// The 6 dB rise of a box front from below to above `hz3`.
inline double baffleStepDb(double hz, double hz3) {
    const double x2 = (hz / hz3) * (hz / hz3);
    return 10.0 * std::log10((1.0 + 4.0 * x2) / (1.0 + x2));
}

}  // namespace detail

// The noise-free level of `speaker` at `hz`, in dB SPL.
inline double speakerDb(Speaker speaker, double hz) {
    using namespace detail;
    switch (speaker) {
        case Speaker::FullRange:
            return 84.0 + highPassDb(hz, 55.0, 0.8) + baffleStepDb(hz, 450.0) +
                   bellDb(hz, 2500.0, 3.0, 4.0) + bellDb(hz, 900.0, 2.0, -3.0) +
                   bellDb(hz, 7000.0, 1.5, -2.0) + lowPassDb(hz, 17000.0, 0.7);
        case Speaker::Woofer:
            return 82.0 + highPassDb(hz, 45.0, 0.7) + baffleStepDb(hz, 350.0) +
                   2.0 * std::log2(hz / 100.0) * (hz < 1500.0) + bellDb(hz, 1800.0, 4.0, 6.0) +
                   lowPassDb(hz, 3000.0, 0.6);
        case Speaker::Tweeter:
            return 90.0 + 2.0 * highPassDb(hz, 1200.0, 0.9) + bellDb(hz, 6000.0, 2.0, -2.0) +
                   bellDb(hz, 12000.0, 3.0, 3.0);
        case Speaker::SubWithRoomMode:
            return 95.0 + highPassDb(hz, 25.0, 0.7) + bellDb(hz, 55.0, 6.0, 8.0) +
                   bellDb(hz, 110.0, 5.0, -6.0) + lowPassDb(hz, 200.0, 0.7);
    }
    return 0.0;
}

// An FRD-style export of `speaker`: `points` lines from `fromHz` to `toHz`, evenly spaced in log
// frequency, each level with up to `noiseDb` of noise, phase 0.
inline std::string speakerFrd(Speaker speaker, double fromHz = 10.0, double toHz = 24000.0,
                              int points = 600, double noiseDb = 0.4, std::uint64_t seed = 350) {
    FixedNoise noise(seed);
    std::string text = "* Freq(Hz) SPL(dB) Phase(degrees)\n";
    char line[64];
    for (int i = 0; i < points; ++i) {
        const double hz = fromHz * std::pow(toHz / fromHz, i / (points - 1.0));
        std::snprintf(line, sizeof line, "%.4f %.3f 0\n", hz,
                      speakerDb(speaker, hz) + noiseDb * noise.next());
        text += line;
    }
    return text;
}

}  // namespace kvn::test
