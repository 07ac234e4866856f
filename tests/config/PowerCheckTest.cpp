// The power check against figures worked out by hand from the unit's curve, and the speaker and
// rack windows' scales.
#include "config/PowerCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace kvn {
namespace {

TEST(PowerCheck, StartUpLimiterBypassUnbalancedAndSub) {
    ProcessorConfig c;
    // Unit 1 at start: limiter at -6 dBFS, so L = 29.6 - 6 - 9 = 14.6 dBu; 8 ohm, gain 41.
    const PowerCheck p = checkOutputPower(c.unit(1), 1);
    EXPECT_NEAR(p.levelDbu, 14.6, 1e-5);
    EXPECT_EQ(voltageText(p.vmaxVrms), "4.16");
    const double volts = std::pow(10.0, 14.6 / 20.0) * 0.775;
    EXPECT_NEAR(p.powerW, volts * 41 * volts * 41 / 8, 1e-3);
    EXPECT_EQ(powerWattsText(p.powerW), "3640");
    EXPECT_TRUE(p.overBoxPower);
    EXPECT_NEAR(p.boxLevelDbu, 5.0098, 1e-4);
    EXPECT_EQ(std::tuple(p.meterMax, p.meterFirst, p.meterSecond), std::tuple(74, 52, 70));
    EXPECT_EQ(p.meterPosition, 101 - 7);  // threshold track R(6.8) = 7
    EXPECT_EQ(powerMemoLines(p)[0], "1 - Max RMS Out Power : 3640 Watts");
    EXPECT_EQ(powerMemoLines(p)[1], "    KVN 350 max Out Voltage : 4.16 vrms");

    // Bypassed: always 18 dBu. Unbalanced: a quarter of the power, half the voltage.
    DynamicsUnit u = c.unit(1);
    u.bypass = 1;
    u.design();
    const PowerCheck bypassed = checkOutputPower(u, 1);
    EXPECT_DOUBLE_EQ(bypassed.levelDbu, 18.0);
    EXPECT_EQ(voltageText(bypassed.vmaxVrms), "6.16");
    u.balanced = 0;
    const PowerCheck unbalanced = checkOutputPower(u, 1);
    EXPECT_DOUBLE_EQ(unbalanced.powerW, bypassed.powerW / 4);
    EXPECT_DOUBLE_EQ(unbalanced.vmaxVrms, bypassed.vmaxVrms / 2);

    // SUB: off 6, so -5 dBFS would be 18.6 dBu and is held to 18; its meter sits 3 lower. As a
    // 4:1 compressor at track 0 its meter reads 101 x 0.97 - 6 - (0 - 25).
    const PowerCheck sub = checkOutputPower(c.unit(2), 2);
    EXPECT_DOUBLE_EQ(sub.levelDbu, 18.0);
    EXPECT_EQ(sub.meterPosition, 101 - 0 - 3);
    DynamicsUnit comp = c.unit(2);
    comp.kneeType = kCompressor;
    comp.ratio = 4.0f;
    comp.design();
    EXPECT_EQ(checkOutputPower(comp, 2).meterPosition, 117);  // 116.97
    comp.boxPowerW = 4000.0f;
    comp.ampGain = 20.0f;  // (6.16 x 20)^2 / 8 = 1897 W
    EXPECT_FALSE(checkOutputPower(comp, 2).overBoxPower);
}

TEST(PowerCheck, SettingsReadFromAFileNeverBreakTheReadout) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const auto& [ohm, gain, box, ratio] :
         {std::tuple(0.0f, 41.0f, 400.0f, 2.0f), std::tuple(8.0f, nan, nan, nan),
          std::tuple(-8.0f, 0.0f, inf, 0.0f), std::tuple(1e-30f, 1e30f, -5.0f, 1e-30f)}) {
        DynamicsUnit u = ProcessorConfig().unit(1);
        u.loadImpedanceOhm = ohm;
        u.ampGain = gain;
        u.boxPowerW = box;
        u.ratio = ratio;
        u.kneeType = kCompressor;
        const PowerCheck p = checkOutputPower(u, 1);
        for (const int v : {p.meterMax, p.meterFirst, p.meterSecond, p.meterPosition}) {
            EXPECT_LE(std::abs(v), 2'000'100) << ohm << " " << gain;
        }
        EXPECT_FALSE(powerWattsText(p.powerW).empty());
    }
    EXPECT_EQ(powerWattsText(123456.7), "123460");
    EXPECT_EQ(voltageText(12.345), "12.30");
    EXPECT_EQ(voltageText(-0.001), "0.00");
}

TEST(PowerCheck, SpeakerAndRackScales) {
    for (const auto& [watts, box, amp] :
         {std::tuple(5.0, 1, 25), std::tuple(24.0, 1, 25), std::tuple(25.0, 25, 25),
          std::tuple(999.0, 25, 25), std::tuple(1000.0, 100, 100), std::tuple(4000.0, 100, 100)}) {
        EXPECT_EQ(boxPowerStep(watts), box) << watts;
        EXPECT_EQ(ampPowerStep(watts), amp) << watts;
    }
    // Entries are found by their rounded value: 2.67 and a stored 3.0 both show "2.67".
    for (const auto& [ohm, item] :
         {std::tuple(2.0, 0), std::tuple(2.67, 1), std::tuple(3.0, 1), std::tuple(4.0, 2),
          std::tuple(8.0, 3), std::tuple(16.0, 4), std::tuple(6.0, -1), std::tuple(-1e300, -1)}) {
        EXPECT_EQ(impedanceItemFor(ohm), item) << ohm;
    }
    EXPECT_NEAR(ampGainDb(40), 32.0412, 1e-4);
    // 101 + T on meters of 0..61.
    EXPECT_EQ(rackMeterPosition(-45.4), 56);
    EXPECT_EQ(rackMeterPosition(-6.0), kRackMeterMax);
    EXPECT_EQ(rackMeterPosition(-200.0), 0);
    EXPECT_EQ(rackMeterPosition(std::numeric_limits<double>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace kvn
