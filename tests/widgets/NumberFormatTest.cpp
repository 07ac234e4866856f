#include "widgets/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kvn::widgets {
namespace {

TEST(NumberFormat, Pattern_RoundsHalvesAwayFromZeroOnTheDecimalForm) {
    EXPECT_EQ(formatPattern(0.5, "0"), "1");
    EXPECT_EQ(formatPattern(2.5, "0"), "3");
    EXPECT_EQ(formatPattern(-2.5, "0"), "-3");
    // Neither value is exact in binary (2.67499999..., 0.05000000000000000277...).
    EXPECT_EQ(formatPattern(2.675, "0.00"), "2.68");
    EXPECT_EQ(formatPattern(1.005, "0.00"), "1.01");
    EXPECT_EQ(formatPattern(0.05, "0.0"), "0.1");
    EXPECT_EQ(formatPattern(-0.005, "0.00"), "-0.01");
    // The full delay of 234 samples: 4.875 ms shows as 4.88.
    EXPECT_EQ(formatPattern(234.0 / 48000.0 * 1000.0, "0.00"), "4.88");
}

TEST(NumberFormat, Pattern_CarriesPadsAndDropsTheSignOfZero) {
    EXPECT_EQ(formatPattern(999.96, "0.0"), "1000.0");
    EXPECT_EQ(formatPattern(9.995, "0.00"), "10.00");
    EXPECT_EQ(formatPattern(7, "00"), "07");
    EXPECT_EQ(formatPattern(-7, "00"), "-07");
    EXPECT_EQ(formatPattern(123, "00"), "123");
    EXPECT_EQ(formatPattern(1e20, "0"), "100000000000000000000");
    EXPECT_EQ(formatPattern(-0.04, "0.0"), "0.0");
    EXPECT_EQ(formatPattern(1e-20, "0.0"), "0.0");
}

TEST(NumberFormat, Pattern_NonFiniteValuesAndUnknownPatterns) {
    EXPECT_EQ(formatPattern(std::numeric_limits<double>::quiet_NaN(), "0.0"), "NAN");
    EXPECT_EQ(formatPattern(std::numeric_limits<double>::infinity(), "0"), "INF");
    EXPECT_TRUE(isValidPattern("0"));
    EXPECT_TRUE(isValidPattern("0.00"));
    EXPECT_FALSE(isValidPattern(""));
    EXPECT_FALSE(isValidPattern("#.##"));
    EXPECT_EQ(formatPattern(1.25, "#.#"), "1.25");
}

TEST(NumberFormat, General_ShortestTextWithinTheSignificantDigits) {
    EXPECT_EQ(formatGeneral(12345.6, 5), "12346");
    EXPECT_EQ(formatGeneral(-3.14159, 4), "-3.142");
    EXPECT_EQ(formatGeneral(20 * std::log10(40.0), 4), "32.04");
    EXPECT_EQ(formatGeneral(1234.5, 4), "1235");
    EXPECT_EQ(formatGeneral(9.9996, 4), "10");
    EXPECT_EQ(formatGeneral(0.0001, 4), "0.0001");
    EXPECT_EQ(formatGeneral(-0.0, 4), "0");
    EXPECT_EQ(formatGeneral(1.23456, 0), "1");
    EXPECT_EQ(formatGeneral(0.1 + 0.2, 99), "0.3");
}

TEST(NumberFormat, General_SwitchesToScientificOutsideTheFixedRange) {
    EXPECT_EQ(formatGeneral(123456, 5), "1.2346E5");
    EXPECT_EQ(formatGeneral(99999.6, 5), "1E5");
    EXPECT_EQ(formatGeneral(0.00001, 4), "1E-5");
    EXPECT_EQ(formatGeneral(-1.5e-7, 4), "-1.5E-7");
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::quiet_NaN(), 4), "NAN");
}

TEST(NumberFormat, Readout_FrequencyRoundedHalfEvenThenValueAndSuffix) {
    EXPECT_EQ(readoutText(12345.6, -3.14159, ReadoutValue::General4, " dBs"),
              "12346 Hz , -3.142 dBs");
    EXPECT_EQ(readoutText(1000.5, 2.0, ReadoutValue::General4, " dBs"), "1000 Hz , 2 dBs");
    EXPECT_EQ(readoutText(1001.5, 2.0, ReadoutValue::General4, " dBs"), "1002 Hz , 2 dBs");
    EXPECT_EQ(readoutText(19999.7, -179.96, ReadoutValue::General4, "º "), "20000 Hz , -180º ");
    EXPECT_EQ(readoutText(1000, 5.678, ReadoutValue::TwoDecimals, "º "), "1000 Hz , 5.68º ");
    EXPECT_EQ(readoutText(20.4, 0.0, ReadoutValue::TwoDecimals, " dBs"), "20 Hz , 0.00 dBs");
}

TEST(NumberFormat, ParseReal_AcceptsEitherDecimalSeparator) {
    EXPECT_EQ(parseReal("1.5"), 1.5);
    EXPECT_EQ(parseReal("1,5"), 1.5);
    EXPECT_EQ(parseReal("  -2 "), -2.0);
    EXPECT_EQ(parseReal("1e3"), 1000.0);
    EXPECT_EQ(parseReal("2,5E-1"), 0.25);
    EXPECT_EQ(parseReal(".5"), 0.5);
}

TEST(NumberFormat, ParseReal_RejectsEverythingElse) {
    for (const char* text : {"", " ", "abc", "1.2.3", "1,5,6", "1.5,6", "--1", "+-1", "1e", "e5",
                             ".", "-", "inf", "nan", "1e999", "12abc", "0x10", "1 000", "5 dB"}) {
        EXPECT_FALSE(parseReal(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace kvn::widgets
