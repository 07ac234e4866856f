#include "config/CrossoverControls.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kvn {
namespace {

void setEdge(TXOVERPB& edge, std::uint8_t type, double frequencyHz, int order) {
    edge.XoverType = type;
    edge.FrequencyHz = frequencyHz;
    edge.Order = order;
}

TEST(CrossoverControls, FamilyListMapsEitherDirectionsCode) {
    EXPECT_EQ(xoverFamilyIndex(kButterworthHighPass, XoverEdge::L), 1);
    EXPECT_EQ(xoverFamilyIndex(kBesselHighPass, XoverEdge::L), 3);
    EXPECT_EQ(xoverFamilyIndex(kButterworthLowPass, XoverEdge::L), 0);
    EXPECT_EQ(xoverFamilyIndex(kLinkwitzRileyLowPass, XoverEdge::L), 1);
    EXPECT_EQ(xoverFamilyIndex(kBesselLowPass, XoverEdge::H), 3);
    EXPECT_EQ(xoverFamilyIndex(kButterworthHighPass, XoverEdge::H), 1);
    EXPECT_EQ(xoverFamilyIndex(9, XoverEdge::H), 0);
    EXPECT_EQ(xoverFamilyIndex(200, XoverEdge::L), 0);
    EXPECT_EQ(xoverTypeFromFamily(2, XoverEdge::L), kLinkwitzRileyHighPass);
    EXPECT_EQ(xoverTypeFromFamily(2, XoverEdge::H), kLinkwitzRileyLowPass);
    EXPECT_EQ(xoverTypeFromFamily(0, XoverEdge::H), kXoverBypass);
}

TEST(CrossoverControls, LoadingRoundsHoldsRangesOrdersAndDirections) {
    ProcessorConfig c;
    OutputChannel& out = c.output(1);
    setEdge(out.HighPassEdge, kButterworthLowPass, 10.4, 1);  // a low-pass code on the "L" edge
    setEdge(out.LowPassEdge, kButterworthHighPass, 25000.0, 6);
    CrossoverLoad load = loadCrossoverControls(c, 1);
    EXPECT_TRUE(load.messages.empty());
    EXPECT_EQ(out.HighPassEdge.FrequencyHz, 20.0);
    EXPECT_EQ(out.HighPassEdge.XoverType, kXoverBypass);
    EXPECT_EQ(out.HighPassEdge.Order, 2);
    EXPECT_EQ(out.LowPassEdge.FrequencyHz, 20000.0);
    EXPECT_EQ(out.LowPassEdge.XoverType, kButterworthLowPass);
    EXPECT_EQ(out.LowPassEdge.Order, 4);
    EXPECT_EQ(out.LowPassEdge.SectionCount, 2);
    EXPECT_EQ(load.controls.frequencyH, 20000);
    EXPECT_EQ(load.controls.familyH, 1);

    setEdge(out.HighPassEdge, kLinkwitzRileyHighPass, 1234.5, 4);  // halves to even
    load = loadCrossoverControls(c, 1);
    EXPECT_EQ(out.HighPassEdge.FrequencyHz, 1234.0);
    EXPECT_EQ(load.controls.orderL, 4);
}

TEST(CrossoverControls, EdgesMayNotCrossUnlessTheirSoloFlagIsSet) {
    ProcessorConfig c;
    OutputChannel& out = c.output(1);
    setEdge(out.HighPassEdge, kButterworthHighPass, 6000, 2);
    setEdge(out.LowPassEdge, kButterworthLowPass, 5000, 2);
    loadCrossoverControls(c, 1);
    EXPECT_EQ(out.HighPassEdge.FrequencyHz, 5000.0);
    EXPECT_EQ(out.LowPassEdge.FrequencyHz, 5000.0);

    setEdge(out.HighPassEdge, kButterworthHighPass, 300, 2);
    CrossoverLoad load = loadCrossoverControls(c, 1);
    load.controls.frequencyH = 120;  // the user lowers the low-pass edge below the high-pass
    changeCrossoverEdge(out, 1, XoverEdge::H, load.controls);
    EXPECT_EQ(out.LowPassEdge.FrequencyHz, 300.0);
    EXPECT_EQ(load.controls.frequencyH, 300);

    out.SoloL = true;
    load.controls.frequencyL = 9000;
    changeCrossoverEdge(out, 1, XoverEdge::L, load.controls);
    EXPECT_EQ(out.HighPassEdge.FrequencyHz, 9000.0);
}

TEST(CrossoverControls, SubLowPassStopsAt480AndCannotBeBypassed) {
    ProcessorConfig c;
    OutputChannel& sub = c.output(3);
    sub.LowPassEdge.FrequencyHz = 1000;
    loadCrossoverControls(c, 3);
    EXPECT_EQ(sub.LowPassEdge.FrequencyHz, 480.0);
    EXPECT_EQ(sub.LowPassEdge.XoverType, kButterworthLowPass);

    // A bypassed SUB low-pass edge keeps its sections; nothing is designed on either edge.
    const TSOS designed = sub.LowPassEdge.section(1);
    sub.LowPassEdge.XoverType = kXoverBypass;
    sub.LowPassEdge.FrequencyHz = 300;
    sub.HighPassEdge.XoverType = kButterworthHighPass;
    loadCrossoverControls(c, 3);
    EXPECT_EQ(sub.LowPassEdge.XoverType, kXoverBypass);
    EXPECT_EQ(sub.LowPassEdge.FrequencyHz, 300.0);
    EXPECT_EQ(sub.LowPassEdge.section(1).b0, designed.b0);
    EXPECT_TRUE(sub.HighPassEdge.section(1).isUnity());
}

TEST(CrossoverControls, BesselAboveItsLimitIsDesignedAtTheLimitWithAMessage) {
    ProcessorConfig c;
    OutputChannel& out = c.output(2);
    setEdge(out.LowPassEdge, kBesselLowPass, 16000, 4);
    CrossoverLoad load = loadCrossoverControls(c, 2);
    ASSERT_EQ(load.messages.size(), 1u);
    EXPECT_EQ(load.messages[0],
              (UserMessage{MessageKind::Warning,
                           "Maximum Bessel Cutoff = 14900 for LowPass of order 4"}));
    EXPECT_EQ(out.LowPassEdge.FrequencyHz, 14900.0);
    EXPECT_EQ(load.controls.frequencyH, 14900);
    EXPECT_EQ(out.LowPassEdge.SectionCount, 2);
    EXPECT_FALSE(out.LowPassEdge.section(2).isUnity());  // designed, not left at the limit
    EXPECT_NEAR(out.LowPassEdge.section(1).FrequencyHz, 14900.0 / std::sqrt(0.4889), 0.01);

    // At the limit no message; a high-pass Bessel has no limit.
    EXPECT_TRUE(loadCrossoverControls(c, 2).messages.empty());
    setEdge(out.HighPassEdge, kBesselHighPass, 20000, 2);
    out.SoloL = true;
    out.SoloH = true;
    EXPECT_TRUE(loadCrossoverControls(c, 2).messages.empty());
    EXPECT_EQ(out.HighPassEdge.FrequencyHz, 20000.0);
}

}  // namespace
}  // namespace kvn
