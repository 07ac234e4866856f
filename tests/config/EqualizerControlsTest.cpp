#include "config/EqualizerControls.h"

#include "DesignedSection.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "config/Encodings.h"

namespace kvn {
namespace {

// An equaliser band is a section designed from its user parameters.
constexpr auto band = test::designed;

TEST(EqualizerControls, EachTypeEnablesTheControlsItUses) {
    struct Row {
        int type;
        bool gain, q, zero;
    };
    const std::vector<Row> rows = {
        {kBypass, false, false, false},      {kParametric, true, true, false},
        {kShelvLow6dB, true, false, false},  {kShelvHigh6dB, true, false, false},
        {kLowPassButtw, false, false, true}, {kHiPassButtw, false, false, true},
        {kBandPass, true, true, false},      {kStopBand, false, true, false},
        {kAllPass1, false, false, false},    {kAllPass2, false, true, false},
        {kLowPassQ, false, true, true},      {kHiPassQ, false, true, true},
        {kLowShelfSlope, true, true, false}, {kHighShelfSlope, true, true, false},
        {13, false, false, false},
    };
    for (const Row& row : rows) {
        const BandControls c = bandControlsFor(row.type);
        EXPECT_EQ(c.gain, row.gain) << row.type;
        EXPECT_EQ(c.q, row.q) << row.type;
        EXPECT_EQ(c.gainShowsZero, row.zero) << row.type;
    }
}

TEST(EqualizerControls, TypeChangeAppliesTheNewTypesLimitsToWhatTheFieldsShow) {
    PeqBand b = band(kParametric, 1000.0, 1.0, 10.0);
    setBandType(b, kBandPass);
    EXPECT_EQ(b.FilterType, kBandPass);
    EXPECT_EQ(b.Q, 1.7);
    EXPECT_EQ(b.GainDb, 10.0);

    b = band(kParametric, 1000.0, 0.8, 10.0);
    setBandType(b, kStopBand);
    EXPECT_EQ(b.Q, 1.0);

    b = band(kParametric, 1000.0, 0.8, 10.0);
    setBandType(b, kShelvLow6dB);
    EXPECT_EQ(b.GainDb, 6.0);
    EXPECT_EQ(b.FilterType, kShelvLow6dB);

    // A high-pass keeps its gain but its field shows 0, and 0 is what the next type takes.
    b = band(kParametric, 1000.0, 0.8, 5.0);
    setBandType(b, kHiPassQ);
    EXPECT_EQ(b.GainDb, 5.0);
    EXPECT_EQ(shownGainDb(b), 0.0);
    setBandType(b, kParametric);
    EXPECT_EQ(b.GainDb, 0.0);

    setBandType(b, 14);  // the list entry that stands for the low shelf with slope
    EXPECT_EQ(b.FilterType, kLowShelfSlope);
}

TEST(EqualizerControls, TypedValuesEndOnTheSliderStepsAndHoldTheirRanges) {
    PeqBand b = band(kParametric, 1000.0, 1.0, 0.0);
    setBandFrequency(b, 1000.0, false);
    EXPECT_NEAR(b.FrequencyHz, 999.97, 0.005);
    setBandFrequency(b, 50000.0, false);
    EXPECT_EQ(b.FrequencyHz, frequencyFromSlider(kFrequencySliderMin));  // 19970 Hz
    setBandFrequency(b, 3.0, false);
    EXPECT_NEAR(b.FrequencyHz, 10.0, 0.02);
    setBandQ(b, 1.25);
    EXPECT_EQ(b.Q, 1.2);
    setBandQ(b, 0.1);
    EXPECT_EQ(b.Q, 0.5);
    setBandGain(b, 14.0);
    EXPECT_EQ(b.GainDb, 12.0);
    setBandGain(b, -3.04);
    EXPECT_NEAR(b.GainDb, -3.0, 1e-12);

    // SUB: the slider's top gives exactly the field's 500 Hz, and typed values stop there.
    const int top = frequencySliderTop(true);
    EXPECT_GE(frequencyFromSlider(top), 500.0);
    EXPECT_LT(frequencyFromSlider(top + 1), 500.0);
    setBandFrequencyFromSlider(b, top, true);
    EXPECT_EQ(b.FrequencyHz, 500.0);
    setBandFrequency(b, 2000.0, true);
    EXPECT_NEAR(b.FrequencyHz, 500.0, 0.1);
    EXPECT_LE(b.FrequencyHz, 500.0);
    EXPECT_EQ(frequencySliderTop(false), kFrequencySliderMin);
}

TEST(EqualizerControls, DraggingMovesFrequencyAndGainOnlyForTypesWithAGain) {
    PeqBand b = band(kParametric, 1000.0, 1.0, 0.0);
    dragBandTo(b, 2000.0, 4.26, false);
    EXPECT_NEAR(b.FrequencyHz, 2000.0, 0.5);
    EXPECT_NEAR(b.GainDb, 4.3, 1e-12);
    EXPECT_FALSE(b.isUnity());

    PeqBand lowPass = band(kLowPassQ, 1000.0, 2.0, 0.0);
    dragBandTo(lowPass, 3000.0, 5.0, false);
    EXPECT_NEAR(lowPass.FrequencyHz, 3000.0, 1.0);
    EXPECT_EQ(lowPass.GainDb, 0.0);
    EXPECT_EQ(lowPass.FilterType, kLowPassQ);

    PeqBand shelf = band(kShelvHigh6dB, 1000.0, 0.7, 3.0);
    dragBandTo(shelf, 300.0, 11.0, false);
    EXPECT_EQ(shelf.GainDb, 6.0);

    PeqBand sub = band(kParametric, 100.0, 1.0, 0.0);
    dragBandTo(sub, 2000.0, -30.0, true);
    EXPECT_NEAR(sub.FrequencyHz, 500.0, 0.01);
    EXPECT_EQ(sub.GainDb, -15.0);
}

TEST(EqualizerControls, WheelAndKeyStepsMoveOneStepAndStopAtTheEnds) {
    PeqBand b = band(kParametric, 1000.0, 1.0, 0.0);
    loadBandControls(b, false);
    const double f = b.FrequencyHz;
    stepBandFrequency(b, 1, false);
    EXPECT_NEAR(b.FrequencyHz / f, std::exp2(1.0 / 24.0), 0.001);
    stepBandFrequency(b, -1, false);
    EXPECT_NEAR(b.FrequencyHz, f, 0.01);
    stepBandQ(b, 1);
    EXPECT_EQ(b.Q, 1.1);
    stepBandGain(b, -2);
    EXPECT_NEAR(b.GainDb, -0.2, 1e-12);

    PeqBand high = band(kParametric, 19990.0, 20.0, 12.0);
    stepBandFrequency(high, 3, false);
    EXPECT_EQ(high.FrequencyHz, frequencyFromSlider(kFrequencySliderMin));
    stepBandQ(high, 1);
    EXPECT_EQ(high.Q, 19.8);  // the slider's top position
    stepBandGain(high, 1);
    EXPECT_EQ(high.GainDb, 12.0);

    // Down at 10 Hz a twenty-fourth of an octave is still at least one slider position.
    PeqBand low = band(kParametric, 10.0, 1.0, 0.0);
    loadBandControls(low, true);
    stepBandFrequency(low, 1, true);
    EXPECT_GT(low.FrequencyHz, 10.0);
    PeqBand subTop = band(kParametric, 500.0, 1.0, 0.0);
    stepBandFrequency(subTop, 1, true);
    EXPECT_EQ(subTop.FrequencyHz, 500.0);
}

TEST(EqualizerControls, SectionsTextListsEveryBandWithItsWords) {
    EXPECT_EQ(wordText(encodeFixedWord(5.0)), "1F FF FF");
    EXPECT_EQ(wordText(encodeFixedWord(-2.0)), "20 00 00");
    EXPECT_EQ(wordText(encodeFixedWord(0.5)), "08 00 00");

    ProcessorConfig config;
    PeqBand& third = config.output(2).band(3);
    third = band(kParametric, 250.0, 2.0, -4.5);
    third.CoeffSlot = 51;
    std::istringstream text(equaliserSectionsText(config, 2));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].rfind("Band\tSlot\tType", 0), 0u);
    EXPECT_EQ(lines[3].rfind("3\t51\tParametric\t250.00\t2.000\t-4.5\t", 0), 0u) << lines[3];
    const std::string words =
        wordText(encodeFixedWord(third.b0)) + "\t" + wordText(encodeFixedWord(third.b1)) + "\t" +
        wordText(encodeFixedWord(third.b2)) + "\t" + wordText(encodeFixedWord(third.a1)) + "\t" +
        wordText(encodeFixedWord(third.a2));
    EXPECT_EQ(lines[3].substr(lines[3].size() - words.size()), words);
    EXPECT_EQ(equaliserSectionsText(config, kSubOutput).find("\n4\t"), std::string::npos);
}

}  // namespace
}  // namespace kvn
