#include "config/LoadRefresh.h"

#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.h"
#include "config/MemoryImage.h"

namespace kvn {
namespace {

TEST(LoadRefresh, SelectsEveryBandAsTheEqualiserDoes) {
    ProcessorConfig c;
    c.output(2).band(6).FilterType = kParametric;
    c.output(2).band(6).GainDb = 3.04;
    c.output(3).band(3).FrequencyHz = 700;
    refreshAfterLoad(c, LoadSource::PresetFile);
    EXPECT_EQ(c.output(1).PeqBandsInUse, 7);
    EXPECT_EQ(c.output(2).PeqBandsInUse, 7);
    EXPECT_EQ(c.output(3).PeqBandsInUse, 3);
    EXPECT_NEAR(c.output(1).band(5).FrequencyHz, 999.97, 0.005);
    EXPECT_EQ(c.output(1).band(5).Q, 0.7);
    EXPECT_EQ(c.output(3).band(3).FrequencyHz, 500.0);
    EXPECT_EQ(c.output(3).band(4).FrequencyHz, 1000.0);  // SUB's bands 4..7 are never selected
    EXPECT_NEAR(c.output(2).band(6).GainDb, 3.0, 1e-12);
    EXPECT_FALSE(c.output(2).band(6).isUnity());
}

TEST(LoadRefresh, HoldsDelaysTemperatureAndRestoresRoutes) {
    for (LoadSource source : {LoadSource::Image, LoadSource::PresetFile}) {
        ProcessorConfig c;
        c.output(1).DelaySamples = -5;
        c.output(2).DelaySamples = 300;
        c.output(3).DelaySamples = 100;
        c.Temperature = 80;
        c.output(1).Route = kRouteB;
        c.output(1).GainFromB = 0.0;
        c.output(2).Route = -7;
        c.output(3).Route = INT_MIN;
        refreshAfterLoad(c, source);
        EXPECT_EQ(c.output(1).DelaySamples, 0);
        EXPECT_EQ(c.output(2).DelaySamples, 234);
        EXPECT_EQ(c.output(3).DelaySamples, 100);
        EXPECT_EQ(c.Temperature, 50);
        EXPECT_EQ(c.output(1).Route, kRouteB);
        EXPECT_EQ(c.output(1).GainFromB, 1.0);
        EXPECT_EQ(c.output(2).Route, kRouteA);
        EXPECT_EQ(c.output(3).Route, kRouteA);
    }
}

TEST(LoadRefresh, LevelsFollowTheTrackForAnImageAndTheGainForAFile) {
    ProcessorConfig c;
    c.output(1).Gain = 0.5;
    c.output(1).LevelPosition = 61;
    ProcessorConfig image = c;
    refreshAfterLoad(image, LoadSource::Image);
    EXPECT_EQ(image.output(1).Gain, 1.0);
    EXPECT_EQ(image.output(1).LevelPosition, 61);
    refreshAfterLoad(c, LoadSource::PresetFile);
    EXPECT_EQ(c.output(1).LevelPosition, 121);
    EXPECT_NEAR(c.output(1).Gain, 0.501187, 1e-6);
}

TEST(LoadRefresh, CollectsBesselMessagesAndLoadsBothDynamicsUnits) {
    ProcessorConfig c;
    for (int n = 1; n <= 2; ++n) {
        c.output(n).LowPassEdge.XoverType = kBesselLowPass;
        c.output(n).LowPassEdge.FrequencyHz = 19000;
    }
    c.unit(1).ratio = 0.0f;
    c.unit(2).ratio = 0.0f;
    const auto messages = refreshAfterLoad(c, LoadSource::PresetFile);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Maximum Bessel Cutoff = 18800 for LowPass of order 2");
    EXPECT_EQ(c.unit(1).ratio, 1.0f);
    EXPECT_EQ(c.unit(2).ratio, 1.0f);
}

TEST(LoadRefresh, RunningItTwiceChangesNothing) {
    for (LoadSource source : {LoadSource::Image, LoadSource::PresetFile}) {
        ProcessorConfig once = test::richConfig();
        once.output(1).band(3).FrequencyHz = 12345.6;
        once.output(2).HighPassEdge.FrequencyHz = 99.5;
        once.unit(1).kneeDb = 3.3f;
        refreshAfterLoad(once, source);
        ProcessorConfig twice = once;
        refreshAfterLoad(twice, source);
        test::expectSameConfig(once, twice);
        EXPECT_EQ(BuildImage(once), BuildImage(twice));
    }
}

}  // namespace
}  // namespace kvn
