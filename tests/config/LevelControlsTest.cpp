#include "config/LevelControls.h"

#include <gtest/gtest.h>

namespace kvn {
namespace {

using Matrix = std::array<double, 4>;

TEST(LevelControls, MutingTheMainOutputsChoosesTheInputMatrix) {
    ProcessorConfig config;
    struct Step {
        int output;
        bool muted;
        Matrix matrix;
    };
    for (const Step& s :
         {Step{3, true, {1, 0, 0, 1}},  // SUB plays no part
          Step{2, true, {1, 0, 1, 0}}, Step{1, true, {1, 0, 0, 1}}, Step{2, false, {0, 1, 0, 1}},
          Step{1, false, {1, 0, 0, 1}}, Step{4, true, {1, 0, 0, 1}}}) {
        setMuted(config, s.output, s.muted);
        EXPECT_EQ(config.InputMatrix, s.matrix) << s.output << " " << s.muted;
    }
    EXPECT_TRUE(config.output(3).Muted);
}

TEST(LevelControls, PolarityAndMuteFoldIntoTheCoefficientWithoutMovingTheLevel) {
    ProcessorConfig config;
    OutputChannel& out = config.output(1);
    setLevelTrack(out, levelTrackFromDb(-6.0));
    setInverted(out, true);
    EXPECT_NEAR(out.levelCoefficient(), -0.501187, 1e-6);
    setMuted(config, 1, true);
    EXPECT_EQ(out.levelCoefficient(), 0.0);
    EXPECT_EQ(out.LevelPosition, 121);
    EXPECT_NEAR(out.Gain, -0.501187, 1e-6);
    setInverted(out, false);
    setMuted(config, 1, false);
    EXPECT_NEAR(out.levelCoefficient(), 0.501187, 1e-6);
}

}  // namespace
}  // namespace kvn
