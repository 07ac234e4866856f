// FRD-style text as other programs write it: header-named columns, separators and commas decided
// per file, rows without values, impedance files, and points that give no usable curve.
#include "analysis/FrdTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/MeasurementImport.h"

namespace kvn::analysis {
namespace {

std::size_t gridIndexOf(int hz) {
    const auto& g = responseGrid().GridHz;
    return static_cast<std::size_t>(std::find(g.begin(), g.end(), hz) - g.begin());
}

MeasurementResult parse(const std::string& text, const std::string& column) {
    MeasurementSettings settings(kFormatAuto, 0.0);
    settings.column = column;
    return parseMeasurement(text, "m.txt", settings);
}

// The file imports and reads `db` and `phaseRad` at 1005 Hz (reference 0), with `notes`.
void imports(const char* what, const std::string& text, const std::string& column, double db,
             double phaseRad, const std::vector<std::string>& notes) {
    SCOPED_TRACE(what);
    const MeasurementResult r = parse(text, column);
    ASSERT_EQ(r.status, MeasurementStatus::Imported) << r.message;
    EXPECT_EQ(r.format, kFormatFrd);
    EXPECT_NEAR(r.curve.MagDb[gridIndexOf(1005)], db, 1e-4);
    EXPECT_NEAR(r.curve.PhaseRad[gridIndexOf(1005)], phaseRad, 1e-5);
    EXPECT_EQ(r.notes, notes);
}

// The file is refused with `message` and a flat curve.
void refuses(const char* what, const std::string& text, const std::string& column,
             const std::string& message) {
    SCOPED_TRACE(what);
    const MeasurementResult r = parse(text, column);
    EXPECT_EQ(r.status, MeasurementStatus::Rejected);
    EXPECT_EQ(r.message, message);
    EXPECT_EQ(r.curve.MagDb[gridIndexOf(1005)], 0.0f);
}

constexpr double kDeg45 = M_PI / 4;
const std::string kBands =
    "freq_Hz,woofer_dB,mid_dB,tweeter_dB,sum_dB\n20.00,80,70,60,90\n20000,80,70,60,90\n";
const char* kBandsNote =
    "columns read: frequency freq_Hz, magnitude woofer_dB (of woofer_dB, mid_dB, tweeter_dB, "
    "sum_dB), no phase";

TEST(FrdTable, HeaderNamesTheColumns_TheChoiceIsByNameOrPosition) {
    imports("several magnitudes: the first, no phase", kBands, "", 80, 0, {kBandsNote});
    imports("chosen by name", kBands, "MID_dB", 70, 0,
            {"columns read: frequency freq_Hz, magnitude mid_dB (of woofer_dB, mid_dB, "
             "tweeter_dB, sum_dB), no phase"});
    imports("chosen by position", kBands, "4", 60, 0,
            {"columns read: frequency freq_Hz, magnitude tweeter_dB (of woofer_dB, mid_dB, "
             "tweeter_dB, sum_dB), no phase"});
    imports("the usual three under a comment mark: nothing to tell",
            "* REW\n* Freq(Hz) SPL(dB) Phase(degrees)\n20 80 45\n20000 80 45\n", "", 80, kDeg45,
            {});
    imports("phase in radians, columns out of order, tabs",
            "Phase (rad)\tFrequency (Hz)\tMag (dB)\n0.5\t20\t85\n0.5\t20000\t85\n", "", 85, 0.5,
            {"columns read: frequency Frequency (Hz), magnitude Mag (dB), phase Phase (rad) in "
             "radians"});
    imports("kHz", "Freq [kHz];Level [dB]\n0.02;80\n20;80\n", "", 80, 0,
            {"columns read: frequency Freq [kHz] (kHz), magnitude Level [dB], no phase"});
    imports("a third column that is no phase", "Freq, SPL, THD\n20, 80, 3\n20000, 80, 3\n", "", 80,
            0, {"columns read: frequency Freq, magnitude SPL, no phase"});
    imports("no header: a position", "20 80 70\n20000 80 70\n", "3", 70, 0,
            {"columns read: frequency column 1, magnitude column 3, no phase"});

    refuses("a frequency is no magnitude", kBands, "1",
            "m.txt: line 1 names column 1 freq_Hz: it holds the frequency, not a magnitude.");
    refuses("an unknown name", kBands, "bass",
            "m.txt: line 1 names no column bass (its magnitude columns: woofer_dB, mid_dB, "
            "tweeter_dB, sum_dB).");
    refuses("beyond the last column", kBands, "6",
            "m.txt: line 1 names 5 columns: there is no column 6.");
    refuses("no magnitude named", "freq,woofer\n20,80\n20000,80\n", "",
            "m.txt: line 1 names no magnitude column (a name with dB, SPL, magnitude or level).");
    refuses("no header: a name cannot be chosen", "20 80 45\n20000 80 45\n", "mid",
            "m.txt has no header line naming its columns: choose the magnitude column by its "
            "number.");

    EXPECT_EQ(frdMagnitudeColumns(
                  std::vector<std::string_view>{"x", "f (Hz)\tA dB\tB dB\tdeg", "20\t1\t2\t3"}),
              (std::vector<std::string>{"A dB", "B dB"}));
}

TEST(FrdTable, SeparatorsAndCommas_AreDecidedForTheWholeFile) {
    const char* thousands = "commas in numbers read as thousands separators (1,000.5 = 1000.5)";
    const char* decimal = "commas in numbers read as decimal commas (20,5 = 20.5)";
    imports("thousands separators in a tab file",
            "* x\n20.5\t80.0\n999.01\t80\n1,000.49\t80\n2,000.5\t80\n20,000\t80\n", "", 80, 0,
            {thousands});
    imports("decimal commas in a semicolon file", "20,5;85,1;45\n20000,5;85,1;45\n", "", 85.1,
            kDeg45, {decimal});
    imports("a comma in a level is decimal, so 20,000 beside it is 20 Hz",
            "20,000 80,125\n2000,000 80,125\n", "", 80.125, 0, {decimal});
    imports("commas and blanks separate", "20, 80, 45\n20000, 80, 45\n", "", 80, kDeg45, {});

    refuses("decimal points, then a decimal comma", "20.5\t80\n100.5\t80\n1000,5\t80\n", "",
            "m.txt: line 3 writes a decimal comma where line 1 writes a decimal point.");
    refuses("decimal commas, then a decimal point", "20,5;80\n100;80,5\n1000.5;80\n", "",
            "m.txt: line 3 writes a decimal point where line 1 writes a decimal comma.");
}

TEST(FrdTable, RowsWithoutAValue_AreSkippedAndCounted) {
    const std::string twoBands = "freq_Hz,woofer_dB,mid_dB\n20,80,70\n30,81,\n20000,80,70\n";
    imports("empty fields before the measured range",
            "freq,spl,phase\n10.00,,,\n15.00,,\n20,80,45\n20000,80,45\n", "", 80, kDeg45,
            {"2 rows without a value skipped"});
    imports("an empty phase skips the row too", "freq;spl;phase\n20;80;45\n500;80;\n20000;80;45\n",
            "", 80, kDeg45, {"1 row without a value skipped"});
    imports("so does a missing one under a header",
            "Freq SPL Phase\n20 80 45\n500 80\n20000 80 45\n", "", 80, kDeg45,
            {"1 row without a value skipped"});
    imports("a column not read may be empty", twoBands, "woofer_dB", 81 - 975.0 / 19970, 0,
            {"columns read: frequency freq_Hz, magnitude woofer_dB (of woofer_dB, mid_dB), no "
             "phase"});
    imports("the chosen column empty", twoBands, "mid_dB", 70, 0,
            {"columns read: frequency freq_Hz, magnitude mid_dB (of woofer_dB, mid_dB), no phase",
             "1 row without a value skipped"});

    refuses("too few left", "Hz,dB\n20,\n30,\n20000,80\n", "",
            "m.txt holds fewer than two measured points.");
    refuses("a value that is not a number still refuses", "freq,spl\n20,80\n30,n/a\n20000,80\n", "",
            "m.txt: line 3 is not a line of numbers.");
}

TEST(FrdTable, ImpedanceAndNonsense_AreRefusedWithWhatIsWrong) {
    refuses("an impedance header", "Freq(Hz) Impedance(Ohm) Phase(deg)\n20 6.5 10\n20000 9 40\n",
            "",
            "m.txt: line 1 names an impedance column (Impedance(Ohm)); the file holds impedance, "
            "not a frequency response.");
    refuses("a level of 1e6 dB", "20 80\n100 1e6\n20000 80\n", "",
            "m.txt: line 2 has a level of 1e+06 dB, beyond the 500 dB a measurement can read.");
    refuses("negative frequencies", "-20000 80\n-20 80\n", "",
            "m.txt: line 1 has a negative frequency (-20000 Hz).");
    refuses("one frequency", "0 80\n0 81\n0 82\n", "",
            "m.txt: every line has the same frequency (0 Hz); a response needs at least two.");
    refuses("off the grid", "* x\n25000 80\n40000 80\n", "",
            "m.txt: its frequencies (25000 to 40000 Hz) cover no part of the response grid's 20 "
            "to 23999 Hz.");
    imports("less than an octave is a warning", "900 80\n1500 80\n", "", 80, 0,
            {"the measured range 900 to 1500 Hz covers less than one octave of the response "
             "grid's 20 to 23999 Hz"});
    const MeasurementResult zma = parseMeasurement("20 6.5 10\n20000 9 40\n", "d/W.ZMA", {});
    EXPECT_EQ(zma.message,
              "d/W.ZMA is an impedance file (.zma); it holds impedance, not a frequency response.");
}

}  // namespace
}  // namespace kvn::analysis
