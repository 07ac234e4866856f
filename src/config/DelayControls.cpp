// Delay track, time and distance readouts, temperature, relative distances and Auto Align.
#include "config/DelayControls.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "dsp/Rounding.h"

namespace kvn {

namespace {

using Wide = std::int64_t;

constexpr long double kFs = kSampleRate;

int heldToInt(Wide value) {
    return static_cast<int>(
        std::clamp<Wide>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int heldToTrack(int samples) {
    return std::clamp(samples, 0, kDelayTrackMax);
}

long double speedOfSoundWide(int temperatureC) {
    const int t = std::clamp(temperatureC, kTemperatureMinC, kTemperatureMaxC);
    return 20.06L * std::sqrt(static_cast<long double>(t) + 273.0L);
}

// Rounds an extended-precision value to the nearest whole number, halves to even, as
// roundHalfEven does for doubles (NaN gives 0, the int range bounds it).
int roundWide(long double x) {
    if (std::isnan(x)) {
        return 0;
    }
    constexpr long double kLimit = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::nearbyint(x), -kLimit, kLimit));
}

int step(int samples, int direction) {
    if (direction > 0 && samples < kDelayStepCeiling) {
        return samples + 1;
    }
    if (direction < 0 && samples > 0) {
        return samples - 1;
    }
    return samples;
}

}  // namespace

double speedOfSound(int temperatureC) {
    return static_cast<double>(speedOfSoundWide(temperatureC));
}

int delayFromTrack(int position) {
    return kDelayTrackMax - heldToTrack(position);
}

int trackFromDelay(int samples) {
    return kDelayTrackMax - heldToTrack(samples);
}

double delayMsFromSamples(int samples) {
    return static_cast<double>(samples / kFs * 1000.0L);
}

double delayCmFromSamples(int samples, int temperatureC) {
    const long double ms = samples / kFs * 1000.0L;
    return static_cast<double>(ms / 1000.0L * speedOfSoundWide(temperatureC) * 100.0L);
}

int delaySamplesFromMs(double ms) {
    return heldToTrack(roundWide(static_cast<long double>(ms) * kDelaySamplesPerMs));
}

int delaySamplesFromCm(double cm, int temperatureC) {
    const long double c = speedOfSoundWide(temperatureC);
    return heldToTrack(roundWide(cm / (c * 100.0L) * 1000.0L / 1000.0L * kFs));
}

int stepDelay(int samples, int direction) {
    return heldToTrack(step(samples, direction));
}

int fahrenheitFromCelsius(int celsius) {
    return std::clamp(roundHalfEven(celsius * 1.8 + 32.0), kTemperatureMinF, kTemperatureMaxF);
}

int celsiusFromFahrenheit(int fahrenheit) {
    return std::clamp(roundHalfEven((fahrenheit - 32.0) * 5.0 / 9.0), kTemperatureMinC,
                      kTemperatureMaxC);
}

int distanceSamplesFromCm(double cm, int temperatureC) {
    if (!(cm > 0.0)) {
        return 0;
    }
    const auto c = static_cast<float>(speedOfSoundWide(temperatureC));
    const auto ms = static_cast<float>(cm / (static_cast<long double>(c) * 100.0L) * 1000.0L);
    return roundWide(ms / 1000.0L * kFs);
}

double distanceCmFromSamples(int samples, int temperatureC) {
    const auto c = static_cast<float>(speedOfSoundWide(temperatureC));
    const auto ms = static_cast<float>(samples / kFs * 1000.0L);
    return static_cast<double>(ms / 1000.0L * static_cast<long double>(c) * 100.0L);
}

int stepDistance(int samples, int direction) {
    return step(samples, direction);
}

std::array<int, 3> relativeDistances(const std::array<int, 3>& counts) {
    const Wide smallest = *std::min_element(counts.begin(), counts.end());
    std::array<int, 3> shifted{};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        shifted[i] = heldToInt(counts[i] - smallest);
    }
    return shifted;
}

void setRelativeDistances(ProcessorConfig& config, const std::array<int, 3>& counts) {
    const std::array<int, 3> shifted = relativeDistances(counts);
    for (int n = 1; n <= kOutputCount; ++n) {
        config.output(n).RelativeDistanceSamples = shifted[static_cast<std::size_t>(n - 1)];
    }
}

int lookAheadOffset(const ProcessorConfig& config) {
    return config.unit(1).lookAheadSamples;
}

std::array<int, 3> autoAlignDelays(const std::array<int, 3>& distances, int lookAhead) {
    const Wide d1 = distances[0];
    const Wide d2 = distances[1];
    const Wide d3 = distances[2];
    const Wide s = lookAhead;
    // Out 1 and Out 2 follow one rule with the roles of the two distances exchanged.
    const auto mainOutput = [s, equal = d1 == d2](Wide own, Wide other) -> Wide {
        if (own == 0) {
            return 0;
        }
        Wide delay = (s <= own && s <= other) ? own - s : own;
        if (equal && s >= own) {
            delay -= own;
        }
        return delay;
    };
    Wide sub = d3 + s;
    if (d1 == d2) {
        sub -= std::min(s, d1);
    } else if (s < d1 && s < d2) {
        sub -= s;
    }
    const auto held = [](Wide delay) {
        return static_cast<int>(std::clamp<Wide>(delay, 0, kDelayTrackMax));
    };
    return {held(mainOutput(d1, d2)), held(mainOutput(d2, d1)), held(sub)};
}

std::array<int, 3> autoAlignDelays(const ProcessorConfig& config) {
    return autoAlignDelays(
        {config.output(1).RelativeDistanceSamples, config.output(2).RelativeDistanceSamples,
         config.output(3).RelativeDistanceSamples},
        lookAheadOffset(config));
}

std::array<int, 3> alignmentLines(const ProcessorConfig& config) {
    std::array<int, 3> lines{};
    for (int n = 1; n <= kOutputCount; ++n) {
        const OutputChannel& out = config.output(n);
        Wide residual = Wide{out.RelativeDistanceSamples} - out.DelaySamples;
        if (n == kSubOutput) {
            residual += lookAheadOffset(config);
        }
        lines[static_cast<std::size_t>(n - 1)] =
            roundWide(static_cast<long double>(residual) * kAlignmentFullLine / kDelayTrackMax);
    }
    return lines;
}

}  // namespace kvn
