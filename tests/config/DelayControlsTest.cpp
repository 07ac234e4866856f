#include "config/DelayControls.h"

#include <gtest/gtest.h>

#include <limits>

namespace kvn {
namespace {

TEST(DelayControls, TypedTimesAndDistancesRoundToSamplesHeldToTheTrack) {
    EXPECT_NEAR(speedOfSound(25), 346.289, 1e-3);
    EXPECT_NEAR(delayMsFromSamples(234), 4.875, 1e-12);
    EXPECT_NEAR(delayCmFromSamples(234, 25), 168.816, 1e-3);
    // Colder air: the same 234 samples are a shorter distance; out-of-range temperatures are held.
    EXPECT_NEAR(delayCmFromSamples(234, 0), 161.580, 1e-3);
    EXPECT_DOUBLE_EQ(delayCmFromSamples(234, -300), delayCmFromSamples(234, 0));

    struct Case {
        double ms;
        int samples;
    };
    for (const Case& c :
         {Case{5.0, 234}, Case{1.0, 48}, Case{-1.0, 0}, Case{0.03125, 2}, Case{0.09375, 4},
          Case{1e300, 234}, Case{std::numeric_limits<double>::quiet_NaN(), 0}}) {
        EXPECT_EQ(delaySamplesFromMs(c.ms), c.samples) << c.ms;
    }
    EXPECT_EQ(delaySamplesFromCm(100.0, 25), 139);  // 138.61
    EXPECT_EQ(delaySamplesFromCm(168.8, 25), 234);
    EXPECT_EQ(delaySamplesFromCm(168.8, 0), 234);  // 244 bounded by the track
    EXPECT_EQ(delaySamplesFromCm(-5.0, 25), 0);

    EXPECT_EQ(delayFromTrack(234), 0);
    EXPECT_EQ(delayFromTrack(-7), 234);
    EXPECT_EQ(trackFromDelay(240), 0);
}

TEST(DelayControls, StepsStopAt233UpAndZeroDown) {
    struct Case {
        int samples;
        int direction;
        int delay;
        int distance;
    };
    for (const Case& c : {Case{100, 1, 101, 101}, Case{233, 1, 233, 233}, Case{234, 1, 234, 234},
                          Case{234, -1, 233, 233}, Case{0, -1, 0, 0}, Case{-3, -1, 0, -3},
                          Case{300, 1, 234, 300}, Case{5, 0, 5, 5}}) {
        EXPECT_EQ(stepDelay(c.samples, c.direction), c.delay) << c.samples << " " << c.direction;
        EXPECT_EQ(stepDistance(c.samples, c.direction), c.distance) << c.samples;
    }
}

TEST(DelayControls, TemperatureInFahrenheitFollowsCelsiusAndIsHeld) {
    EXPECT_EQ(fahrenheitFromCelsius(25), 77);
    EXPECT_EQ(fahrenheitFromCelsius(0), 32);
    EXPECT_EQ(fahrenheitFromCelsius(50), 122);
    EXPECT_EQ(fahrenheitFromCelsius(99), 122);
    EXPECT_EQ(celsiusFromFahrenheit(77), 25);
    EXPECT_EQ(celsiusFromFahrenheit(33), 1);  // 0.56
    EXPECT_EQ(celsiusFromFahrenheit(35), 2);  // 1.67
    EXPECT_EQ(celsiusFromFahrenheit(0), 0);
    EXPECT_EQ(celsiusFromFahrenheit(200), 50);
}

TEST(DelayControls, RelativeDistancesReadInSinglePrecisionAndShiftToZero) {
    EXPECT_EQ(distanceSamplesFromCm(100.0, 25), 139);
    EXPECT_EQ(distanceSamplesFromCm(168.8, 0), 244);  // beyond a delay: kept as read
    EXPECT_EQ(distanceSamplesFromCm(-1.0, 25), 0);
    EXPECT_EQ(distanceSamplesFromCm(std::numeric_limits<double>::quiet_NaN(), 25), 0);
    EXPECT_NEAR(distanceCmFromSamples(139, 25), 100.2796, 1e-4);
    EXPECT_DOUBLE_EQ(distanceCmFromSamples(0, 25), 0.0);

    EXPECT_EQ(relativeDistances({50, 20, 80}), (std::array<int, 3>{30, 0, 60}));
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    EXPECT_EQ(relativeDistances({kMin, 0, kMax}), (std::array<int, 3>{0, kMax, kMax}));

    ProcessorConfig config;
    setRelativeDistances(config, {7, 9, 12});
    EXPECT_EQ(config.output(1).RelativeDistanceSamples, 0);
    EXPECT_EQ(config.output(2).RelativeDistanceSamples, 2);
    EXPECT_EQ(config.output(3).RelativeDistanceSamples, 5);
}

TEST(DelayControls, AutoAlignFollowsTheLookAheadRules) {
    using D = std::array<int, 3>;
    struct Case {
        D distances;
        int lookAhead;
        D delays;
    };
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    for (const Case& c : {
             Case{{0, 0, 0}, 0, {0, 0, 0}},
             Case{{10, 10, 5}, 10, {0, 0, 5}},    // D1 = D2 = S: both 0, SUB keeps D3
             Case{{40, 20, 0}, 5, {35, 15, 0}},   // S below both: S comes off each
             Case{{0, 30, 12}, 10, {0, 30, 22}},  // S above D1: Out 2 keeps D2, SUB gets S
             Case{{20, 20, 0}, 30, {0, 0, 10}},   // S beyond the equal pair
             Case{{25, 25, 0}, 10, {15, 15, 0}},
             Case{{300, 0, 0}, 0, {234, 0, 0}},  // bounded by the track
             Case{{kMax, kMin, kMax}, kMax, {234, 0, 234}},
         }) {
        EXPECT_EQ(autoAlignDelays(c.distances, c.lookAhead), c.delays)
            << c.distances[0] << " " << c.distances[1] << " " << c.distances[2] << " S "
            << c.lookAhead;
    }
}

TEST(DelayControls, AfterAutoAlignEveryLineHasTheLengthOfTheLookAhead) {
    ProcessorConfig config;
    config.unit(1).lookAheadSamples = 39;
    setRelativeDistances(config, {100, 60, 0});
    const std::array<int, 3> delays = autoAlignDelays(config);
    for (int n = 1; n <= 3; ++n) {
        config.output(n).DelaySamples = delays[static_cast<std::size_t>(n - 1)];
    }
    EXPECT_EQ(alignmentLines(config), (std::array<int, 3>{10, 10, 10}));  // 39 x 60 / 234

    config.output(1).DelaySamples = 234;
    config.output(2).RelativeDistanceSamples = std::numeric_limits<int>::max();
    config.output(3).RelativeDistanceSamples = 0;
    config.output(3).DelaySamples = 0;
    const std::array<int, 3> lines = alignmentLines(config);
    EXPECT_EQ(lines[0], -34);  // (100 - 234) x 60 / 234 = -34.4
    EXPECT_GT(lines[1], 500000000);
    EXPECT_EQ(lines[2], 10);  // S alone
}

}  // namespace
}  // namespace kvn
