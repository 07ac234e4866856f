// Equaliser bands and the filter text: the same filters both ways, the export and import of an
// output's equaliser.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include "TestSupport.h"
#include "config/EqualizerControls.h"
#include "config/FilterTextMapping.h"
#include "config/LevelControls.h"
#include "dsp/Response.h"

namespace kvn {
namespace {

using T = TextFilterType;

// The text's filters as the analogue prototypes they name, normalised to their frequency, taken
// to 48 kHz with the bilinear transform warped at that frequency: numerator and denominator
// coefficients of s^2, s, 1.
struct Analogue {
    double n2, n1, n0, d2, d1, d0;
};

Analogue prototype(const TextFilter& f) {
    const double g = std::pow(10.0, f.gainDb / 20.0);
    const double a = std::sqrt(g);
    const double q = f.q;
    switch (f.type) {
        case T::PK:
            return {1, a / q, 1, 1, 1 / (a * q), 1};
        case T::LP:
            return {0, 0, 1, 1, std::sqrt(2.0), 1};
        case T::HP:
            return {1, 0, 0, 1, std::sqrt(2.0), 1};
        case T::LPQ:
            return {0, 0, 1, 1, 1 / q, 1};
        case T::HPQ:
            return {1, 0, 0, 1, 1 / q, 1};
        case T::BP:
            return {0, g / q, 0, 1, 1 / q, 1};
        case T::NO:
            return {1, 0, 1, 1, 1 / q, 1};
        case T::AP:
            return {1, -1 / q, 1, 1, 1 / q, 1};
        case T::LS6:  // gain g at 0 Hz, 1 above, sqrt(g) at Fc
            return {0, 1, std::sqrt(g), 0, 1, 1 / std::sqrt(g)};
        case T::HS6:
            return {0, g, std::sqrt(g), 0, 1, std::sqrt(g)};
        case T::LSC:
        case T::HSC: {
            const double s = f.slopeDb / 12.0;
            const double A = a;  // the shelf's A is 10^(dB / 40)
            const double k = std::sqrt(A) * std::sqrt((A + 1 / A) * (1 / s - 1) + 2);
            if (f.type == T::LSC) {
                return {A, A * k, A * A, A, k, 1};
            }
            return {A * A, A * k, A, 1, k, A};
        }
        case T::None:
            break;
    }
    return {0, 0, 1, 0, 0, 1};
}

TSOS reference(const TextFilter& f) {
    const Analogue p = prototype(f);
    const double k = 1.0 / std::tan(kPi * f.frequencyHz / kSampleRate);
    const double kk = k * k;
    const double a0 = p.d2 * kk + p.d1 * k + p.d0;
    TSOS s;
    s.b0 = (p.n2 * kk + p.n1 * k + p.n0) / a0;
    s.b1 = 2 * (p.n0 - p.n2 * kk) / a0;
    s.b2 = (p.n2 * kk - p.n1 * k + p.n0) / a0;
    s.a1 = -2 * (p.d0 - p.d2 * kk) / a0;
    s.a2 = -(p.d2 * kk - p.d1 * k + p.d0) / a0;
    return s;
}

double largestDifferenceDb(const TSOS& a, const TSOS& b) {
    ResponseCurve ra;
    ResponseCurve rb;
    evaluateCascade(std::span<const TSOS>(&a, 1), 1, ra);
    evaluateCascade(std::span<const TSOS>(&b, 1), 1, rb);
    double worst = 0.0;
    for (int i = 0; i < kGridPoints; ++i) {
        const auto k = static_cast<std::size_t>(i);
        worst = std::max(worst, std::fabs(static_cast<double>(ra.MagDb[k] - rb.MagDb[k])));
    }
    return worst;
}

TextFilter text(T type, double fc, double gain, double q, double slope = 0.0) {
    return {0, true, type, fc, gain, q, slope};
}

TEST(FilterTextMapping, EveryTypeThatMaps_IsTheSameFilterBothWays) {
    const TextFilter cases[] = {
        text(T::PK, 20, -15, 0.5),
        text(T::PK, 1000, -3.5, 1.41),
        text(T::PK, 15000, 12, 20),
        text(T::PK, 63, 6, 0.7),
        text(T::LP, 100, 0, 0),
        text(T::LP, 18000, 0, 0),
        text(T::HP, 25, 0, 0),
        text(T::HP, 8000, 0, 0),
        text(T::LPQ, 500, 0, 3),
        text(T::LPQ, 12000, 0, 0.5),
        text(T::HPQ, 40, 0, 0.6),
        text(T::HPQ, 6000, 0, 9),
        text(T::BP, 60, 0, 2),
        text(T::BP, 1500, 3, 4),
        text(T::BP, 12000, -6, 10),
        text(T::NO, 50, 0, 1.2),
        text(T::NO, 10000, 0, 12),
        text(T::AP, 300, 0, 0.7),
        text(T::AP, 9000, 0, 4),
        text(T::LS6, 120, 6, 0),
        text(T::LS6, 300, 2, 0),
        text(T::LS6, 1000, -12, 0),
        text(T::HS6, 3500, -3, 0),
        text(T::HS6, 8000, 5, 0),
        text(T::HS6, 500, -15, 0),
        text(T::LSC, 250, 4, 0, 12),
        text(T::LSC, 80, -10, 0, 6),
        text(T::LSC, 5000, 8, 0, 18),
        text(T::HSC, 2000, -2.5, 0, 9.6),
        text(T::HSC, 12000, 12, 0, 12),
    };
    for (const TextFilter& f : cases) {
        const std::string name = std::string(textFilterTypeName(f.type)) + " at " +
                                 std::to_string(f.frequencyHz) + " Hz";
        std::string why;
        const auto band = bandFromTextFilter(f, 1, &why);
        ASSERT_TRUE(band) << name << ": " << why;
        EXPECT_LE(largestDifferenceDb(reference(f), *band), 0.01) << name;

        const auto back = textFilterFromBand(*band, &why);
        ASSERT_TRUE(back) << name << ": " << why;
        EXPECT_EQ(back->type, f.type) << name;
        EXPECT_LE(largestDifferenceDb(reference(*back), *band), 0.01) << name;
        EXPECT_NEAR(back->frequencyHz, f.frequencyHz, 1e-6 * f.frequencyHz) << name;
        EXPECT_NEAR(back->q, f.q, 1e-9) << name;
    }
}

TEST(FilterTextMapping, BandsWithoutCounterpart_AreNamed) {
    const struct {
        std::uint8_t type;
        double gainDb;
        double q;
        std::string message;
    } cases[] = {
        {kAllPass1, 0, 0.7, "AllPass 1 has no counterpart in the filter text"},
        {13, 0, 0.7, "type code 13 has no counterpart in the filter text"},
        // The shelf design holds its slope term at 0.1 here, which no text shelf does.
        {kLowShelfSlope, 12, 6.0, "steeper than the filter text's shelf allows"},
    };
    for (const auto& c : cases) {
        PeqBand band;
        band.FilterType = c.type;
        band.GainDb = c.gainDb;
        band.Q = c.q;
        band.design();
        std::string why;
        EXPECT_FALSE(textFilterFromBand(band, &why));
        EXPECT_NE(why.find(c.message), std::string::npos) << why;
    }
}

// Fields that make a band's sound: the gain of a type that has none is left out.
auto sound(const PeqBand& b) {
    return std::tuple(b.FilterType, b.FrequencyHz, b.Q, b.b0, b.b1, b.b2, b.a1, b.a2, b.CoeffSlot);
}

TEST(FilterTextMapping, ExportThenImport_GivesTheOutputsBandsBack) {
    ProcessorConfig rich = test::richConfig();
    rich.output(2).band(3).FilterType = kBypass;  // AllPass 1 has no counterpart
    rich.output(2).band(3).design();
    for (int output = 1; output <= kOutputCount; ++output) {
        const EqualizerExport exported = exportEqualizer(rich, output);
        ASSERT_TRUE(exported.problem.empty()) << exported.problem;
        ProcessorConfig config;
        config.resetToNew();
        const EqualizerImportCheck check = checkEqualizerImport(config, output, exported.text);
        ASSERT_TRUE(check.import) << check.problem->text();
        EXPECT_LT(check.import->stepChangeDb, 0.01);  // the digits of the text
        applyEqualizerImport(config, *check.import);
        for (int n = 1; n <= peqBandCount(output); ++n) {
            if (rich.output(output).band(n).FilterType != kBypass) {
                EXPECT_EQ(sound(config.output(output).band(n)), sound(rich.output(output).band(n)))
                    << "output " << output << " band " << n;
            } else {
                EXPECT_TRUE(config.output(output).band(n).isUnity());
            }
        }
    }
    EXPECT_NE(exportEqualizer(rich, 1).text.find("# KVN 350 Output 1 equaliser"),
              std::string::npos);
    EXPECT_NE(exportEqualizer(rich, 1).text.find("\n# Frequencies as the processor runs them"),
              std::string::npos);
    EXPECT_EQ(exportEqualizer(test::richConfig(), 2).problem,
              "Output 2 band 3: AllPass 1 has no counterpart in the filter text");
}

TEST(FilterTextMapping, Import_HoldsToTheEditorsStepsBypassesTheRestAndAddsThePreamp) {
    ProcessorConfig config;
    config.resetToNew();
    OutputChannel& out = config.output(1);
    setLevelTrack(out, levelTrackFromDb(-6.0));
    out.band(5).FilterType = kParametric;
    out.band(5).FrequencyHz = 440;
    out.band(5).design();
    const ProcessorConfig before = config;

    const auto check = checkEqualizerImport(config, 1,
                                            "Preamp: -2.1 dB\n"
                                            "Filter 1: ON PK Fc 1000 Hz Gain -3.47 dB Q 1.41\n"
                                            "Filter 2: OFF PK Fc 50 Hz Gain 2 dB Q 1\n"
                                            "Filter 3: ON LPQ Fc 15000 Hz Q 0.71\n");
    ASSERT_TRUE(check.import) << check.problem->text();
    applyEqualizerImport(config, *check.import);

    PeqBand expected;
    expected.FilterType = kParametric;
    expected.FrequencyHz = 1000;
    expected.GainDb = -3.47;
    expected.Q = 1.41;
    loadBandControls(expected, false);
    expected.CoeffSlot = out.band(1).CoeffSlot;
    EXPECT_EQ(out.band(1), expected);
    EXPECT_DOUBLE_EQ(out.band(1).Q, 1.4);
    EXPECT_DOUBLE_EQ(out.band(1).GainDb, -3.5);
    EXPECT_EQ(out.band(2).FilterType, kBypass);
    EXPECT_EQ(out.band(3).FilterType, kLowPassQ);
    EXPECT_EQ(out.band(5).FilterType, kBypass);
    EXPECT_EQ(out.band(5).FrequencyHz, 440);  // bypassed, the rest kept
    EXPECT_TRUE(out.band(5).isUnity());
    EXPECT_EQ(out.PeqBandsInUse, 3);
    EXPECT_DOUBLE_EQ(levelDbFromTrack(out.LevelPosition), -8.1);
    EXPECT_GT(check.import->stepChangeDb, 0.0);
    EXPECT_LT(check.import->stepChangeDb, 0.2);
    EXPECT_EQ(config.output(2), before.output(2));
    const std::string summary = describeEqualizerImport(before, *check.import);
    EXPECT_NE(summary.find("3 filters imported into Output 1; bands 4 to 7 bypassed."),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("Level -6 dB -> -8.1 dB (Preamp -2.1 dB)."), std::string::npos)
        << summary;
}

TEST(FilterTextMapping, Import_FilterTheOutputCannotHold_IsRefusedNamingTheLine) {
    ProcessorConfig config;
    config.resetToNew();
    const std::string pk = "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n";
    std::string eight;
    for (int i = 0; i < 8; ++i) {
        eight += pk;
    }
    const struct {
        int output;
        std::string text;
        std::string message;
    } cases[] = {
        {1, eight, "line 8: Output 1 has 7 bands; this is filter 8"},
        {3, pk + pk + pk + "# fourth\n" + pk, "line 5: SUB has 3 bands; this is filter 4"},
        {3, "Filter 1: ON PK Fc 600 Hz Gain 1 dB Q 1",
         "line 1: Fc 600 Hz is outside the editor's range 10 to 500 Hz"},
        {1, pk + "Filter 2: ON PK Fc 100 Hz Gain 1 dB Q 30",
         "line 2: Q 30 is outside the editor's range 0.5 to 20"},
        {1, "Filter 1: ON PK Fc 100 Hz Gain 13 dB Q 1", "Gain 13 dB is outside"},
        {1, "Filter 1: ON LS 6dB Fc 100 Hz Gain 8 dB", "range -15 to 6 dB"},
        {1, "Filter 1: ON HS 6dB Fc 19000 Hz Gain -12 dB", "Fc 19000 Hz is 2"},
        {1, "Filter 1: ON BP Fc 1000 Hz Q 1", "Q 1 is outside the editor's range 1.7 to 20"},
        {1, "Filter 1: ON NO Fc 100 Hz Q 0.8", "range 1 to 20"},
        {1, "Filter 1: ON LSC 60 dB Fc 100 Hz Gain 12 dB", "steeper than the editor's shelf"},
        {1, "Filter 1: ON LSC 300 dB Fc 100 Hz Gain 1 dB", "slope 300 dB is outside"},
        {1, "Preamp: 8 dB\n" + pk,
         "line 1: Preamp 8 dB would take the level of Output 1 from 0 dB to 8 dB"},
        {1, "Filter 1: PK", "line 1: expected ON or OFF"},
    };
    for (const auto& c : cases) {
        const auto check = checkEqualizerImport(config, c.output, c.text);
        ASSERT_TRUE(check.problem) << c.text;
        EXPECT_FALSE(check.import);
        EXPECT_NE(check.problem->text().find(c.message), std::string::npos)
            << check.problem->text();
    }
}

}  // namespace
}  // namespace kvn
