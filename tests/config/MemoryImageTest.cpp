#include "config/MemoryImage.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

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
    // Route, delay byte, distance, gate level; the delay word and a level above 2.0.
    EXPECT_EQ(std::tuple(image[1648 + 186], image[1648 + 144], image[1648 + 191], image[1840]),
              std::tuple(0xFF, 0xFF, 0xFF, 0xFF));
    EXPECT_EQ(word(image, addr::delay(1)), hex("00 FF FF"));
    EXPECT_EQ(word(image, addr::outputLevel(2)), hex("1F FF FF"));
}

TEST(MemoryImage, ShelvesWithSlopeTravelAsFourteenAndFifteenAndComeBack) {
    ProcessorConfig c;
    const std::array<std::uint8_t, 4> types = {kLowShelfSlope, kHighShelfSlope, 13, kHiPassQ};
    for (int b = 1; b <= 4; ++b) {
        c.output(1).band(b).FilterType = types[static_cast<std::size_t>(b - 1)];
    }
    ImageBuffer image = BuildImage(c);
    EXPECT_EQ(slice(image, bandAt(1, 1), 19), hex("0E 03 E8 00 7B C1 0F 03 E8 00 7B C1 "
                                                  "00 03 E8 00 7B C1 0B"));
    image[bandAt(1, 5)] = 12;  // bytes the builder never writes come back as Bypass
    image[bandAt(1, 6)] = 16;
    ProcessorConfig d;
    d.output(1).band(5).FilterType = kParametric;
    ASSERT_TRUE(DecodeImage(image, d).loaded);
    std::array<int, 6> decoded{};
    for (int b = 1; b <= 6; ++b) {
        decoded[static_cast<std::size_t>(b - 1)] = d.output(1).band(b).FilterType;
    }
    EXPECT_EQ(decoded, (std::array<int, 6>{kLowShelfSlope, kHighShelfSlope, 0, kHiPassQ, 0, 0}));
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
    EXPECT_TRUE(DecodeImage(exact, c).loaded);
}

TEST(MemoryImage, ReadIntoANewConfigurationGivesBackEveryFieldTheImageCarries) {
    const ProcessorConfig rich = test::richConfig();
    ProcessorConfig c;  // a read runs New first
    ASSERT_TRUE(DecodeImage(BuildImage(rich), c).loaded);
    EXPECT_EQ(c.output(1).Route, kRouteB);  // the saved route, before the refresh restores it
    refreshAfterLoad(c, LoadSource::Image);

    // Every output field and the dynamics settings come back; names are padded to their fields;
    // what only the preset file keeps stays at its default.
    ProcessorConfig expected;
    expected.SystemName = rich.SystemName + std::string(25, ' ');
    expected.InputName = {"Mic   ", "B\xC3\xBC\xE2\x82\xAC   "};
    expected.Temperature = rich.Temperature;
    expected.InputMatrix = rich.InputMatrix;
    expected.Output = rich.Output;
    expected.output(1).Name = "Left  ";
    expected.output(3).Name = "Sub \xC3\xBC ";
    expected.Dynamics = rich.Dynamics;
    const std::array<double, 2> attack = {60.0, 250.0};  // the image holds whole dB/s
    for (int u = 1; u <= 2; ++u) {
        DynamicsUnit& unit = expected.unit(u);
        const DynamicsUnit defaults;
        unit.makeupGainDb = defaults.makeupGainDb;
        unit.speakerCountIndex = defaults.speakerCountIndex;
        unit.editorByte28 = defaults.editorByte28;
        unit.editorByte37 = defaults.editorByte37;
        unit.limiterMaxLevel = defaults.limiterMaxLevel;
        unit.detectorCoefficient = detectorCoefficientFromAttack(attack[u - 1]);
        unit.design();
    }
    test::expectSameConfig(expected, c);
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

    auto gates = [](const ProcessorConfig& c) {
        return std::tuple(c.unit(1).gateLevel, c.unit(2).gateLevel, c.unit(1).gateSlope,
                          c.unit(2).gateSlope);
    };
    image[image::kGates] = 20;
    ProcessorConfig c;
    DecodeImage(image, c);
    EXPECT_EQ(gates(c), std::tuple(20.0f, 1.0f, 6.0f, 10.0f));
    image[image::kVersion] = 202;  // older images carry no gates
    DecodeImage(image, c);
    EXPECT_EQ(gates(c), std::tuple(13.0f, 13.0f, 4.0f, 4.0f));
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
    EXPECT_EQ(stages, (std::vector<std::pair<int, std::string>>{{-1, "Loading..."}}));
    EXPECT_EQ(r.messages,
              (std::vector<UserMessage>{
                  {MessageKind::Warning, "Maximum Bessel Cutoff = 18800 for LowPass of order 2"}}));
    EXPECT_EQ(c.output(1).LowPassEdge.FrequencyHz, 18800.0);
    EXPECT_EQ(std::tuple(c.output(1).Route, c.output(1).GainFromB), std::tuple(kRouteAB, 0.5));
    EXPECT_EQ(c.output(1).PeqBandsInUse, 7);
    // Unit 2's start-up -5 dBFS was written as track 0 and comes back as -5.6 dBFS.
    EXPECT_FLOAT_EQ(c.unit(2).thresholdDbfs, -5.6f);
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
}

}  // namespace
}  // namespace kvn
