#include "analysis/MeasurementImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "analysis/MeasurementText.h"

namespace kvn::analysis {
namespace {

namespace fs = std::filesystem;

// A number right-aligned in a column of the layout (both ends included, 1-based).
void put(std::string& line, Column column, double value) {
    if (column.first == 0) {
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    const std::size_t width = static_cast<std::size_t>(column.last - column.first + 1);
    std::string field(text);
    field.insert(0, width - std::min(width, field.size()), ' ');
    if (line.size() < static_cast<std::size_t>(column.last)) {
        line.resize(static_cast<std::size_t>(column.last), ' ');
    }
    line.replace(static_cast<std::size_t>(column.first - 1), width, field);
}

// The header lines of each format as the measurement programs write them.
std::string headerOf(const MeasurementLayout& layout, bool secondClio) {
    switch (layout.code) {
        case kFormatClio:
            return secondClio ? "Freq [Hz]       dBSPL           Phase [Deg]\n"
                              : "    Freq\t      dB\t   Phase\n";
        case kFormatMlssa:
            return "MLSSA export\n      \"Hz\"  \"Mag (dB)\"       \"deg\"\n";
        case kFormatWinAir:
            return " WinAIRR saved file\nx\nx\nx\n";
        case kFormatMinilyzerDbu:
            return "    f[Hz] Level[dBu]\n";
        case kFormatCalsod:
        case kFormatDaas32:
        case kFormatLspLab:
            return "CALSOD\n1\n2\n3\n4\n5\n6\n7\n";
        case kFormatAcoustilyzerThird:
            return "anything\n";
        case kFormatAcoustilyzerFft:
            return "a\nb\nc\nd\ne\nf\ng\n";
        default:
            return {};
    }
}

// Two points on grid frequencies: 100 Hz at 90 dB, 1005 Hz at 100 dB, phase 0 and 90 (degrees or as
// read).
std::string fileOf(const MeasurementLayout& layout, bool secondClio) {
    std::string text = headerOf(layout, secondClio);
    if (layout.code == kFormatSmaart) {
        text = "Smaart\n; Frequency (Hz)\tMagnitude (dB)\tPhase (degrees)\n";
        for (int n = 2; n < 18; ++n) {
            text += "; x\n";
        }
        return text + "100\t90\t0\n; note\n1005\t100\t90\tmore\n";
    }
    if (layout.code == kFormatFrd) {
        return "* comment\nFreq(Hz) SPL(dB) Phase(degrees)\n100, 90, 0\n1005, 100, 90\n";
    }
    const double points[2][3] = {{100, 90, 0}, {1005, 100, 90}};
    for (const auto& p : points) {
        std::string line;
        put(line, layout.frequency, p[0]);
        put(line, layout.magnitude, p[1]);
        put(line, layout.phase, p[2]);
        text += line + "\r\n";
    }
    return text + "\n";
}

std::size_t gridIndexOf(int hz) {
    const auto& g = responseGrid().GridHz;
    return static_cast<std::size_t>(std::find(g.begin(), g.end(), hz) - g.begin());
}

TEST(MeasurementImport, EveryFormat_IsRecognisedAndReadsItsColumns) {
    for (const MeasurementLayout& layout : measurementLayouts()) {
        const bool second = &layout != measurementLayout(layout.code);
        const std::string text = fileOf(layout, second);
        SCOPED_TRACE(std::to_string(layout.code) + (second ? " second layout" : ""));
        const MeasurementResult r = parseMeasurement(text, "m.txt", {layout.code, 90.0, 0.02});
        ASSERT_EQ(r.status, MeasurementStatus::Imported) << r.message;
        EXPECT_EQ(r.format, layout.code);

        // 100 Hz lies on the first point: 90 dB read against 90 dB reads 0 dB.
        const std::size_t at100 = gridIndexOf(100);
        const std::size_t at1005 = gridIndexOf(1005);
        const double dbuOffset = 20.0 * std::log10(0.775 / 0.02 / 0.00002);
        const double offset = layout.levelUnit == LevelUnit::Dbu ? dbuOffset : 0.0;
        EXPECT_NEAR(r.curve.MagDb[at100], offset, 1e-3);
        EXPECT_NEAR(r.curve.MagDb[at1005], 10.0 + offset, 1e-3);
        const double phase = layout.phaseUnit == PhaseUnit::None      ? 0.0
                             : layout.phaseUnit == PhaseUnit::Degrees ? M_PI / 2
                                                                      : 90.0;
        EXPECT_NEAR(r.curve.PhaseRad[at1005], phase, 1e-4);

        // Automatic recognition finds the format unless its header is the CALSOD one (read as
        // code 6) or any header at all.
        const MeasurementResult guessed = parseMeasurement(text, "m.txt", {kFormatAuto, 90.0});
        if (layout.code == kFormatAcoustilyzerThird || layout.code == kFormatAcoustilyzerFft) {
            EXPECT_NE(guessed.format, layout.code);
        } else {
            const int expected = layout.code == kFormatDaas32 || layout.code == kFormatLspLab
                                     ? kFormatCalsod
                                     : layout.code;
            EXPECT_EQ(guessed.format, expected) << guessed.message;
        }
    }
}

TEST(MeasurementImport, WrongHeader_NamesTheFileAndTheFormat) {
    const struct {
        int code;
        const char* message;
    } cases[] = {
        {kFormatClio, "x.txt is not a valid CLIO exported data file."},
        {kFormatSmaart,
         "x.txt is not a valid SIA Smaart Pro - Transfer Function exported data file."},
        {kFormatCalsod, "x.txt is not a valid  CALSOD  exported data file."},
        {kFormatLspLab, "x.txt is not a valid LoudSpeaker Lab - CALSOD  exported data file."},
        {kFormatAuto, "x.txt is not an exported data file of a known format."},
    };
    for (const auto& c : cases) {
        const MeasurementResult r = parseMeasurement("hello\nworld\n", "x.txt", {c.code});
        EXPECT_EQ(r.status, MeasurementStatus::Rejected);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.curve.MagDb[0], 0.0f);
    }
}

TEST(MeasurementImport, Resampling_InterpolatesInsideAndReadsMinus140Outside) {
    const std::vector<double> hz{100, 1005, 1005, 2007};
    const std::vector<double> db{80, 100, 60, 70};
    const std::vector<double> phase{0, 180, 180, 90};
    ResponseCurve c;
    resampleOntoGrid(hz, db, phase, 80.0, true, c);
    const auto& grid = responseGrid().GridHz;
    for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
        const int f = grid[k];
        if (f < 100 || f > 2007) {
            EXPECT_EQ(c.MagDb[k], -140.0f) << f;
            EXPECT_EQ(c.PhaseRad[k], 0.0f) << f;
        } else if (f < 1005) {
            EXPECT_NEAR(c.MagDb[k], 20.0 * (f - 100) / 905.0, 1e-4) << f;
        } else if (f > 1005) {
            EXPECT_NEAR(c.MagDb[k], -20.0 + 10.0 * (f - 1005) / 1002.0, 1e-4) << f;
        }
    }
    // 1005 Hz lies on a segment of zero width: the later point, no division by zero.
    EXPECT_FLOAT_EQ(c.MagDb[gridIndexOf(1005)], -20.0f);
    EXPECT_NEAR(c.PhaseRad[gridIndexOf(1005)], M_PI, 1e-6);
    EXPECT_FLOAT_EQ(c.MagDb[gridIndexOf(2007)], -10.0f);
}

TEST(MeasurementImport, DataLines_CommaBlankLinesAndRefusals) {
    const auto frd = [](const std::string& text) {
        return parseMeasurement(text, "s.frd", {kFormatFrd, 0.0});
    };
    // Decimal commas, tabs, blank lines, comments anywhere.
    const MeasurementResult comma = frd("100,5\t80,25\n\n# mid\n2007,5\t90,25\t-45\n");
    ASSERT_EQ(comma.status, MeasurementStatus::Imported) << comma.message;
    EXPECT_NEAR(comma.curve.MagDb[gridIndexOf(1005)], 80.25 + 10 * 904.5 / 1907.0, 1e-3);
    // Semicolons with decimal commas, and commas as separators of points.
    EXPECT_EQ(frd("100;80,5\n1000;90,5\n").status, MeasurementStatus::Imported);
    EXPECT_EQ(frd("100,80,0\n1000,90,0\n").status, MeasurementStatus::Imported);

    const struct {
        std::string text;
        std::string message;
    } refused[] = {
        {"100 80\n1000 9O\n", "s.frd: line 2 is not a line of numbers."},
        {"100 80\n1000\n", "s.frd: line 2 is not a line of numbers."},
        {"100 80\n", "s.frd holds fewer than two measured points."},
        {"1000 80\n100 80\n", "s.frd: line 2 has a lower frequency than the line before."},
        {"100 inf\n1000 80\n", "s.frd: line 1 is not a line of numbers."},
        {"100 80\n1000 -2e9\n", "s.frd: line 2 is not a line of numbers."},
    };
    for (const auto& c : refused) {
        const MeasurementResult r = frd(c.text);
        EXPECT_EQ(r.status, MeasurementStatus::Rejected) << c.text;
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.curve.MagDb[200], 0.0f);
    }
    // A fixed-column line whose column is not a number ends the import of the file.
    const MeasurementResult clio = parseMeasurement(
        "    Freq\t      dB\t   Phase\n  100.00   90.00     0.00\n  end\n", "c.txt", {0});
    EXPECT_EQ(clio.message, "c.txt: line 3 is not a line of numbers.");
}

TEST(MeasurementImport, FrdSplitting_TellsDecimalCommasFromSeparators) {
    const struct {
        const char* line;
        int count;
        double a, b, c;
    } cases[] = {
        {"100 90 45", 3, 100, 90, 45},         {"100,5 90,5", 2, 100.5, 90.5, 0},
        {"100.5,90.5,-3", 3, 100.5, 90.5, -3}, {"100, 90, 1e1", 3, 100, 90, 10},
        {"100;90,5;+3", 3, 100, 90.5, 3},      {"  100\t90\t1\t0.99", 3, 100, 90, 1},
    };
    for (const auto& c : cases) {
        const FrdNumbers n = splitFrdNumbers(c.line);
        EXPECT_TRUE(n.valid) << c.line;
        ASSERT_EQ(n.count, c.count) << c.line;
        EXPECT_DOUBLE_EQ(n.value[0], c.a);
        EXPECT_DOUBLE_EQ(n.value[1], c.b);
        EXPECT_DOUBLE_EQ(n.value[2], c.c);
    }
    EXPECT_FALSE(splitFrdNumbers("100 abc").valid);
}

class ImportFiles : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("kvn-import-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir / "presets"); }
    void TearDown() override { fs::remove_all(dir); }
    std::string write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
};

TEST_F(ImportFiles, RejectedFileLeavesItsOutputFlat_FallbackFolderIsSearched) {
    const std::string good = "100 90\n1005 100\n";
    // Output 1 only exists under its name in the presets' folder; Output 2 is garbage.
    write(dir / "presets" / "top.frd", good);
    const std::string bad = write(dir / "bad.frd", "100 90\n200 -\n");
    const std::string sub = write(dir / "sub.frd", good);
    const MeasurementImport r = importMeasurements({"C:\\gone\\top.frd", bad, sub},
                                                   {kFormatFrd, 90.0}, (dir / "presets").string());
    EXPECT_EQ(r.formats[0], kFormatFrd);
    EXPECT_NEAR(r.curves[0].MagDb[gridIndexOf(1005)], 10.0, 1e-4);
    EXPECT_EQ(r.formats[1], kFormatAuto);
    EXPECT_EQ(r.curves[1].MagDb[gridIndexOf(1005)], 0.0f);
    EXPECT_NEAR(r.curves[2].MagDb[gridIndexOf(1005)], 10.0, 1e-4);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], bad + ": line 2 is not a line of numbers.");

    // Without a fallback folder an unreadable file is skipped without a message.
    const MeasurementImport none = importMeasurements({"/nowhere/top.frd", "", ""}, {}, "");
    EXPECT_TRUE(none.messages.empty());
    EXPECT_EQ(none.curves[0].MagDb[0], 0.0f);
}

TEST_F(ImportFiles, FileOver50MB_IsRefusedUnread) {
    const fs::path big = dir / "big.frd";
    write(big, "100 90\n1000 100\n");
    fs::resize_file(big, kMeasurementFileMaxBytes + 1);
    const MeasurementResult r = readMeasurement(big.string(), {});
    EXPECT_EQ(r.status, MeasurementStatus::Rejected);
    EXPECT_EQ(r.message, big.string() + " is larger than 50 MB and is not read.");
}

}  // namespace
}  // namespace kvn::analysis
