#include "config/DynamicsControls.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "dsp/DynamicsMath.h"

namespace kvn {
namespace {

TEST(DynamicsControls, LoadingQuantisesToTheTracksAndRedesigns) {
    ProcessorConfig c;
    const DynamicsControls u1 = loadDynamicsUnit(c, 1);
    EXPECT_EQ(std::tuple(u1.thresholdTrack, u1.ratioTrack, u1.kneeTrack, u1.noiseItem),
              std::tuple(7, 8, 12, 4));  // R(6.8); gate level 13 is item "4"
    EXPECT_FLOAT_EQ(c.unit(1).thresholdDbfs, -6.1f);
    EXPECT_DOUBLE_EQ(u1.thresholdDbu, 14.5);
    EXPECT_NEAR(u1.attackDbPerS, 120.0, 1e-6);
    EXPECT_DOUBLE_EQ(u1.holdMs, 40.0);
    EXPECT_DOUBLE_EQ(u1.releaseDbPerS, 36 * 0.137);

    const DynamicsControls u2 = loadDynamicsUnit(c, 2);
    EXPECT_EQ(u2.thresholdTrack, 0);  // -5 dBFS lies above the track's top
    EXPECT_FLOAT_EQ(c.unit(2).thresholdDbfs, -5.6f);
    EXPECT_EQ(u2.noiseItem, 0);  // "Bypass"

    DynamicsUnit& u = c.unit(2);
    u.ratio = 0.0f;
    u.kneeDb = 10.2f;
    u.kneeType = 5;
    u.bypass = 7;
    u.gateLevel = 20.0f;
    u.holdSamples = 1000;
    const auto table = u.gainTable;
    const DynamicsControls d = loadDynamicsUnit(c, 2);
    // The ratio track cannot reach 0; one type LED and the bypass look; the gate and the timing
    // values are kept (the list shows no item for level 20).
    EXPECT_EQ(std::tuple(u.ratio, u.kneeDb, u.kneeType, u.bypass, u.gateLevel, u.holdSamples),
              std::tuple(1.0f, 10.0f, kCompressor, std::uint8_t{1}, 20.0f, 1000));
    EXPECT_EQ(d.noiseItem, -1);
    EXPECT_NE(u.gainTable, table);  // redesigned: bypassed, gate at 20
    EXPECT_EQ(u.gainTable[25], 1.0);

    u.kneeDb = 4.0f;  // SUB's knee loads through 19.9 - 2W
    EXPECT_EQ(loadDynamicsUnit(c, 2).kneeTrack, 12);
    u.thresholdDbfs = -1e12f;  // far beyond the track's bottom
    u.ratio = std::numeric_limits<float>::quiet_NaN();
    const DynamicsControls far = loadDynamicsUnit(c, 2);
    EXPECT_EQ(std::tuple(far.thresholdTrack, far.ratioTrack), std::tuple(100, 0));
    EXPECT_FLOAT_EQ(u.thresholdDbfs, -55.6f);
}

TEST(DynamicsControls, ShowingAUnitChangesNothingAndNoiseItemsMapBothWays) {
    const ProcessorConfig start;
    const DynamicsControls c = showDynamicsUnit(start, 1);
    EXPECT_EQ(start, ProcessorConfig());
    // -6 dBFS lies between track steps: the nearest one, and the field shows the stored level.
    EXPECT_EQ(c.thresholdTrack, 7);
    EXPECT_NEAR(c.thresholdDbu, 14.6, 1e-6);
    EXPECT_EQ(std::tuple(c.gateLevel, c.gateSlope), std::tuple(13.0, 4.0));
    for (int item = 0; item < kNoiseItems; ++item) {
        EXPECT_EQ(noiseItemForGateLevel(*gateLevelForNoiseItem(item)), item);
    }
    EXPECT_FALSE(gateLevelForNoiseItem(-1));
    EXPECT_FALSE(gateLevelForNoiseItem(kNoiseItems));
}

}  // namespace
}  // namespace kvn
