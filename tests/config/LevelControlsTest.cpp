#include "config/LevelControls.h"

#include <gtest/gtest.h>

#include <limits>

namespace kvn {
namespace {

TEST(LevelControls, TrackScaleFieldRangeAndGainReadout) {
    EXPECT_EQ(levelDbFromTrack(61), 0.0);
    EXPECT_EQ(levelDbFromTrack(121), -6.0);
    EXPECT_EQ(levelDbFromTrack(361), -30.0);
    EXPECT_EQ(levelDbFromTrack(0), 6.0);  // +6.1 is held to the field's +6.0
    EXPECT_EQ(levelDbFromTrack(500), -30.0);
    EXPECT_EQ(levelTrackFromDb(6.0), 1);
    EXPECT_EQ(levelTrackFromDb(9.0), 0);
    EXPECT_EQ(levelTrackFromDb(-6.02), 121);
    EXPECT_EQ(levelDbFromGain(0.0), -30.0);
    EXPECT_EQ(levelDbFromGain(std::numeric_limits<double>::quiet_NaN()), -30.0);
    EXPECT_EQ(levelDbFromGain(-10.0), 6.0);
}

TEST(LevelControls, TrackSetsTheSignedGainAndMuteOnlyTheSentValue) {
    OutputChannel out;
    setLevelTrack(out, 61);
    EXPECT_EQ(out.Gain, 1.0);
    setLevelTrack(out, 361);
    EXPECT_NEAR(out.Gain, 0.0316228, 1e-7);
    out.Inverted = true;
    out.Muted = true;
    setLevelTrack(out, 121);
    EXPECT_NEAR(out.Gain, -0.501187, 1e-6);
    EXPECT_EQ(out.levelCoefficient(), 0.0);
}

}  // namespace
}  // namespace kvn
