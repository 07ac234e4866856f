// Reading and writing the filter text.
#include <gtest/gtest.h>

#include <string>

#include "config/FilterText.h"

namespace kvn {
namespace {

using T = TextFilterType;

TextFilter filter(int line, T type, double fc, double gain, double q, double slope = 0.0) {
    return {line, true, type, fc, gain, q, slope};
}

TEST(FilterText, Parse_FilesOfOtherProgramsAndOurOwn_ReadEveryFilterAndSkipComments) {
    const std::string text =
        "\xEF\xBB\xBF"
        "Filter Settings file\r\n"
        "# measured at the mix position\r\n"
        "Preamp: -4.2 dB\r\n"
        "\r\n"
        "Filter 1: ON PK Fc 1000 Hz Gain -3.5 dB Q 1.41\r\n"
        "filter 2: on pk q 4 gain +2dB fc 63.5Hz\n"
        "Filter 3: OFF PK Fc 80 Hz Gain 3 dB Q 2\n"
        "Filter 4: ON LP Fc 18000 Hz\n"
        "Filter 5: ON HP Fc 30 Hz Q 0.9\n"
        "Filter 6: ON LS Fc 100 Hz Gain 4 dB\n"
        "Filter 7: ON HS 6dB Fc 8000 Hz Gain -2 dB\n"
        "Filter 8: ON LSC 9.6 dB Fc 200 Hz Gain 3 dB\n"
        "Filter9: ON BP Fc 500 Hz Q 3\n"
        "Filter: ON NO Fc 60 Hz Gain 0 dB Q 10\n"
        "Filter 11 : ON AP Fc 1200 Hz Q 0.7\n"
        "Filter 12: ON None\n"
        "Filter 13: OFF\n";
    const FilterTextParse parsed = parseFilterText(text);
    ASSERT_FALSE(parsed.problem) << parsed.problem->text();
    EXPECT_EQ(parsed.list.preampDb, -4.2);
    EXPECT_EQ(parsed.list.preampLine, 3);
    TextFilter off;
    off.line = 7;
    off.on = false;
    TextFilter none;
    none.line = 16;
    TextFilter off2;
    off2.line = 17;
    off2.on = false;
    const std::vector<TextFilter> expected = {
        filter(5, T::PK, 1000, -3.5, 1.41),
        filter(6, T::PK, 63.5, 2, 4),
        off,
        filter(8, T::LP, 18000, 0, 0),
        filter(9, T::HPQ, 30, 0, 0.9),
        filter(10, T::LSC, 100, 4, 0, 12),
        filter(11, T::HS6, 8000, -2, 0),
        filter(12, T::LSC, 200, 3, 0, 9.6),
        filter(13, T::BP, 500, 0, 3),
        filter(14, T::NO, 60, 0, 10),
        filter(15, T::AP, 1200, 0, 0.7),
        none,
        off2,
    };
    EXPECT_EQ(parsed.list.filters, expected);
}

TEST(FilterText, Parse_ABadLine_IsRefusedNamingItAndNothingIsRead) {
    const std::string good = "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {good + "Filter 2 ON PK Fc 100 Hz Gain 1 dB Q 1", "line 2: expected ':'"},
        {good + "Filter 2: PK Fc 100 Hz", "line 2: expected ON or OFF, found 'PK'"},
        {good + "Filter 2: ON", "line 2: the filter type is missing"},
        {good + "Filter 2: ON XY Fc 100 Hz", "line 2: unknown filter type 'XY'"},
        {good + "Filter 2: ON PK Fc 100 Hz Gain 1 dB", "line 2: PK needs a Q"},
        {good + "Filter 2: ON PK Gain 1 dB Q 1", "line 2: PK needs Fc"},
        {good + "Filter 2: ON PK Fc 1,5 Hz Gain 1 dB Q 1", "'1,5' after 'Fc' is not a number"},
        {good + "Filter 2: ON PK Fc nan Hz Gain 1 dB Q 1", "'nan' after 'Fc' is not a number"},
        {good + "Filter 2: ON PK Fc 1e999 Hz Gain 1 dB Q 1", "'1e999' after 'Fc' is not a number"},
        {good + "Filter 2: ON PK Fc 100 Hz Fc 200 Hz Gain 1 dB Q 1", "'Fc' is given twice"},
        {good + "Filter 2: ON PK Fc 100 Hz Gain 1 dB Q", "'Q' has no value"},
        {good + "Filter 2: ON PK Fc 100 Hz Gain 1 dB BW Oct 0.5", "unexpected 'BW'"},
        {good + "Filter 2: ON LP Fc 100 Hz Gain 3 dB", "line 2: LP has no gain"},
        {good + "Filter 2: ON LSC Fc 100 Hz Gain 3 dB", "LSC needs a slope in dB"},
        {good + "Filter 2: ON LS 9 dB Fc 100 Hz Gain 3 dB", "LS takes a slope of 6 or 12 dB"},
        {good + "Filter 2: ON LSC 12 dB Fc 100 Hz Gain 3 dB Q 0.7", "LSC takes no Q"},
        {"Preamp: -3 dB\nPreamp: -2 dB\n" + good,
         "line 2: a second Preamp line (the first is "
         "line 1)"},
        {"Preamp: minus three\n" + good, "line 1: expected 'Preamp: -3.5 dB'"},
        {std::string("XDACF\0\x01", 7) + "\n" + good,
         "line 1: not a filter list (control "
         "character 0x00)"},
        {"# nothing but comments\n", "no filter lines"},
        {"", "no filter lines"},
        // A garbled start does not make a filter line a comment.
        {good + "Filt-r 3: ON PK Fc 300 Hz Gain 2 dB Q 1.4",
         "line 2: holds 'Fc ... Hz' but does not begin as a filter line"},
        {good + "3: ON PK Fc 300Hz Gain 2 dB Q 1.4", "line 2: holds 'Fc ... Hz'"},
    };
    for (const auto& c : cases) {
        const FilterTextParse parsed = parseFilterText(c.text);
        ASSERT_TRUE(parsed.problem) << c.text;
        EXPECT_NE(parsed.problem->text().find(c.message), std::string::npos)
            << parsed.problem->text();
        EXPECT_TRUE(parsed.list.filters.empty());
    }
}

TEST(FilterText, Parse_SkippingBadLines_ReadsTheRestAndListsWhatWasLeftOut) {
    const std::string text =
        "Filter Settings file\n"
        "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n"
        "Filt-r 2: ON PK Fc 300 Hz Gain 2 dB Q 1.4\n"
        "Filter 3: ON PK Fc 100 Hz Gain 1 dB\n"
        "Preamp: loud\n"
        "Filter 4: ON LP Fc 8000 Hz\n";
    const FilterTextParse parsed = parseFilterText(text, true);
    ASSERT_FALSE(parsed.problem);
    EXPECT_EQ(parsed.list.filters,
              (std::vector<TextFilter>{filter(2, T::PK, 100, 1, 1), filter(6, T::LP, 8000, 0, 0)}));
    ASSERT_EQ(parsed.skipped.size(), 3u);
    EXPECT_EQ(parsed.skipped[0].line, 3);
    EXPECT_EQ(parsed.skipped[1].text(), "line 4: PK needs a Q");
    EXPECT_EQ(parsed.skipped[2].line, 5);
    // Skipping never turns a text that is no filter list into one.
    EXPECT_TRUE(parseFilterText(std::string("\x01\n") + text, true).problem);
}

TEST(FilterText, Write_ReadsBackToTheSameFilters) {
    FilterTextList list;
    list.preampDb = -2.5;
    TextFilter off;
    off.on = false;
    list.filters = {filter(0, T::PK, 999.97, -3.5, 1.4),   filter(0, T::BP, 1500, 3, 3.9872),
                    filter(0, T::BP, 1500, 0, 2),          filter(0, T::LS6, 123.45, 6, 0),
                    filter(0, T::HSC, 2000, -2.5, 0, 9.6), filter(0, T::LP, 3000, 0, 0),
                    filter(0, T::NO, 60, 0, 10),           off};
    const std::string text = writeFilterText(list, {"KVN 350 Output 1 equaliser"});
    EXPECT_EQ(text,
              "# KVN 350 Output 1 equaliser\n"
              "Preamp: -2.5 dB\n"
              "Filter 1: ON PK Fc 999.97 Hz Gain -3.5 dB Q 1.4\n"
              "Filter 2: ON BP Fc 1500 Hz Gain 3 dB Q 3.9872\n"
              "Filter 3: ON BP Fc 1500 Hz Q 2\n"
              "Filter 4: ON LS 6dB Fc 123.45 Hz Gain 6 dB\n"
              "Filter 5: ON HSC 9.6 dB Fc 2000 Hz Gain -2.5 dB\n"
              "Filter 6: ON LP Fc 3000 Hz\n"
              "Filter 7: ON NO Fc 60 Hz Q 10\n"
              "Filter 8: OFF None\n");
    FilterTextParse back = parseFilterText(text);
    ASSERT_FALSE(back.problem);
    for (std::size_t i = 0; i < back.list.filters.size(); ++i) {
        back.list.filters[i].line = 0;
    }
    EXPECT_EQ(back.list.filters, list.filters);
    EXPECT_EQ(back.list.preampDb, list.preampDb);
}

}  // namespace
}  // namespace kvn
