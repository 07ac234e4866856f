// tune eq on real files: the written preset, its final response and the failures.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "CliTestSupport.h"
#include "SyntheticSpeakers.h"
#include "analysis/EqualiserFit.h"
#include "analysis/MeasurementImport.h"
#include "cli/PresetStore.h"

namespace kvn::cli {
namespace {

using test::runInProcess;

class TuneEq : public ::testing::Test, public test::TestFiles {
protected:
    static QJsonObject json(const std::string& text) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
    }
    void SetUp() override { PresetStore::save(PresetStore::newPreset(), path("in.KV2")); }
};

// The RMS about the mean of one output's final response over [low, high], as anyone reading
// `response --final --json` would compute it.
double finalDeviation(const QJsonObject& response, int output, double low, double high) {
    const QJsonArray hz = response["hz"].toArray();
    const QJsonArray db = response["outputs"].toArray()[output - 1].toObject()["db"].toArray();
    std::vector<double> values;
    for (qsizetype k = 0; k < hz.size(); ++k) {
        if (hz[k].toDouble() >= low && hz[k].toDouble() <= high) {
            values.push_back(db[k].toDouble());
        }
    }
    double mean = 0.0;
    for (const double v : values) {
        mean += v / static_cast<double>(values.size());
    }
    double squares = 0.0;
    for (const double v : values) {
        squares += (v - mean) * (v - mean);
    }
    return std::sqrt(squares / static_cast<double>(values.size()));
}

TEST_F(TuneEq, WrittenPreset_ReopensWithTheBandsAndTheFinalResponseGivesThePrintedDeviation) {
    struct Case {
        const char* output;
        kvn::test::Speaker speaker;
        const char* range;
        double low, high;
        const char* bands;
    };
    for (const Case& c : {Case{"1", kvn::test::Speaker::FullRange, "40-16000", 40, 16000, "7"},
                          Case{"3", kvn::test::Speaker::SubWithRoomMode, "30-400", 30, 400, "3"}}) {
        SCOPED_TRACE(c.output);
        const std::string frd = write("speaker.frd", kvn::test::speakerFrd(c.speaker));
        const auto r =
            runInProcess({"tune", "eq", path("in.KV2"), "--output", c.output, "--measurement", frd,
                          "--range", c.range, "--bands", c.bands, "-o", path("out.KV2"), "--json"});
        ASSERT_EQ(r.status, 0) << r.err;
        const QJsonObject fit = json(r.out);
        const int output = std::atoi(c.output);
        EXPECT_EQ(fit["output"].toInt(), output);
        EXPECT_EQ(fit["range"].toArray(), (QJsonArray{c.low, c.high}));
        EXPECT_LT(fit["rmsAfterDb"].toDouble(), fit["rmsBeforeDb"].toDouble());

        // Reopened as the editor opens it, the bands are exactly those printed.
        std::ostringstream messages;
        const ProcessorConfig reopened = PresetStore::loadForUse(path("out.KV2"), messages);
        const QJsonArray bands = fit["bands"].toArray();
        ASSERT_EQ(bands.size(), std::atoi(c.bands));
        for (const QJsonValue& value : bands) {
            const QJsonObject band = value.toObject();
            const PeqBand& stored = reopened.output(output).band(band["band"].toInt());
            EXPECT_EQ(band["type"].toString().toStdString(), filterTypeName(stored.FilterType));
            EXPECT_EQ(band["hz"].toDouble(), stored.FrequencyHz);
            EXPECT_EQ(band["q"].toDouble(), stored.Q);
            EXPECT_EQ(band["gainDb"].toDouble(), stored.GainDb);
        }
        EXPECT_EQ(reopened.MeasurementFile[static_cast<std::size_t>(output - 1)],
                  std::filesystem::absolute(frd).string());

        const auto final = runInProcess({"response", path("out.KV2"), "--final", "--json"});
        ASSERT_EQ(final.status, 0) << final.err;
        EXPECT_NEAR(finalDeviation(json(final.out), output, c.low, c.high),
                    fit["rmsAfterDb"].toDouble(), 1e-9);
    }
}

TEST_F(TuneEq, Failures_ExitOneForOptionsAndTwoForFiles_AndWriteNothing) {
    const std::string frd =
        write("speaker.frd", kvn::test::speakerFrd(kvn::test::Speaker::FullRange));
    const std::string broken = write("broken.frd", "* x\n20 90 0\n30 ninety 0\n24000 90 0\n");
    const std::string narrow = write("narrow.frd", "100 90 0\n10000 90 0\n");
    const std::vector<std::string> base = {"tune", "eq", path("in.KV2"), "--output",
                                           "1",    "-o", path("out.KV2")};
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--measurement", broken}, 2, broken + ": line 3"},
        {{"--measurement", path("none.frd")}, 2, path("none.frd") + ": cannot be read"},
        {{"--measurement", frd, "--target", broken}, 2, broken + ": line 3"},
        {{"--measurement", narrow}, 1, "The measurement does not cover the range 40-16000 Hz"},
        {{"--measurement", frd, "--target", narrow}, 1, "does not cover the range"},
        {{"--measurement", frd, "--range", "5000-200"}, 1, "is empty"},
        {{"--measurement", frd, "--range", "40"}, 1, "--range takes LO-HI"},
        {{"--measurement", frd, "--bands", "8"}, 1, "--bands"},
        {{"--measurement", frd, "--max-boost", "13"}, 1, "--max-boost"},
        {{"--measurement", frd, "--keep", "9"}, 1, "Output 1 has no band 9"},
        {{"--measurement", frd, "--keep", "2"}, 1, "7 bands to fit and 1 kept are more"},
        {{"--measurement", frd, "--keep", "one"}, 1, "--keep takes band numbers"},
        {{"--measurement", frd, "--format", "5"}, 1, "--format"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = base;
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = runInProcess(args);
        EXPECT_EQ(r.status, c.status) << c.args[1];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(path("out.KV2"))) << c.args[1];
    }
}

}  // namespace
}  // namespace kvn::cli
