// kvn350 report run as the executable: the PDF's pages and text as pdftotext reads them, and the
// refusals that leave an existing report alone.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "CliTestSupport.h"
#include "cli/PresetStore.h"

namespace kvn::cli {
namespace {

using test::runBinary;

class ReportCommand : public ::testing::Test {
protected:
    std::string path(const char* name) const {
        return QDir(dir_.path()).filePath(QString::fromLatin1(name)).toStdString();
    }
    static std::string data(const char* name) { return std::string(KVN_TEST_DATA_DIR "/") + name; }

    // The text of every page, pages ending with a form feed.
    static std::string pdfText(const std::string& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            ADD_FAILURE() << "pdftotext (poppler-utils) failed on " << pdf;
            return {};
        }
        return p.readAllStandardOutput().toStdString();
    }
    QTemporaryDir dir_;
};

TEST_F(ReportCommand, RichPreset_FourPagesHoldingTheNamesTablesAndGraphs) {
    const auto r = runBinary({"report", data("rich.KV2"), "-o", path("report.pdf")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = pdfText(path("report.pdf"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 4) << text;
    for (const char* expected :
         {"Hall B – Stage", "Tournée 2026", "José Núñez", "rich.KV2", "Line 2 ©",
          "A (Mic), B (Bü€)",
          // routing and outputs: level, mute, polarity, delay with distance
          "input B, -3.0 dB, inverted", "Output 2 (Right€)", "+6.0 dB", "Muted",
          "4.875 ms (170.5 cm)",
          // crossover edges and equaliser bands
          "Linkwitz-Riley", "4 (24 dB/oct)", "12000 Hz", "Equaliser of SUB (Sub ü)",
          "Low Shelf, slope", "S 0.80", "-4.5 dB", "19.80",
          // dynamics units and their speaker settings
          "Compressor", "Limiter (bypassed)", "4.0:1", "-17.6 dBFS", "1200 W, gain 28.3 dB",
          "above the box rating",
          // graphs
          "Equaliser", "Crossover", "Total response (processing only, no loudspeaker data)",
          "Dynamics OUT 1-2", "Dynamics SUB", "Page 4 of 4"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
}

TEST_F(ReportCommand, MeasuredLoudspeaker_TheTotalResponseSaysWhoseItIncludes) {
    ProcessorConfig c = PresetStore::newPreset();
    c.output(1).Name = "Top";
    // Not found where it was measured: read from the preset's folder.
    c.MeasurementFile[0] = "C:\\measure\\top.frd";
    c.MeasurementFormat = 11;
    PresetStore::save(c, path("p.KV2"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KVN_TEST_DATA_DIR "/../../data/measurements/top.frd"),
                            QString::fromStdString(path("top.frd"))));
    const auto r = runBinary({"report", path("p.KV2"), "-o", path("report.pdf")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(pdfText(path("report.pdf"))
                  .find("Total response with the measured loudspeakers of Output 1 (Top)"),
              std::string::npos);
}

TEST_F(ReportCommand, Refusals_ExitStatusAndMessageAndTheOldReportKept) {
    QFile old(QString::fromStdString(path("old.pdf")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old report");
    old.close();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"report", data("rich.KV2")}, 1, "-o REPORT.pdf is required"},
        {{"report", data("bad-tag.KV2"), "-o", path("old.pdf")}, 2, "bad-tag.KV2"},
        {{"report", path("none.KV2"), "-o", path("old.pdf")}, 2, "none.KV2"},
        {{"report", data("rich.KV2"), "-o", path("no-folder/r.pdf")}, 2, "no-folder/r.pdf: "},
    };
    for (const Case& c : cases) {
        const auto r = runBinary(c.args);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old report");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.pdf")});
}

}  // namespace
}  // namespace kvn::cli
