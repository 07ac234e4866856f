#include "config/LevelControls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kvn {
namespace {

TEST(LevelControls, TrackScaleAndFieldRange) {
    EXPECT_EQ(levelDbFromTrack(61), 0.0);
    EXPECT_EQ(levelDbFromTrack(361), -30.0);
    EXPECT_EQ(levelDbFromTrack(1), 6.0);
    EXPECT_EQ(levelDbFromTrack(0), 6.0);  // the field holds +6.1 to +6.0
    EXPECT_EQ(levelDbFromTrack(500), -30.0);
    EXPECT_EQ(levelDbFromTrack(121), -6.0);
    EXPECT_EQ(levelTrackFromDb(9.0), 0);  // the track stops at its end
    EXPECT_EQ(levelTrackFromDb(6.0), 1);
    EXPECT_EQ(levelTrackFromDb(-6.02), 121);
    EXPECT_EQ(levelDbFromGain(0.0), -30.0);
    EXPECT_EQ(levelDbFromGain(std::numeric_limits<double>::quiet_NaN()), -30.0);
    EXPECT_EQ(levelDbFromGain(-10.0), 6.0);
}

TEST(LevelControls, TrackSetsTheSignedGain) {
    OutputChannel out;
    setLevelTrack(out, 61);
    EXPECT_EQ(out.Gain, 1.0);
    setLevelTrack(out, 361);
    EXPECT_NEAR(out.Gain, 0.0316228, 1e-7);
    out.Inverted = true;
    setLevelTrack(out, 121);
    EXPECT_NEAR(out.Gain, -0.501187, 1e-6);
    out.Muted = true;  // muting leaves the level and sends 0
    EXPECT_EQ(out.LevelPosition, 121);
    EXPECT_EQ(out.levelCoefficient(), 0.0);
}

TEST(LevelControls, RefreshFromTheImageTrackOrFromTheFileGain) {
    OutputChannel fromImage;
    fromImage.LevelPosition = 400;  // a damaged position is held to the track
    fromImage.Gain = 0.25;          // the image carries no gain
    refreshLevelFromTrack(fromImage);
    EXPECT_EQ(fromImage.LevelPosition, 361);
    EXPECT_NEAR(fromImage.Gain, 0.0316228, 1e-7);

    OutputChannel fromFile;
    fromFile.Inverted = true;
    fromFile.Gain = 0.5;  // the file's sign does not matter, Inverted does
    fromFile.LevelPosition = 7;
    refreshLevelFromGain(fromFile);
    EXPECT_EQ(fromFile.LevelPosition, 121);
    EXPECT_NEAR(fromFile.Gain, -0.501187, 1e-6);
    const double once = fromFile.Gain;
    refreshLevelFromGain(fromFile);
    EXPECT_EQ(fromFile.Gain, once);
    EXPECT_EQ(fromFile.LevelPosition, 121);
}

}  // namespace
}  // namespace kvn
