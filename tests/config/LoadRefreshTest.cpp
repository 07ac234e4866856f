#include "config/LoadRefresh.h"

#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.h"
#include "config/LevelControls.h"
#include "config/MemoryImage.h"

namespace kvn {
namespace {

TEST(LoadRefresh, SelectsTheEqualiserBandsHoldsDelaysAndRestoresRoutes) {
    for (LoadSource source : {LoadSource::Image, LoadSource::PresetFile}) {
        ProcessorConfig c;
        c.output(3).band(3).FrequencyHz = 700;
        c.output(3).band(4).FrequencyHz = 700;
        c.output(1).DelaySamples = -5;
        c.output(2).DelaySamples = 300;
        c.Temperature = 80;
        c.output(1).Route = kRouteB;
        c.output(2).Route = -7;
        c.output(3).Route = INT_MIN;
        refreshAfterLoad(c, source);
        EXPECT_EQ(c.output(1).PeqBandsInUse, 7);
        EXPECT_EQ(c.output(3).PeqBandsInUse, 3);
        EXPECT_NEAR(c.output(1).band(5).FrequencyHz, 999.97, 0.005);
        EXPECT_EQ(c.output(1).band(5).Q, 0.7);
        EXPECT_EQ(c.output(3).band(3).FrequencyHz, 500.0);
        EXPECT_EQ(c.output(3).band(4).FrequencyHz, 700.0);  // SUB's bands 4..7 are never loaded
        EXPECT_EQ(c.output(1).DelaySamples, 0);
        EXPECT_EQ(c.output(2).DelaySamples, 234);
        EXPECT_EQ(c.Temperature, 50);
        EXPECT_EQ(c.output(1).Route, kRouteB);
        EXPECT_EQ(c.output(1).GainFromB, 1.0);
        EXPECT_EQ(c.output(2).Route, kRouteA);
        EXPECT_EQ(c.output(3).Route, kRouteA);
    }
}

TEST(LoadRefresh, LevelsFollowTheTrackForAnImageAndTheGainForAFile) {
    OutputChannel out;
    setLevelTrack(out, 61);  // 0 dB is exactly a gain of 1
    EXPECT_EQ(out.Gain, 1.0);
    setLevelTrack(out, 0);  // +6.1 dB is held to the field's +6.0
    EXPECT_EQ(levelDbFromTrack(out.LevelPosition), 6.0);

    ProcessorConfig c;
    c.output(1).Gain = 0.5;
    c.output(1).Inverted = true;  // the sign comes from Inverted, not from the stored gain
    c.output(2).LevelPosition = 400;
    ProcessorConfig image = c;
    refreshAfterLoad(image, LoadSource::Image);
    EXPECT_EQ(image.output(1).Gain, -1.0);
    EXPECT_EQ(image.output(2).LevelPosition, 361);
    c.output(3).Gain = 0.0;  // reads -30 dB
    refreshAfterLoad(c, LoadSource::PresetFile);
    EXPECT_EQ(c.output(3).LevelPosition, 361);
    EXPECT_EQ(c.output(1).LevelPosition, 121);
    EXPECT_NEAR(c.output(1).Gain, -0.501187, 1e-6);
    EXPECT_EQ(c.output(2).LevelPosition, 61);
}

TEST(LoadRefresh, RunningItAgainChangesNothing) {
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
