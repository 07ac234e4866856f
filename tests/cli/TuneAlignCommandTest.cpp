// tune align on real files: the written preset's final response gives the loss reported.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <complex>
#include <filesystem>

#include "AlignmentSamples.h"
#include "CliTestSupport.h"
#include "cli/PresetStore.h"

namespace kvn::cli {
namespace {

using test::runInProcess;

class TuneAlign : public ::testing::Test, public test::TestFiles {
protected:
    // The alignment tests' two-way system with SUB's measurement in `subFile`.
    std::string writePreset(const char* name, const std::string& subFile) const {
        std::filesystem::copy_file(std::string(KVN_SAMPLE_MEASUREMENTS) + "/top.frd",
                                   path("top.frd"),
                                   std::filesystem::copy_options::overwrite_existing);
        ProcessorConfig c = PresetStore::newPreset();
        kvn::test::setTwoWay(c, 100.0);
        c.MeasurementFile = {"top.frd", "", subFile};
        c.MeasurementFormat = 11;
        c.MeasurementSpl = 96.0f;
        PresetStore::save(c, path(name));
        return path(name);
    }
    static QJsonObject json(const std::string& text) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
    }
};

TEST_F(TuneAlign, Out_FinalResponseGivesTheReportedLossAndKnownShifts) {
    write("sub4ms.frd", kvn::test::sampleSubText(192));
    write("sub5ms.frd", kvn::test::sampleSubText(240));
    const auto align = [&](const std::string& sub) {
        const auto r = runInProcess({"tune", "align", writePreset("p.KV2", sub), "--move", "3",
                                     "-o", path("out.KV2"), "--json"});
        EXPECT_EQ(r.status, 0) << r.err;
        return json(r.out);
    };
    const QJsonObject later = align("sub5ms.frd");
    const QJsonObject o = align("sub4ms.frd");
    EXPECT_EQ(o["range"].toArray(), (QJsonArray{50, 200}));
    const int subDelay = o["delays"].toArray()[2].toInt();
    EXPECT_EQ(later["delays"].toArray()[2].toInt(), subDelay + 48);
    EXPECT_EQ(o["delays"].toArray()[0].toInt(), 0);
    EXPECT_EQ(o["inverted"].toArray(), later["inverted"].toArray());
    EXPECT_LT(o["lossAfterDb"].toDouble(), 0.05);
    EXPECT_GT(o["lossBeforeDb"].toDouble(), 0.5);

    // Written elsewhere, the preset names files that its final response will not find there.
    std::filesystem::create_directory(path("elsewhere"));
    std::filesystem::copy_file(path("top.frd"), path("elsewhere/top.frd"));
    const std::string moved = path("elsewhere/out.KV2");
    const auto r = runInProcess({"tune", "align", path("p.KV2"), "-o", moved});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "kvn350: SUB's measurement sub4ms.frd is neither where it is named nor next "
              "to " +
                  moved + ": copy it there for the final response of " + moved + "\n");

    // The loss recomputed from the written preset's final response (Output 2 muted).
    const auto final = runInProcess({"response", path("out.KV2"), "--final", "--json"});
    ASSERT_EQ(final.status, 0) << final.err;
    const QJsonObject f = json(final.out);
    const QJsonArray hz = f["hz"].toArray();
    const QJsonArray outputs = f["outputs"].toArray();
    double sum = 0.0;
    int points = 0;
    for (qsizetype k = 0; k < hz.size(); ++k) {
        if (hz[k].toInt() < 50 || hz[k].toInt() > 200) {
            continue;
        }
        std::complex<double> total;
        double magnitudes = 0.0;
        for (const int n : {0, 2}) {
            const QJsonObject out = outputs[n].toObject();
            const double a = std::pow(10.0, out["db"].toArray()[k].toDouble() / 20.0);
            total += std::polar(a, out["phaseDeg"].toArray()[k].toDouble() * M_PI / 180.0);
            magnitudes += a;
        }
        const double loss = 20.0 * std::log10(magnitudes) - 20.0 * std::log10(std::abs(total));
        sum += loss * loss;
        ++points;
    }
    EXPECT_NEAR(std::sqrt(sum / points), o["lossAfterDb"].toDouble(), 1e-6);
}

TEST_F(TuneAlign, Refusals_ExitWithTheMessageAndWriteNothing) {
    write("sub.frd", kvn::test::sampleSubText(0));
    write("flat.frd", kvn::test::sampleSubText(0, false));
    const std::string preset = writePreset("p.KV2", "sub.frd");
    const std::string magnitudeOnly = writePreset("m.KV2", "flat.frd");
    const std::string missing = writePreset("n.KV2", "gone.frd");
    // Tops without crossover edges, SUB muted: nothing meets, the range must be given.
    ProcessorConfig tops = PresetStore::newPreset();
    tops.output(3).Muted = true;
    PresetStore::save(tops, path("tops.KV2"));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    for (const Case& t : std::vector<Case>{
             {{preset, "--move", "2"},
              1,
              "Output 2 is muted: it takes no part in the sum and cannot be aligned"},
             {{preset, "--move", "1,x"},
              1,
              "--move takes outputs 1, 2 and 3 separated by commas, or all, not '1,x'"},
             {{preset, "--range", "fifty"}, 1, "--range takes LO-HI in Hz, as 50-200, not 'fifty'"},
             {{magnitudeOnly},
              2,
              "SUB: flat.frd has no phase, and alignment needs the measured phase"},
             {{missing}, 2, "SUB: gone.frd could not be read as a measurement"},
             {{path("tops.KV2"), "--move", "2"},
              1,
              "the crossover edges of the outputs that are not muted do not meet: give the range "
              "with --range LO-HI"},
         }) {
        std::vector<std::string> args{"tune", "align"};
        args.insert(args.end(), t.args.begin(), t.args.end());
        args.insert(args.end(), {"-o", path("out.KV2")});
        const auto r = runInProcess(args);
        EXPECT_EQ(r.status, t.status) << t.message;
        EXPECT_EQ(r.err, "kvn350: " + t.message + "\n");
        EXPECT_FALSE(std::filesystem::exists(path("out.KV2"))) << t.message;
    }
}

}  // namespace
}  // namespace kvn::cli
