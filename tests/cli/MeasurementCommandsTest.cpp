// measurement show and response --final on real files.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fstream>

#include "CliTestSupport.h"
#include "cli/PresetStore.h"

namespace kvn::cli {
namespace {

using test::runInProcess;

class MeasurementCommands : public ::testing::Test, public test::TestFiles {
protected:
    static QJsonObject json(const std::string& text) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
    }
};

TEST_F(MeasurementCommands, Show_PrintsTheGridOrExitsTwoWithTheMessage) {
    const std::string frd = write("m.frd", "* x\n20 100 0\n24000 90 -90\n");
    const auto r = runInProcess({"measurement", "show", frd, "--reference-db", "100", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject o = json(r.out);
    EXPECT_EQ(o["format"].toInt(), 11);
    ASSERT_EQ(o["db"].toArray().size(), 401);
    EXPECT_DOUBLE_EQ(o["db"].toArray()[0].toDouble(), 0.0);
    EXPECT_EQ(o["hz"].toArray()[400].toInt(), 23999);

    const auto wrong = runInProcess({"measurement", "show", frd, "--format", "1"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err, "kvn350: " + frd + " is not a valid MLSSA exported data file.\n");
    EXPECT_EQ(runInProcess({"measurement", "show", path("none.frd")}).status, 2);
    EXPECT_EQ(runInProcess({"measurement", "show", frd, "--format", "5"}).status, 1);
}

TEST_F(MeasurementCommands, Show_ColumnChoiceAndNotesOnStderr) {
    const std::string csv =
        write("bands.csv", "freq_Hz,woofer_dB,mid_dB\n10,,\n20,96,80\n24000,96,80\n");
    const auto r = runInProcess(
        {"measurement", "show", csv, "--column", "mid_dB", "--reference-db", "80", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_DOUBLE_EQ(json(r.out)["db"].toArray()[200].toDouble(), 0.0);
    EXPECT_EQ(r.err, "kvn350: " + csv +
                         ": columns read: frequency freq_Hz, magnitude mid_dB (of woofer_dB, "
                         "mid_dB), no phase\nkvn350: " +
                         csv + ": 1 row without a value skipped\n");
    const auto wrong = runInProcess({"measurement", "show", csv, "--column", "bass"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err, "kvn350: " + csv +
                             ": line 1 names no column bass (its magnitude columns: woofer_dB, "
                             "mid_dB).\n");
}

TEST_F(MeasurementCommands, Final_ImportsFromThePresetsFolderAndSwitchesInfluencesOff) {
    write("sub.frd", "20 96\n24000 96\n");
    ProcessorConfig c = PresetStore::newPreset();
    c.MeasurementFile[2] = "C:\\measurements\\sub.frd";  // not there: read from the preset's folder
    c.MeasurementFormat = 11;
    c.MeasurementSpl = 90.0f;
    c.output(1).Muted = true;
    PresetStore::save(c, path("p.KV2"));

    const auto r =
        runInProcess({"response", path("p.KV2"), "--final", "--off", "peq,xover,delay", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject o = json(r.out);
    const QJsonArray outputs = o["outputs"].toArray();
    ASSERT_EQ(outputs.size(), 3);
    EXPECT_EQ(outputs[2].toObject()["name"].toString(), "SUB");
    EXPECT_NEAR(outputs[2].toObject()["db"].toArray()[200].toDouble(), 6.0, 1e-4);
    EXPECT_EQ(outputs[0].toObject()["db"].toArray()[200].toDouble(), 0.0);
    // Output 2 (0 dB) and SUB (+6 dB) in phase, Output 1 muted.
    EXPECT_NEAR(o["add"].toObject()["db"].toArray()[200].toDouble(),
                20 * std::log10(1 + std::pow(10, 0.3)), 1e-4);
    EXPECT_EQ(runInProcess({"response", path("p.KV2"), "--final", "--off", "eq"}).status, 1);
}

}  // namespace
}  // namespace kvn::cli
