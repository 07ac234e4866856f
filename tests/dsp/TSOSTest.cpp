#include "dsp/TSOS.h"

#include <gtest/gtest.h>

#include "DesignedSection.h"

#include <array>
#include <cmath>

namespace kvn {
namespace {

using Coefficients = std::array<double, 5>;

using test::designed;

void expectCoefficients(const TSOS& s, const Coefficients& expected, const char* what) {
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(s.coefficient(i), expected[static_cast<std::size_t>(i)], 1e-12)
            << what << " coefficient " << i;
    }
}

// Reference values computed independently in 50-digit arithmetic from textbook formulations
// (cookbook peaking and slope shelves, bilinear transforms of the analogue prototypes with
// prewarping, bandwidth-form band-pass and notch, the first-order shelf with its corner gain).
TEST(TSOS, DesignsMatchIndependentReferenceCoefficients) {
    struct Design {
        int type;
        double f, q, g;
    };
    struct Case {
        const char* what;
        Design design;
        Coefficients c;
    };
    const Case cases[] = {
        {"parametric +6 dB",
         {kParametric, 1000, 1.4, 6},
         {1.0317962611279333989, -1.919541117596876976, 0.90430850110466932657,
          1.919541117596876976, -0.93610476223260272544}},
        {"parametric -12 dB",
         {kParametric, 100, 0.5, -12},
         {0.98094093051857447909, -1.9489281540527888278, 0.96815420724315749397,
          1.9489281540527888278, -0.94909513776173197306}},
        {"low shelf +6 dB (corner 3 dB below the plateau)",
         {kShelvLow6dB, 200, 0.707, 6},
         {1.0091066575434965039, -0.97259332766335571019, 0, 0.98169998520685221409, 0}},
        {"low shelf +2 dB (corner at half the plateau)",
         {kShelvLow6dB, 200, 0.707, 2},
         {1.0029860734080148278, -0.97394880225889261966, 0, 0.97693487566690744742, 0}},
        {"low shelf -6 dB (corner 3 dB above the plateau)",
         {kShelvLow6dB, 200, 0.707, -6},
         {0.99097552525749343717, -0.97284065848563390991, 0, 0.96381618374312734707, 0}},
        {"high shelf +4 dB",
         {kShelvHigh6dB, 5000, 0.707, 4},
         {1.3338508630341537592, -0.47542976098431163046, 0, 0.14157889795015787123, 0}},
        {"Butterworth low-pass",
         {kLowPassButtw, 1000, 0.707, 0},
         {0.0039161266605473694769, 0.0078322533210947389537, 0.0039161266605473694769,
          1.8153410827045680755, -0.83100558934675755345}},
        {"Butterworth high-pass",
         {kHiPassButtw, 80, 0.707, 0},
         {0.99262254275611898181, -1.9852450855122379636, 0.99262254275611898181,
          1.9851906578962613259, -0.98529951312821460136}},
        {"band-pass",
         {kBandPass, 2000, 2, 3},
         {0.086887682447508880943, 0, -0.086887682447508880943, 1.8130200409414114794,
          -0.87697646299275686725}},
        {"notch",
         {kStopBand, 60, 5, 0},
         {0.99921521804154705913, -1.9983687997817213931, 0.99921521804154705913,
          1.9983687997817213931, -0.99843043608309411827}},
        {"first-order all-pass",
         {kAllPass1, 500, 0.707, 0},
         {-0.93660220799206138074, 1.0, 0, 0.93660220799206138074, 0}},
        {"second-order all-pass",
         {kAllPass2, 3000, 0.9, 0},
         {0.64934591366698965115, -1.5237969316680595247, 1.0, 1.5237969316680595247,
          -0.64934591366698965115}},
        {"low-pass with Q",
         {kLowPassQ, 150, 2.5, 0},
         {0.000096002781151473199453, 0.00019200556230294639891, 0.000096002781151473199453,
          1.9917932298202392874, -0.99217724094484518016}},
        {"high-pass with Q",
         {kHiPassQ, 40, 0.6, 0},
         {0.9956488284117474055, -1.991297656823494811, 0.9956488284117474055,
          1.9912840086221620556, -0.99131130502482756643}},
        {"low shelf with slope",
         {kLowShelfSlope, 300, 1, 5},
         {1.0080500638390283973, -1.9514757370965375835, 0.94543378537350564762,
          1.9519151709403156912, -0.95304441536875593723}},
        {"high shelf with slope",
         {kHighShelfSlope, 8000, 0.7, -4},
         {0.74338662240988343212, -0.34254322921899388031, 0.094524672971298538326,
          0.68776313694327531884, -0.18313120310546340898}},
        {"low shelf with slope, small radicand replaced by 0.1",
         {kLowShelfSlope, 100, 5, 12},
         {1.0003903436885399265, -1.9991303559674792286, 0.99908178540035935459,
          1.9992583177648717696, -0.99934416729150674019}},
    };
    for (const Case& c : cases) {
        const Design& d = c.design;
        expectCoefficients(designed(d.type, d.f, d.q, d.g), c.c, c.what);
    }
}

TEST(TSOS, FirstOrderCrossoverSectionsMatchReference) {
    TSOS s;
    s.FrequencyHz = 1000;
    s.GainDb = 3;
    s.designFirstOrderLowPass();
    expectCoefficients(
        s, {0.061511768503621566376, 0.061511768503621566376, 0, 0.87697646299275686725, 0},
        "first-order low-pass");
    EXPECT_EQ(s.GainDb, 0.0);
    s.designFirstOrderHighPass();
    expectCoefficients(
        s, {0.93848823149637843362, -0.93848823149637843362, 0, 0.87697646299275686725, 0},
        "first-order high-pass");
}

TEST(TSOS, NewSectionIsUnityAndOutOfRangeCoefficientsAreZero) {
    // Its type, frequency, Q and gain are pinned by the golden bytes of a fresh preset record.
    TSOS s;
    EXPECT_TRUE(s.isUnity());
    EXPECT_EQ(s.coefficient(5), 0.0);
    EXPECT_EQ(s.coefficient(-1), 0.0);
}

TEST(TSOS, ParametricAtZeroDbIsFlat) {
    const TSOS s = designed(kParametric, 2500, 3.0, 0.0);
    EXPECT_DOUBLE_EQ(s.b0, 1.0);
    EXPECT_DOUBLE_EQ(s.b2, -s.a2);
    EXPECT_DOUBLE_EQ(s.b1, -s.a1);
}

TEST(TSOS, SaturationThresholdsDifferBySide) {
    EXPECT_EQ(saturateCoefficient(1.9999999999), 1.9999999999);
    EXPECT_EQ(saturateCoefficient(1.99999999995), 1.99999999999);
    EXPECT_EQ(saturateCoefficient(3.0), 1.99999999999);
    EXPECT_EQ(saturateCoefficient(-1.999999999), -1.999999999);
    EXPECT_EQ(saturateCoefficient(-1.9999999995), -1.99999999999);
    EXPECT_EQ(saturateCoefficient(-5.0), -1.99999999999);

    // A wide, strong boost near the top pushes b0 past 2: only b0 and b1 are held.
    const TSOS s = designed(kParametric, 12000, 0.1, 12);
    EXPECT_EQ(s.b0, 1.99999999999);
    const double a0 = 1.0 + 5.0 / std::pow(10.0, 12.0 / 40.0);
    EXPECT_NEAR(s.a2, -(1.0 - 5.0 / std::pow(10.0, 12.0 / 40.0)) / a0, 1e-9);
}

TEST(TSOS, DesignsSetTypeAndForceGainAsTheTypeRequires) {
    // First-order shelves at exactly 0 dB are unity and keep their code.
    for (int type : {kShelvLow6dB, kShelvHigh6dB}) {
        TSOS s = designed(kParametric, 300, 2, 6);
        s.FilterType = static_cast<std::uint8_t>(type);
        s.GainDb = 0.0;
        s.design();
        EXPECT_TRUE(s.isUnity());
        EXPECT_EQ(s.FilterType, type);
    }
    for (int type : {kLowPassButtw, kHiPassButtw, kLowPassQ}) {
        EXPECT_EQ(designed(type, 300, 2, 6).GainDb, 0.0) << type;
    }
    EXPECT_EQ(designed(kHiPassQ, 300, 2, 6).GainDb, 6.0);
    // The band-pass widens a too-narrow Q only locally.
    EXPECT_EQ(designed(kBandPass, 10000, 0.3, 0).Q, 0.3);
    // Shelves with slope do not write a type code of their own.
    TSOS shelf;
    shelf.FrequencyHz = 500;
    shelf.GainDb = 3;
    shelf.FilterType = kAllPass1;
    shelf.designLowShelfSlope();
    EXPECT_EQ(shelf.FilterType, kAllPass1);
    // Codes without a design leave the coefficients alone.
    TSOS other = designed(kParametric, 300, 2, 6);
    const double b0 = other.b0;
    other.FilterType = 13;
    other.design();
    EXPECT_EQ(other.b0, b0);
    EXPECT_EQ(other.FilterType, 13);
}

TEST(TSOS, TypeListIndices) {
    EXPECT_STREQ(filterTypeName(0), "Bypass");
    EXPECT_STREQ(filterTypeName(2), "Shelv Low 6dB");
    EXPECT_STREQ(filterTypeName(11), "HiPass Q");
    EXPECT_STREQ(filterTypeName(15), "");
    EXPECT_EQ(filterTypeListIndex(11), 11);
    EXPECT_EQ(filterTypeListIndex(15), 14);
    EXPECT_EQ(filterTypeListIndex(16), 15);
    EXPECT_EQ(filterTypeListIndex(12), 0);
    EXPECT_EQ(filterTypeListIndex(200), 0);
}

}  // namespace
}  // namespace kvn
