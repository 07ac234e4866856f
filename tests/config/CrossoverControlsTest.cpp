#include "config/CrossoverControls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace kvn {
namespace {

void setEdge(TXOVERPB& edge, std::uint8_t type, double frequencyHz, int order) {
    edge.XoverType = type;
    edge.FrequencyHz = frequencyHz;
    edge.Order = order;
}

std::tuple<int, double, int> edge(const TXOVERPB& e) {
    return {e.XoverType, e.FrequencyHz, e.Order};
}

TEST(CrossoverControls, LoadingRoundsHoldsRangesOrdersAndDirections) {
    ProcessorConfig c;
    OutputChannel& out = c.output(1);
    setEdge(out.HighPassEdge, kButterworthLowPass, 10.4, 1);  // a low-pass code on the "L" edge
    setEdge(out.LowPassEdge, kButterworthHighPass, 25000.0, 6);
    CrossoverLoad load = loadCrossoverControls(c, 1);
    EXPECT_TRUE(load.messages.empty());
    EXPECT_EQ(edge(out.HighPassEdge), std::tuple(kXoverBypass, 20.0, 2));
    EXPECT_EQ(edge(out.LowPassEdge), std::tuple(kButterworthLowPass, 20000.0, 4));
    EXPECT_EQ(out.LowPassEdge.SectionCount, 2);
    EXPECT_EQ(std::tuple(load.controls.familyH, load.controls.frequencyH), std::tuple(1, 20000));

    setEdge(out.HighPassEdge, kLinkwitzRileyLowPass, 1234.5, 4);  // halves to even
    setEdge(out.LowPassEdge, 9, 5000, 2);                         // a code beyond the list
    load = loadCrossoverControls(c, 1);
    EXPECT_EQ(edge(out.HighPassEdge), std::tuple(kButterworthHighPass, 1234.0, 4));
    EXPECT_EQ(edge(out.LowPassEdge), std::tuple(kXoverBypass, 5000.0, 2));
}

TEST(CrossoverControls, EdgesMayNotCrossUnlessTheirSoloFlagIsSet) {
    ProcessorConfig c;
    OutputChannel& out = c.output(1);
    setEdge(out.HighPassEdge, kButterworthHighPass, 6000, 2);
    setEdge(out.LowPassEdge, kButterworthLowPass, 5000, 2);
    CrossoverLoad load = loadCrossoverControls(c, 1);
    EXPECT_EQ(out.HighPassEdge.FrequencyHz, 5000.0);

    load.controls.frequencyL = 300;
    changeCrossoverEdge(out, 1, XoverEdge::L, load.controls);
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
    EXPECT_EQ(edge(sub.LowPassEdge), std::tuple(kButterworthLowPass, 480.0, 2));

    // A bypassed SUB low-pass edge keeps its sections; nothing is designed on either edge.
    const double b0 = sub.LowPassEdge.section(1).b0;
    setEdge(sub.LowPassEdge, kXoverBypass, 300, 2);
    sub.HighPassEdge.XoverType = kButterworthHighPass;
    loadCrossoverControls(c, 3);
    EXPECT_EQ(edge(sub.LowPassEdge), std::tuple(kXoverBypass, 300.0, 2));
    EXPECT_EQ(sub.LowPassEdge.section(1).b0, b0);
    EXPECT_TRUE(sub.HighPassEdge.section(1).isUnity());
}

TEST(CrossoverControls, BesselAboveItsLimitIsDesignedAtTheLimitWithAMessage) {
    ProcessorConfig c;
    OutputChannel& out = c.output(2);
    setEdge(out.LowPassEdge, kBesselLowPass, 16000, 4);
    CrossoverLoad load = loadCrossoverControls(c, 2);
    EXPECT_EQ(load.messages,
              (std::vector<UserMessage>{
                  {MessageKind::Warning, "Maximum Bessel Cutoff = 14900 for LowPass of order 4"}}));
    EXPECT_EQ(std::tuple(out.LowPassEdge.FrequencyHz, load.controls.frequencyH),
              std::tuple(14900.0, 14900));
    EXPECT_NEAR(out.LowPassEdge.section(1).FrequencyHz, 14900.0 / std::sqrt(0.4889), 0.01);
    EXPECT_FALSE(out.LowPassEdge.section(2).isUnity());

    EXPECT_TRUE(loadCrossoverControls(c, 2).messages.empty());  // at the limit
    setEdge(out.HighPassEdge, kBesselHighPass, 20000, 2);       // a high-pass has no limit
    out.SoloL = out.SoloH = true;
    EXPECT_TRUE(loadCrossoverControls(c, 2).messages.empty());
}

TEST(CrossoverControls, FrequencySliderIsLogarithmicInWholeHertzWithinEachEdgesRange) {
    EXPECT_EQ(xoverFrequencyFromSlider(0), 20);
    EXPECT_EQ(xoverFrequencyFromSlider(kXoverSliderSteps / 3), 200);
    EXPECT_EQ(xoverFrequencyFromSlider(kXoverSliderSteps), 20000);
    EXPECT_EQ(xoverFrequencyFromSlider(-1), 20);
    EXPECT_EQ(xoverFrequencyFromSlider(kXoverSliderSteps + 1), 20000);
    for (int p = 1; p <= kXoverSliderSteps; ++p) {
        ASSERT_GE(xoverFrequencyFromSlider(p), xoverFrequencyFromSlider(p - 1)) << p;
    }
    // Every whole hertz lands on the position nearest to it: within half a step (0.35 %) and the
    // rounding to whole hertz.
    for (int hz = 20; hz <= 20000; hz += 7) {
        const int back = xoverFrequencyFromSlider(xoverSliderPosition(hz));
        ASSERT_LE(std::abs(back - hz), hz * 0.0035 + 0.5) << hz;
    }
    EXPECT_EQ(xoverSliderPosition(5.0), 0);
    EXPECT_EQ(xoverSliderPosition(std::nan("")), 0);

    const int subEnd = xoverSliderMaximum(3, XoverEdge::H);
    EXPECT_LE(xoverFrequencyFromSlider(subEnd), 480);
    EXPECT_GT(xoverFrequencyFromSlider(subEnd + 1), 480);
    EXPECT_EQ(xoverSliderMaximum(3, XoverEdge::L), kXoverSliderSteps);
    EXPECT_EQ(std::tuple(xoverSpinFrequency(1000.5, 3, XoverEdge::H),
                         xoverSpinFrequency(1000.5, 1, XoverEdge::H),
                         xoverSpinFrequency(-4, 1, XoverEdge::L)),
              std::tuple(480, 1000, 20));
}

TEST(CrossoverControls, EveryFamilyAndOrderTheSpinsHoldIsOneTheDesignTakes) {
    for (int family = 0; family < kXoverFamilies; ++family) {
        EXPECT_EQ(xoverFamilyTakesOrder(family), family != 0);
        for (int order = kXoverMinOrder - 1; order <= kXoverMaxOrder + 1; ++order) {
            for (const XoverEdge side : {XoverEdge::L, XoverEdge::H}) {
                ProcessorConfig c;
                OutputChannel& out = c.output(1);
                CrossoverControls controls = crossoverControlsShown(out, 1);
                (side == XoverEdge::L ? controls.familyL : controls.familyH) = family;
                (side == XoverEdge::L ? controls.orderL : controls.orderH) = order;
                changeCrossoverEdge(out, 1, side, controls);
                const TXOVERPB& e = side == XoverEdge::L ? out.HighPassEdge : out.LowPassEdge;
                EXPECT_EQ(e.XoverType, xoverTypeFromFamily(family, side));
                EXPECT_TRUE(TXOVERPB::orderSupported(e.XoverType, e.Order))
                    << family << " " << order;
                EXPECT_LE(e.SectionCount, 2);
            }
        }
    }
    // SUB's disabled high-pass list shows "ByPass" whatever the edge holds.
    ProcessorConfig c;
    c.output(3).HighPassEdge.XoverType = kBesselHighPass;
    EXPECT_EQ(crossoverControlsShown(c.output(3), 3).familyL, 0);
    EXPECT_EQ(crossoverControlsShown(c.output(3), 3).familyH, 1);
}

}  // namespace
}  // namespace kvn
