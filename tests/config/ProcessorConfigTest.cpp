#include "config/ProcessorConfig.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "config/CoefficientAddresses.h"
#include "config/EqualizerControls.h"

namespace kvn {
namespace {

TEST(ProcessorConfig, StartUpNamesRoutesLevelsAndFlags) {
    // The names, the sample rate and the temperature are pinned by the golden bytes of a fresh
    // image and preset record.
    const ProcessorConfig c;
    EXPECT_TRUE(c.ProjectName.empty() && c.Engineer.empty() && c.Comments.empty());
    EXPECT_EQ(c.InputMatrix, (std::array<double, 4>{1, 0, 0, 1}));
    // Output 1 from A, Output 2 from B, SUB from both at half each.
    const std::array<std::tuple<int, double, double>, 3> routes = {std::tuple(kRouteA, 1.0, 0.0),
                                                                   std::tuple(kRouteB, 0.0, 1.0),
                                                                   std::tuple(kRouteAB, 0.5, 0.5)};
    for (int n = 1; n <= 3; ++n) {
        const OutputChannel& out = c.output(n);
        EXPECT_EQ(std::tuple(out.Route, out.GainFromA, out.GainFromB), routes[n - 1]) << n;
    }
    for (const OutputChannel& out : c.Output) {
        EXPECT_EQ(out.PeqBandsInUse, 2);
        EXPECT_EQ(out.DelaySamples, 0);
        EXPECT_EQ(out.RelativeDistanceSamples, 0);
        EXPECT_EQ(out.Gain, 1.0);
        EXPECT_EQ(out.LevelPosition, 61);
        EXPECT_FALSE(out.Muted || out.Inverted || out.SoloL || out.SoloH);
        EXPECT_EQ(out.levelCoefficient(), 1.0);
        for (const PeqBand& band : out.Peq) {
            EXPECT_EQ(band.FilterType, kBypass);
            EXPECT_TRUE(band.isUnity());
        }
    }
    EXPECT_EQ(c.ResponseView, (std::array<bool, 5>{true, true, true, true, true}));
    EXPECT_EQ(c.MeasurementSpl, 90.0f);
}

TEST(ProcessorConfig, StartUpSelectsBandOneOfEachOutput) {
    const ProcessorConfig c;
    // Loading band 1's controls quantises it to the slider steps; SUB's field stops at 500 Hz.
    EXPECT_DOUBLE_EQ(c.output(1).band(1).FrequencyHz, 999.97435008);
    EXPECT_DOUBLE_EQ(c.output(2).band(1).FrequencyHz, 999.97435008);
    EXPECT_EQ(c.output(3).band(1).FrequencyHz, 500.0);
    EXPECT_EQ(c.output(1).band(1).Q, 0.7);
    EXPECT_EQ(c.output(1).band(1).GainDb, 0.0);
    EXPECT_EQ(c.output(1).band(2).FrequencyHz, 1000.0);
    EXPECT_EQ(c.output(1).band(2).Q, 0.707);
}

TEST(ProcessorConfig, StartUpCrossoversAndSlots) {
    const ProcessorConfig c;
    for (int n = 1; n <= 2; ++n) {
        EXPECT_EQ(c.output(n).HighPassEdge.FrequencyHz, 100.0);
        EXPECT_EQ(c.output(n).LowPassEdge.FrequencyHz, 5000.0);
        EXPECT_EQ(c.output(n).HighPassEdge.XoverType, kXoverBypass);
        EXPECT_EQ(c.output(n).LowPassEdge.XoverType, kXoverBypass);
        EXPECT_EQ(c.output(n).LowPassEdge.Order, 2);
    }
    const OutputChannel& sub = c.output(3);
    EXPECT_EQ(sub.HighPassEdge.FrequencyHz, 20.0);
    EXPECT_EQ(sub.LowPassEdge.FrequencyHz, 480.0);
    EXPECT_EQ(sub.LowPassEdge.XoverType, kButterworthLowPass);
    EXPECT_EQ(sub.LowPassEdge.SectionCount, 1);
    EXPECT_FALSE(sub.LowPassEdge.section(1).isUnity());  // designed at start

    // Where each section's five words start; SUB's two edges share one pair of sections.
    const struct {
        const TSOS& section;
        int slot;
    } slots[] = {
        {c.output(1).LowPassEdge.section(1), 76},
        {c.output(1).LowPassEdge.section(2), 81},
        {c.output(1).HighPassEdge.section(1), 86},
        {c.output(1).HighPassEdge.section(2), 91},
        {c.output(2).LowPassEdge.section(1), 96},
        {c.output(2).HighPassEdge.section(2), 111},
        {sub.LowPassEdge.section(1), 131},
        {sub.LowPassEdge.section(2), 136},
        {sub.HighPassEdge.section(1), 131},
        {sub.HighPassEdge.section(2), 136},
        {c.output(1).band(1), 6},
        {c.output(1).band(7), 36},
        {c.output(2).band(1), 41},
        {c.output(2).band(7), 71},
        {sub.band(1), 116},
        {sub.band(3), 126},
    };
    for (const auto& [section, slot] : slots) {
        EXPECT_EQ(section.CoeffSlot, slot) << "slot " << slot;
    }
    EXPECT_EQ(sub.band(4).CoeffSlot, -1);  // SUB bands 4..7 are never sent
}

TEST(ProcessorConfig, StartUpDynamicsUnits) {
    // Thresholds, ratios, times, gates, speaker and amplifier values of unit 1 are pinned by the
    // golden bytes of a fresh preset record and image; these are the ones no golden slice holds.
    const ProcessorConfig c;
    const DynamicsUnit& u1 = c.unit(1);
    EXPECT_EQ(c.unit(2).thresholdDbfs, -5.0f);
    EXPECT_EQ(u1.kneeType, kLimiter);
    EXPECT_EQ(u1.balanced, 1);
    EXPECT_EQ(u1.editorByte37, 1);
    EXPECT_NEAR(u1.gainTable[32], 0.501, 1e-3);  // designed
    EXPECT_EQ(u1.gainTable[8], 0.0);             // gate 13
}

TEST(ProcessorConfig, RouteButtonCyclesAndReadersRestoreThroughTheAdvance) {
    ProcessorConfig c;
    OutputChannel& out = c.output(2);
    const int start = out.Route;
    const double a = out.GainFromA;
    out.advanceRoute();
    EXPECT_EQ(out.Route, kRouteA);
    EXPECT_EQ(out.GainFromA, 1.0);
    out.advanceRoute();
    EXPECT_EQ(out.Route, kRouteAB);
    EXPECT_EQ(out.GainFromB, 0.5);
    out.advanceRoute();
    EXPECT_EQ(out.Route, start);
    EXPECT_EQ(out.GainFromA, a);

    for (int saved : {0, 1, 2}) {
        out.Route = saved - 1;
        out.GainFromA = 7.0;
        out.advanceRoute();
        EXPECT_EQ(out.Route, saved);
        EXPECT_NE(out.GainFromA, 7.0);
    }
    // A damaged value cannot leave the three routes.
    out.Route = 41;
    out.advanceRoute();
    EXPECT_EQ(out.Route, kRouteA);
    out.Route = -9;
    out.advanceRoute();
    EXPECT_EQ(out.Route, kRouteA);
}

TEST(ProcessorConfig, NewRestoresDefaultsButKeepsTheOtherRoutes) {
    ProcessorConfig c;
    c.SystemName = "Stage left";
    c.ProjectName = "Tour";
    c.output(1).Route = kRouteB;
    c.output(1).setRouteGains();
    c.output(2).Route = kRouteAB;
    c.output(2).setRouteGains();
    c.output(3).Route = kRouteB;
    c.output(3).setRouteGains();
    c.output(2).DelaySamples = 100;
    c.output(2).RelativeDistanceSamples = 12;
    c.output(1).band(4).FilterType = kParametric;
    c.output(1).band(4).GainDb = 6;
    c.output(1).band(4).design();
    c.output(3).Muted = true;
    c.unit(2).thresholdDbfs = -20;
    c.MeasurementFile[0] = "speaker.txt";
    c.ResponseView = {false, false, false, false, false};

    c.resetToNew();
    const ProcessorConfig fresh;
    EXPECT_EQ(c.SystemName, "NoName");
    EXPECT_TRUE(c.ProjectName.empty());
    EXPECT_EQ(c.output(1).Route, kRouteA);
    EXPECT_EQ(c.output(1).GainFromA, 1.0);
    EXPECT_EQ(c.output(2).Route, kRouteAB);
    EXPECT_EQ(c.output(2).GainFromA, 0.5);
    EXPECT_EQ(c.output(3).Route, kRouteB);
    EXPECT_EQ(c.output(3).GainFromB, 1.0);
    EXPECT_EQ(c.output(2).DelaySamples, 0);
    EXPECT_EQ(c.output(2).RelativeDistanceSamples, 0);
    EXPECT_TRUE(c.output(1).band(4).isUnity());
    EXPECT_FALSE(c.output(3).Muted);
    EXPECT_EQ(c.unit(2).thresholdDbfs, -5.0f);
    EXPECT_TRUE(c.MeasurementFile[0].empty());
    EXPECT_EQ(c.ResponseView, (std::array<bool, 5>{true, true, true, true, false}));
    EXPECT_EQ(c.output(1).band(1).FrequencyHz, fresh.output(1).band(1).FrequencyHz);
}

TEST(CoefficientAddresses, EveryWordHasOneOwner) {
    std::multiset<int> owned;
    auto take = [&](int first, int count) {
        for (int a = first; a < first + count; ++a) {
            owned.insert(a);
        }
    };
    for (int n = 1; n <= 3; ++n) {
        take(addr::gainFromA(n), 1);
        take(addr::gainFromB(n), 1);
        const int bands = n == 3 ? 3 : 7;
        for (int b = 1; b <= bands; ++b) {
            take(addr::peqBand(n, b), 5);
        }
        take(addr::lowPassSection(n, 1), 5);
        take(addr::lowPassSection(n, 2), 5);
        if (n != 3) {
            take(addr::highPassSection(n, 1), 5);
            take(addr::highPassSection(n, 2), 5);
        }
        take(addr::delay(n), 1);
        take(addr::outputLevel(n), 1);
    }
    for (int m = 0; m < 4; ++m) {
        take(addr::inputMatrix(m), 1);
    }
    for (int u = 1; u <= 2; ++u) {
        take(addr::dynamicsGainTable(u, 0), 33);
        take(addr::dynamicsDetector(u), 1);
        take(addr::dynamicsFixedConstant(u), 1);
        take(addr::dynamicsHold(u), 1);
        take(addr::dynamicsRelease(u), 1);
    }
    take(addr::kConstant18, 1);
    take(addr::kFirstZeroWord, addr::kLastZeroWord - addr::kFirstZeroWord + 1);
    for (int a = 0; a < addr::kWordCount; ++a) {
        EXPECT_EQ(owned.count(a), 1u) << "address " << a;
    }
    EXPECT_EQ(owned.size(), static_cast<std::size_t>(addr::kWordCount));
    EXPECT_EQ(addr::dynamicsDetector(2), 218);
    EXPECT_EQ(addr::dynamicsRelease(1), 184);
    EXPECT_EQ(addr::outputLevelRealTime(1), 258);
}

TEST(EqualizerControls, SliderScalesQuantiseAsTheEditorDoes) {
    EXPECT_EQ(frequencySliderPosition(1000.0), 12632);
    EXPECT_NEAR(frequencyFromSlider(12632), 999.97, 0.005);
    EXPECT_NEAR(frequencyFromSlider(frequencySliderPosition(5000.0)), 4999.75, 0.005);
    EXPECT_EQ(frequencyFromSlider(0), 20000.0);
    EXPECT_EQ(frequencySliderPosition(30000.0), kFrequencySliderMin);
    EXPECT_EQ(frequencySliderPosition(-5.0), kFrequencySliderMax);
    EXPECT_EQ(qSliderPosition(0.707), 193);
    EXPECT_EQ(qFromSlider(193), 0.7);
    EXPECT_EQ(gainSliderPosition(0.0), 123);
    EXPECT_EQ(gainFromSlider(123), 0.0);  // exactly: a 0 dB shelf stays flat
    EXPECT_EQ(gainFromSlider(0), 12.3);
    EXPECT_NEAR(gainFromSlider(gainSliderPosition(-6.04)), -6.0, 1e-12);
}

TEST(EqualizerControls, SelectingABandQuantisesAndRaisesBandsInUse) {
    ProcessorConfig c;
    PeqBand& band = c.output(1).band(5);
    band.FilterType = kBandPass;
    band.FrequencyHz = 3210.0;
    band.Q = 1.0;
    band.GainDb = 4.04;
    selectEqualizerBand(c, 1, 5);
    EXPECT_EQ(c.output(1).PeqBandsInUse, 5);
    EXPECT_EQ(band.Q, 1.7);  // band-pass Q limit
    EXPECT_NEAR(band.GainDb, 4.0, 1e-12);
    EXPECT_NEAR(band.FrequencyHz, 3210.0, 1.5);
    EXPECT_FALSE(band.isUnity());
    selectEqualizerBand(c, 1, 3);
    EXPECT_EQ(c.output(1).PeqBandsInUse, 5);

    PeqBand& shelf = c.output(3).band(2);
    shelf.FilterType = kShelvLow6dB;
    shelf.GainDb = 10.0;
    shelf.FrequencyHz = 2000.0;
    selectEqualizerBand(c, 3, 2);
    EXPECT_EQ(shelf.GainDb, 6.0);
    EXPECT_EQ(shelf.FrequencyHz, 500.0);  // SUB's frequency field stops at 500 Hz

    PeqBand& notch = c.output(2).band(1);
    notch.FilterType = kStopBand;
    notch.Q = 0.8;
    selectEqualizerBand(c, 2, 1);
    EXPECT_EQ(notch.Q, 1.0);
}

}  // namespace
}  // namespace kvn
