// The design commands run in-process, checked against coefficients worked out independently
// from the design formulas and encoded by hand.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliTestSupport.h"

namespace kvn::cli {
namespace {

using test::runInProcess;

QJsonObject jsonOf(const test::RunResult& r) {
    EXPECT_EQ(r.status, 0) << r.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

QStringList words(const QJsonObject& section) {
    QStringList list;
    for (const QJsonValue& w : section["words"].toArray()) {
        list << w.toString();
    }
    return list;
}

TEST(DesignSection, Json_GivesFieldsCoefficientsAndGoldenWords) {
    const QJsonObject peq =
        jsonOf(runInProcess({"design", "section", "--type", "Parametric", "--freq", "1000", "--q",
                             "1.41", "--gain", "6", "--json"}));
    EXPECT_EQ(peq["type"].toInt(), 1);
    EXPECT_EQ(peq["frequencyHz"].toDouble(), 1000.0);
    EXPECT_EQ(peq["q"].toDouble(), 1.41);
    EXPECT_EQ(peq["gainDb"].toDouble(), 6.0);
    EXPECT_NEAR(peq["b0"].toDouble(), 1.0315779106167673, 1e-15);
    EXPECT_NEAR(peq["a2"].toDouble(), -0.9365435420555338, 1e-15);
    EXPECT_EQ(words(peq), (QStringList{"108157", "2147C8", "0E7ABD", "1EB838", "3103EB"}));

    // A Butterworth low-pass forces the gain to 0 dB.
    const QJsonObject lp = jsonOf(runInProcess(
        {"design", "section", "--type", "4", "--freq", "100", "--gain", "3", "--json"}));
    EXPECT_EQ(lp["gainDb"].toDouble(), 0.0);
    EXPECT_EQ(words(lp), (QStringList{"00002C", "000059", "00002C", "1FB42D", "304B21"}));

    const QJsonObject hp = jsonOf(runInProcess(
        {"design", "section", "--type", "hipass q", "--freq", "200", "--q", "2", "--json"}));
    EXPECT_EQ(words(hp), (QStringList{"0FE4AB", "2036A9", "0FE4AB", "1FC7F3", "303544"}));
}

TEST(DesignSection, PlainText_ShowsTypeNameAndWords) {
    const auto r = runInProcess({"design", "section", "--type", "0", "--freq", "1000"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("type         0 (Bypass)"), std::string::npos);
    EXPECT_NE(r.out.find("b0           1  100000"), std::string::npos);
}

TEST(DesignSection, BadTypeOrMissingOrOutOfRangeValues_AreUsageErrors) {
    EXPECT_EQ(runInProcess({"design", "section", "--type", "13", "--freq", "100"}).status, 1);
    EXPECT_EQ(runInProcess({"design", "section", "--type", "1"}).status, 1);
    EXPECT_EQ(runInProcess({"design", "section", "--type", "1", "--freq", "24000"}).status, 1);
    EXPECT_EQ(
        runInProcess({"design", "section", "--type", "1", "--freq", "1000", "--q", "0"}).status, 1);
}

TEST(DesignCrossover, BesselAboveItsLimit_IsDesignedAtTheLimitWithTheMessage) {
    const QJsonObject o =
        jsonOf(runInProcess({"design", "crossover", "--family", "bessel", "--edge", "low-pass",
                             "--order", "2", "--freq", "19000", "--json"}));
    EXPECT_EQ(o["message"].toString(), "Maximum Bessel Cutoff = 18800 for LowPass of order 2");
    EXPECT_EQ(o["frequencyHz"].toDouble(), 18800.0);
    EXPECT_EQ(o["order"].toInt(), 2);
    ASSERT_EQ(o["sections"].toArray().size(), 1);
    const QJsonObject s = o["sections"].toArray()[0].toObject();
    EXPECT_NEAR(s["frequencyHz"].toDouble(), 18800.0 / std::sqrt(0.618), 0.01);
    EXPECT_NEAR(s["q"].toDouble(), 0.5773, 0.0001);

    const QJsonObject ok =
        jsonOf(runInProcess({"design", "crossover", "--family", "bessel", "--edge", "low-pass",
                             "--order", "2", "--freq", "18800", "--json"}));
    EXPECT_FALSE(ok.contains("message"));
}

TEST(DesignCrossover, LinkwitzRileyOddOrder_IsRaisedAndUnsupportedOrdersRefused) {
    const QJsonObject lr =
        jsonOf(runInProcess({"design", "crossover", "--family", "linkwitz-riley", "--edge",
                             "high-pass", "--order", "3", "--freq", "100", "--json"}));
    EXPECT_EQ(lr["order"].toInt(), 4);
    EXPECT_EQ(lr["sectionCount"].toInt(), 2);
    const QJsonArray sections = lr["sections"].toArray();
    EXPECT_EQ(sections[0].toObject()["words"], sections[1].toObject()["words"]);
    EXPECT_NEAR(sections[0].toObject()["q"].toDouble(), 0.7071, 0.0001);

    const auto bad = runInProcess({"design", "crossover", "--family", "linkwitz-riley", "--edge",
                                   "low-pass", "--order", "5", "--freq", "100"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("--order"), std::string::npos);
    EXPECT_EQ(runInProcess({"design", "crossover", "--family", "chebyshev", "--edge", "low-pass",
                            "--order", "2", "--freq", "100"})
                  .status,
              1);
}

TEST(DesignDynamics, Defaults_GiveTheStartUpTableOfUnitOneAndItsTiming) {
    const QJsonObject o = jsonOf(runInProcess({"design", "dynamics", "--json"}));
    const QJsonArray table = o["gainTable"].toArray();
    ASSERT_EQ(table.size(), 33);
    // Gate level 13, slope 4: entries 0..8 are 0, 9..12 ramp to 1.
    EXPECT_EQ(table[8].toDouble(), 0.0);
    EXPECT_EQ(table[9].toDouble(), 0.25);
    EXPECT_EQ(table[12].toDouble(), 1.0);
    EXPECT_NEAR(table[32].toDouble(), 0.501, 0.001);  // limiter at -6 dBFS: 0 dBFS -> -6
    EXPECT_NEAR(table[30].toDouble(), 0.891, 0.001);  // -6 dBFS
    EXPECT_EQ(o["curve"].toArray().size(), 60);
    EXPECT_NEAR(o["detectorCoefficient"].toDouble(), 0.000575, 0.000001);
    EXPECT_EQ(o["holdSamples"].toInt(), 1920);
    EXPECT_EQ(o["releaseCount"].toInt(), 36);
    EXPECT_EQ(o["lookAheadSamples"].toInt(), 0);

    const QJsonObject la =
        jsonOf(runInProcess({"design", "dynamics", "--lookahead", "1", "--hold", "10", "--json"}));
    EXPECT_EQ(la["lookAheadSamples"].toInt(), 48);
    EXPECT_EQ(la["holdSamples"].toInt(), 480 + 48);

    const QJsonObject bypass =
        jsonOf(runInProcess({"design", "dynamics", "--bypass", "--gate-level", "1", "--json"}));
    const QJsonArray flat = bypass["gainTable"].toArray();
    EXPECT_EQ(flat[0].toDouble(), 0.0);  // the gate keeps the lowest entry closed
    for (qsizetype k = 1; k < flat.size(); ++k) {
        EXPECT_EQ(flat[k].toDouble(), 1.0) << k;
    }
    EXPECT_EQ(runInProcess({"design", "dynamics", "--ratio", "0"}).status, 1);
    EXPECT_EQ(runInProcess({"design", "dynamics", "--mode", "expander"}).status, 1);
}

TEST(DesignPower, StartUpLimiterOverItsBoxBypassedUnbalancedAndBadValues) {
    const QJsonObject o = jsonOf(runInProcess({"design", "power", "--json"}));
    EXPECT_NEAR(o["levelDbu"].toDouble(), 14.6, 1e-5);
    EXPECT_NEAR(o["vmaxVrms"].toDouble(), 4.162, 1e-3);
    EXPECT_NEAR(o["powerW"].toDouble(), 3639.83, 0.01);
    EXPECT_NEAR(o["boxLevelDbu"].toDouble(), 5.0098, 1e-4);
    EXPECT_EQ(o["meterMax"].toInt(), 74);
    EXPECT_TRUE(o["overBoxPower"].toBool());

    // Bypassed SUB at 18 dBu into 4 ohm, unbalanced, gain 20: (6.156 x 20)^2 / 4 / 4 = 947 W.
    const auto text = runInProcess({"design", "power", "--unit", "2", "--bypass", "--load", "4",
                                    "--amp-gain", "20", "--box-power", "1000", "--unbalanced"});
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("level         18.0 dBu"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("max voltage   3.08 Vrms"), std::string::npos);
    EXPECT_NE(text.out.find("RMS power     947 W"), std::string::npos);
    EXPECT_NE(text.out.find("Within the box's power rating."), std::string::npos);

    // A 20:1 ratio is beyond the ratio track; so is a 0 ohm load.
    EXPECT_EQ(runInProcess({"design", "power", "--ratio", "20"}).status, 1);
    EXPECT_EQ(runInProcess({"design", "power", "--load", "0"}).status, 1);
    EXPECT_EQ(runInProcess({"design", "power", "--unit", "3"}).status, 1);
}

}  // namespace
}  // namespace kvn::cli
