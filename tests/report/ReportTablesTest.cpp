// The report's texts and graph ranges, without drawing: what the tables print for edge values and
// the y ranges the graphs fit to their curves.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "report/ReportGraphs.h"
#include "report/ReportTables.h"

namespace kvn::report {
namespace {

TEST(ReportTables, LevelText_RoundsBeforeTheSignSoThatNothingPrintsAsMinusZero) {
    const std::vector<std::pair<double, const char*>> cases = {
        {0.0, "0.0 dB"},   {-0.04, "0.0 dB"}, {0.04, "0.0 dB"},
        {0.05, "+0.1 dB"}, {6.0, "+6.0 dB"},  {-23.94, "-23.9 dB"},
    };
    for (const auto& [db, text] : cases) {
        EXPECT_EQ(levelText(db), QString::fromLatin1(text)) << db;
    }
}

TEST(ReportTables, SettingsAFileMayHold_NeverPrintInfOrNan) {
    // No load, no amplifier gain, no level: what a damaged preset file may hand the report.
    ProcessorConfig c;
    c.unit(1).loadImpedanceOhm = 0.0f;
    c.unit(2).ampGain = 0.0f;
    c.output(2).Gain = 0.0;
    QStringList cells;
    for (const ReportTable& t : {outputsTable(c), dynamicsTable(c)}) {
        for (const QStringList& row : t.rows) {
            cells += row;
        }
    }
    for (const QString& cell : cells) {
        EXPECT_FALSE(cell.contains(QStringLiteral("inf")) || cell.contains(QStringLiteral("nan")))
            << cell.toStdString();
    }
    EXPECT_TRUE(cells.contains(QStringLiteral("- (the load impedance is 0.00 ohm)")));
}

TEST(ReportTables, EqualiserTable_ShowsOnlyTheValuesEachTypeUses) {
    ProcessorConfig c;
    const auto set = [&c](int band, int type, double hz, double gain, double q) {
        PeqBand& b = c.output(1).band(band);
        b.FilterType = static_cast<std::uint8_t>(type);
        b.FrequencyHz = hz;
        b.GainDb = gain;
        b.Q = q;
    };
    set(1, kBypass, 1000, 3, 2);
    set(2, kParametric, 63.2, -4.5, 2.5);
    set(3, kLowPassButtw, 12000, 0, 0.7);
    set(4, kHighShelfSlope, 2000, -2.5, 0.8);
    set(5, kStopBand, 760, -12, 8);
    set(6, 13, 500, 0, 1);
    const ReportTable t = equaliserTable(c, 1);
    ASSERT_EQ(t.rows.size(), 7);
    EXPECT_EQ(t.rows[0], (QStringList{"1", "Bypass", "-", "-", "-"}));
    EXPECT_EQ(t.rows[1], (QStringList{"2", "Parametric", "63.2 Hz", "-4.5 dB", "2.50"}));
    EXPECT_EQ(t.rows[2], (QStringList{"3", "LowPass Buttw", "12000 Hz", "-", "-"}));
    EXPECT_EQ(t.rows[3], (QStringList{"4", "High Shelf, slope", "2000 Hz", "-2.5 dB", "S 0.80"}));
    EXPECT_EQ(t.rows[4], (QStringList{"5", "StopBand", "760 Hz", "-", "8.00"}));
    EXPECT_EQ(t.rows[5][1], QStringLiteral("Unknown (13)"));
    EXPECT_EQ(equaliserTable(c, kSubOutput).rows.size(), kSubPeqBands);
}

TEST(ReportTables, OutputsTable_SaysWhetherAnOutputIsMutedNotWhetherMuteIsOn) {
    ProcessorConfig c;
    c.output(2).Muted = true;
    const ReportTable t = outputsTable(c);
    const auto column = t.header.indexOf(QStringLiteral("Muted"));
    ASSERT_GE(column, 0) << t.header.join(',').toStdString();
    EXPECT_EQ(t.rows[0][column], QStringLiteral("no"));
    EXPECT_EQ(t.rows[1][column], QStringLiteral("yes"));
}

TEST(ReportGraphs, FitYRange_HoldsTheCurvesInWholeStepsWithinTheSpanLimits) {
    struct Case {
        std::vector<double> levels;
        double minSpan;
        double maxSpan;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {{0.0}, 12, 36},
        {{-5.0, 3.0}, 12, 36},
        {{-300.0, 9.5}, 36, 54},  // a muted sum far below: the top stays in view
        {{-1.0, std::nan(""), inf, 2.0}, 12, 36},
    };
    for (const Case& c : cases) {
        GraphSeries s;
        for (const double v : c.levels) {
            s.points.append(QPointF(1000, v));
        }
        GraphAxes axes;
        axes.yStep = 3.0;
        fitYRange(axes, {s}, c.minSpan, c.maxSpan);
        const double span = axes.yMax - axes.yMin;
        EXPECT_GE(span, c.minSpan);
        EXPECT_LE(span, c.maxSpan);
        EXPECT_EQ(std::fmod(axes.yMax, 3.0), 0.0);
        EXPECT_EQ(std::fmod(axes.yMin, 3.0), 0.0);
        for (const double v : c.levels) {
            if (std::isfinite(v) && v > axes.yMax - c.maxSpan) {
                EXPECT_GE(v, axes.yMin);
                EXPECT_LE(v, axes.yMax);
            }
        }
    }
}

}  // namespace
}  // namespace kvn::report
