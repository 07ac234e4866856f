#include "config/MemoryImage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "TestSupport.h"
#include "config/CoefficientAddresses.h"
#include "config/Encodings.h"
#include "config/LoadRefresh.h"
#include "dsp/DynamicsMath.h"

namespace kvn {
namespace {

using test::hex;

std::vector<std::uint8_t> slice(const ImageBuffer& image, std::size_t offset, std::size_t count) {
    return {image.begin() + static_cast<std::ptrdiff_t>(offset),
            image.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

std::vector<std::uint8_t> word(const ImageBuffer& image, int address) {
    return slice(image, image::wordOffset(address), 3);
}

std::string text(const ImageBuffer& image, std::size_t offset, std::size_t count) {
    return {image.begin() + static_cast<std::ptrdiff_t>(offset),
            image.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

std::size_t bandAt(int output, int band) {
    const std::size_t base = output == 1 ? 0 : output == 2 ? 42 : 84;
    return image::kParameters + base + 6 * static_cast<std::size_t>(band - 1);
}

TEST(MemoryImage, DefaultConfig_HeaderNamesCopiesAndFill) {
    const ImageBuffer image = BuildImage(ProcessorConfig{});
    ASSERT_EQ(image.size(), 2046u);
    EXPECT_EQ(slice(image, 0, 12), hex("07 FC CB 00 01 01 01 01 01 01 01 01"));
    EXPECT_EQ(text(image, 12, 88),
              "NoName" + std::string(34, ' ') + "In1   In2   Out1  Out2              SUB         ");
    EXPECT_EQ(slice(image, 100, 774), slice(image, 874, 774));  // bank B repeats bank A
    EXPECT_EQ(slice(image, 1648, 192), slice(image, 1844, 192));
    EXPECT_EQ(slice(image, 2036, 10), hex("0D 0D 0D 0D 0D 0D 0D 0D 0D 00"));
}

TEST(MemoryImage, DefaultConfig_ParameterBlockGoldenBytes) {
    const ImageBuffer image = BuildImage(ProcessorConfig{});
    const std::string band = "00 03 E8 00 7B C1 ";
    std::string bands;
    for (int i = 0; i < 14; ++i) {
        bands += band;
    }
    // SUB's band 1 was loaded with SUB's 500 Hz frequency limit at start-up.
    const std::string expected =
        bands + "00 01 F4 00 7B C1 " + band + band +
        "00 13 88 02 00 00 00 64 02 00 "  // Output 1 crossover: low-pass, then high-pass
        "00 13 88 02 00 00 00 64 02 00 "
        "01 01 E0 02 00 00 00 14 02 00 "        // SUB: Butterworth low-pass at 480 Hz
        "00 3D 00 00 00 3D 00 00 00 3D 00 00 "  // levels at position 61
        "00 00 00 19 "                          // delays, 25 degrees
        "07 08 0C 00 00 78 00 28 05 "  // unit 1: -6 dBFS, 2:1, knee 4, 120 dB/s, 40 ms, 5 dB/s
        "00 08 0C 00 00 78 00 28 05 "  // unit 2: -5 dBFS is below the track and saturates to 0
        "03 20 01 90 02 58 29 01 03 20 01 90 02 58 29 01 "  // 8 ohm, 400 W, 600 W, x41, balanced
        "0A 00 00 0A 00 02 01 00 00 00";                    // matrix, routes, distances
    EXPECT_EQ(slice(image, 1648, 192), hex(expected));
    EXPECT_EQ(slice(image, 1840, 4), hex("0D 01 04 04"));  // gate levels 13, 1; slopes 4, 4
}

TEST(MemoryImage, DefaultConfig_CoefficientWords) {
    const ImageBuffer image = BuildImage(ProcessorConfig{});
    EXPECT_EQ(slice(image, 100, 18), hex("10 00 00 00 00 00 00 00 00 10 00 00 08 00 00 08 00 00"));
    EXPECT_EQ(word(image, 6), hex("10 00 00"));  // a bypassed band passes through
    // SUB crossover: the low-pass edge's unused second section, then its designed first section.
    EXPECT_EQ(slice(image, image::wordOffset(131), 30),
              hex("10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                  "00 03 DE 00 07 BD 00 03 DE 1E 94 43 31 5C 43"));
    EXPECT_EQ(slice(image, image::wordOffset(141), 9), hex("00 00 01 00 00 01 00 00 01"));
    EXPECT_EQ(slice(image, image::wordOffset(144), 12), hex("10 00 00 00 00 00 00 00 00 10 00 00"));
    EXPECT_EQ(word(image, 182), hex("10 20 C4"));  // fixed constant 1.008
    EXPECT_EQ(slice(image, image::wordOffset(183), 6), hex("00 07 80 00 00 24"));  // 1920, 36
    EXPECT_EQ(word(image, 222), hex("00 00 12"));
    EXPECT_EQ(word(image, 254), hex("00 00 00"));
    EXPECT_EQ(slice(image, image::wordOffset(255), 9), hex("10 00 00 10 00 00 10 00 00"));
}

TEST(MemoryImage, CrossoverSectionsGoSecondBeforeFirstAndSubHighPassIsNeverWritten) {
    ProcessorConfig c;
    OutputChannel& out = c.output(2);
    out.LowPassEdge.XoverType = kButterworthLowPass;
    out.LowPassEdge.Order = 4;
    out.LowPassEdge.design();
    out.HighPassEdge.XoverType = kButterworthHighPass;
    out.HighPassEdge.Order = 4;
    out.HighPassEdge.design();
    c.output(3).HighPassEdge.XoverType = kButterworthHighPass;
    c.output(3).HighPassEdge.design();
    const ImageBuffer image = BuildImage(c);
    ASSERT_NE(out.LowPassEdge.section(1).b0, out.LowPassEdge.section(2).b0);
    auto fx = [](double v) {
        const Word w = encodeFixedWord(v);
        return std::vector<std::uint8_t>(w.begin(), w.end());
    };
    EXPECT_EQ(word(image, 96), fx(out.LowPassEdge.section(2).b0));
    EXPECT_EQ(word(image, 101), fx(out.LowPassEdge.section(1).b0));
    EXPECT_EQ(word(image, 110), fx(out.HighPassEdge.section(2).a2));
    EXPECT_EQ(word(image, 115), fx(out.HighPassEdge.section(1).a2));
    EXPECT_EQ(slice(image, image::wordOffset(131), 30),
              slice(BuildImage(ProcessorConfig{}), image::wordOffset(131), 30));
}

TEST(MemoryImage, FieldsSaturateAndTextsAreCutToTheirFields) {
    ProcessorConfig c;
    c.SystemName = std::string(45, 'x') + "tail";
    c.InputName[0] = "Mixer-1";
    c.output(1).Name = "\xE2\x82\xAC\xE4\xB8\xAD";  // euro sign, then a character cp1252 lacks
    PeqBand& band = c.output(1).band(1);
    band.FrequencyHz = 70000;
    band.GainDb = -20;
    band.Q = 25;
    c.output(1).band(2).GainDb = 20;
    c.output(1).Route = 300;
    c.output(1).DelaySamples = INT_MAX;
    c.output(2).Gain = 3.0;
    c.output(3).RelativeDistanceSamples = 300;
    c.unit(1).gateLevel = 1e10f;
    const ImageBuffer image = BuildImage(c);

    EXPECT_EQ(text(image, 12, 40), std::string(40, 'x'));
    EXPECT_EQ(text(image, 52, 6), "Mixer-");
    EXPECT_EQ(slice(image, 64, 6), hex("80 3F 20 20 20 20"));
    EXPECT_EQ(slice(image, bandAt(1, 1), 6), hex("00 FF FF 01 43 00"));
    EXPECT_EQ(slice(image, bandAt(1, 2) + 3, 2), hex("00 00"));
    EXPECT_EQ(image[1648 + 186], 0xFF);                       // route
    EXPECT_EQ(image[1648 + 144], 0xFF);                       // delay byte
    EXPECT_EQ(word(image, addr::delay(1)), hex("00 FF FF"));  // delay word
    EXPECT_EQ(word(image, addr::outputLevel(2)), hex("1F FF FF"));
    EXPECT_EQ(image[1648 + 191], 0xFF);  // distance
    EXPECT_EQ(image[1840], 0xFF);        // gate level
}

TEST(MemoryImage, ShelvesWithSlopeTravelAsFourteenAndFifteenAndComeBack) {
    ProcessorConfig c;
    c.output(1).band(1).FilterType = kLowShelfSlope;
    c.output(1).band(2).FilterType = kHighShelfSlope;
    c.output(1).band(3).FilterType = 13;  // not a type the processor knows
    c.output(1).band(4).FilterType = kHiPassQ;
    ImageBuffer image = BuildImage(c);
    EXPECT_EQ(image[bandAt(1, 1)], 14);
    EXPECT_EQ(image[bandAt(1, 2)], 15);
    EXPECT_EQ(image[bandAt(1, 3)], 0);
    EXPECT_EQ(image[bandAt(1, 4)], 11);

    image[bandAt(1, 5)] = 12;
    image[bandAt(1, 6)] = 16;
    image[bandAt(1, 7)] = 200;
    ProcessorConfig d;
    d.output(1).band(5).FilterType = kParametric;
    ASSERT_TRUE(DecodeImage(image, d).success);
    EXPECT_EQ(d.output(1).band(1).FilterType, kLowShelfSlope);
    EXPECT_EQ(d.output(1).band(2).FilterType, kHighShelfSlope);
    EXPECT_EQ(d.output(1).band(4).FilterType, kHiPassQ);
    for (int b : {3, 5, 6, 7}) {
        EXPECT_EQ(d.output(1).band(b).FilterType, kBypass) << b;
    }
}

TEST(MemoryImage, DecodeRefusesShortBuffersAndLeavesTheConfigurationUnchanged) {
    const ImageBuffer full = BuildImage(test::richConfig());
    ProcessorConfig c;
    const ProcessorConfig before = c;

    LoadResult r = DecodeImage({}, c);
    EXPECT_FALSE(r.success || r.loaded);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], (UserMessage{MessageKind::Error, "No memory image was received."}));

    // Heap copies of exactly the given length, so that a read past the end is caught.
    const std::vector<std::uint8_t> cut(full.begin(), full.begin() + 2044);
    r = DecodeImage(cut, c);
    EXPECT_FALSE(r.success || r.loaded);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text,
              "The memory image is incomplete: 2044 of 2045 bytes were received.");
    test::expectSameConfig(before, c);

    const std::vector<std::uint8_t> exact(full.begin(), full.begin() + 2045);
    r = DecodeImage(exact, c);
    EXPECT_TRUE(r.success && r.loaded);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(c.output(1).Name, "Left  ");
}

TEST(MemoryImage, DecodeReadsEveryFieldTheImageCarries) {
    const ProcessorConfig rich = test::richConfig();
    ProcessorConfig c;
    ASSERT_TRUE(DecodeImage(BuildImage(rich), c).loaded);

    // Names come back padded to their fields, as the processor holds them.
    EXPECT_EQ(c.SystemName, rich.SystemName + std::string(40 - 15, ' '));
    EXPECT_EQ(c.InputName[0], "Mic   ");
    EXPECT_EQ(c.InputName[1], "B\xC3\xBC\xE2\x82\xAC   ");
    EXPECT_EQ(c.output(2).Name, "Right\xE2\x82\xAC");
    EXPECT_EQ(c.output(3).Name, "Sub \xC3\xBC ");
    EXPECT_EQ(c.Temperature, 31);
    EXPECT_EQ(c.InputMatrix, rich.InputMatrix);
    EXPECT_TRUE(c.ProjectName.empty());  // the image does not carry it

    for (int n = 1; n <= 3; ++n) {
        const OutputChannel& x = rich.output(n);
        const OutputChannel& y = c.output(n);
        for (int b = 1; b <= (n == 3 ? 3 : 7); ++b) {
            EXPECT_EQ(y.band(b).FilterType, x.band(b).FilterType) << n << "/" << b;
            EXPECT_EQ(y.band(b).FrequencyHz, std::nearbyint(x.band(b).FrequencyHz)) << n << b;
            EXPECT_NEAR(y.band(b).GainDb, x.band(b).GainDb, 1e-9) << n << "/" << b;
            EXPECT_NEAR(y.band(b).Q, x.band(b).Q, 1e-9) << n << "/" << b;
        }
        for (auto edge : {&OutputChannel::HighPassEdge, &OutputChannel::LowPassEdge}) {
            EXPECT_EQ((y.*edge).XoverType, (x.*edge).XoverType) << n;
            EXPECT_EQ((y.*edge).FrequencyHz, (x.*edge).FrequencyHz) << n;
            EXPECT_EQ((y.*edge).Order, (x.*edge).Order) << n;
        }
        EXPECT_EQ(y.SoloL, x.SoloL) << n;
        EXPECT_EQ(y.SoloH, x.SoloH) << n;
        EXPECT_EQ(y.LevelPosition, x.LevelPosition) << n;
        EXPECT_EQ(y.Muted, x.Muted) << n;
        EXPECT_EQ(y.Inverted, x.Inverted) << n;
        EXPECT_EQ(y.DelaySamples, x.DelaySamples) << n;
        EXPECT_EQ(y.RelativeDistanceSamples, x.RelativeDistanceSamples) << n;
        EXPECT_EQ(y.Route, x.Route) << n;  // the saved route; the refresh restores the gains
    }
    for (int u = 1; u <= 2; ++u) {
        const DynamicsUnit& x = rich.unit(u);
        const DynamicsUnit& y = c.unit(u);
        EXPECT_EQ(y.thresholdDbfs, x.thresholdDbfs) << u;
        EXPECT_EQ(y.ratio, x.ratio) << u;
        EXPECT_EQ(y.kneeDb, x.kneeDb) << u;
        EXPECT_EQ(y.kneeType, x.kneeType) << u;
        EXPECT_EQ(y.bypass, x.bypass) << u;
        EXPECT_NEAR(y.detectorCoefficient, x.detectorCoefficient, 1e-9) << u;
        EXPECT_EQ(y.lookAheadSamples, x.lookAheadSamples) << u;
        EXPECT_EQ(y.holdSamples, x.holdSamples) << u;
        EXPECT_EQ(y.releaseCount, x.releaseCount) << u;
        EXPECT_EQ(y.loadImpedanceOhm, x.loadImpedanceOhm) << u;
        EXPECT_EQ(y.boxPowerW, x.boxPowerW) << u;
        EXPECT_EQ(y.ampPowerW, x.ampPowerW) << u;
        EXPECT_EQ(y.ampGain, x.ampGain) << u;
        EXPECT_EQ(y.balanced, x.balanced) << u;
        EXPECT_EQ(y.gateLevel, x.gateLevel) << u;
        EXPECT_EQ(y.gateSlope, x.gateSlope) << u;
    }
}

TEST(MemoryImage, DecodeTakesDelaysFromTheCoefficientWordsAndGatesByVersion) {
    ImageBuffer image = BuildImage(test::richConfig());
    image[1648 + 144] = 99;  // the parameter block's delay byte is not used
    const std::array<std::pair<int, int>, 5> lowBytes = {
        {{0, 0}, {1, 0}, {18, 17}, {235, 234}, {250, 234}}};
    for (const auto& [stored, expected] : lowBytes) {
        image[image::wordOffset(addr::delay(1)) + 2] = static_cast<std::uint8_t>(stored);
        ProcessorConfig c;
        ASSERT_TRUE(DecodeImage(image, c).loaded);
        EXPECT_EQ(c.output(1).DelaySamples, expected) << stored;
    }

    image[image::kGates] = 20;
    image[image::kGates + 3] = 9;
    ProcessorConfig c;
    DecodeImage(image, c);
    EXPECT_EQ(c.unit(1).gateLevel, 20.0f);
    EXPECT_EQ(c.unit(2).gateSlope, 9.0f);
    image[image::kVersion] = 202;
    DecodeImage(image, c);
    EXPECT_EQ(c.unit(1).gateLevel, 13.0f);
    EXPECT_EQ(c.unit(2).gateLevel, 13.0f);
    EXPECT_EQ(c.unit(1).gateSlope, 4.0f);
    EXPECT_EQ(c.unit(2).gateSlope, 4.0f);
}

TEST(MemoryImage, SubStartUpThresholdComesBackAsTheNearestTrackStep) {
    ProcessorConfig c;
    ASSERT_TRUE(LoadImage(BuildImage(ProcessorConfig{}), c).loaded);
    EXPECT_FLOAT_EQ(c.unit(2).thresholdDbfs, -5.6f);
    EXPECT_FLOAT_EQ(c.unit(1).thresholdDbfs, -6.1f);  // track 7: -3.5 - 2.6
}

TEST(MemoryImage, LoadReportsOneLoadingStageAndRefreshes) {
    ProcessorConfig source;
    source.output(1).LowPassEdge.XoverType = kBesselLowPass;
    source.output(1).LowPassEdge.FrequencyHz = 20000;
    source.output(1).Route = kRouteAB;
    std::vector<std::pair<int, std::string>> stages;
    ProcessorConfig c;
    const LoadResult r = LoadImage(BuildImage(source), c, [&](const ProgressStage& s) {
        stages.emplace_back(s.percent, std::string(s.step));
    });
    EXPECT_TRUE(r.success && r.loaded);
    ASSERT_EQ(stages.size(), 1u);
    EXPECT_EQ(stages[0], (std::pair<int, std::string>{kProgressBarHidden, "Loading..."}));
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], (UserMessage{MessageKind::Warning,
                                          "Maximum Bessel Cutoff = 18800 for LowPass of order 2"}));
    EXPECT_EQ(c.output(1).LowPassEdge.FrequencyHz, 18800.0);
    EXPECT_EQ(c.output(1).Route, kRouteAB);
    EXPECT_EQ(c.output(1).GainFromB, 0.5);
    EXPECT_EQ(c.output(1).PeqBandsInUse, 7);

    const LoadResult failed = LoadImage({}, c);
    EXPECT_FALSE(failed.loaded);
    EXPECT_EQ(failed.messages.size(), 1u);
}

TEST(MemoryImage, ImageConfigurationImageIsByteIdenticalAfterTheRefresh) {
    for (const ProcessorConfig& start : {ProcessorConfig{}, test::richConfig()}) {
        ProcessorConfig first;
        ASSERT_TRUE(LoadImage(BuildImage(start), first).loaded);
        const ImageBuffer image1 = BuildImage(first);
        ProcessorConfig second;
        ASSERT_TRUE(LoadImage(image1, second).loaded);
        EXPECT_EQ(BuildImage(second), image1);
    }
    // A configuration that has been through a load already writes the image it was read from.
    const ProcessorConfig rich = test::richConfig();
    ProcessorConfig loaded = rich;
    ASSERT_TRUE(LoadImage(BuildImage(rich), loaded).loaded);
    EXPECT_EQ(BuildImage(loaded), BuildImage(rich));
}

}  // namespace
}  // namespace kvn
