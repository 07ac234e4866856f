#include "cli/PresetJson.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <functional>

#include "cli/CliError.h"
#include "cli/PresetStore.h"

namespace kvn::cli {
namespace {

using Mutation = std::function<void(ProcessorConfig&)>;

// One change per stored field, each to a value other than New's and inside the field's range.
std::vector<std::pair<std::string, Mutation>> everyField() {
    std::vector<std::pair<std::string, Mutation>> m = {
        {"SystemName", [](ProcessorConfig& c) { c.SystemName = "Main hall été €"; }},
        {"ProjectName", [](ProcessorConfig& c) { c.ProjectName = "Tour"; }},
        {"Engineer", [](ProcessorConfig& c) { c.Engineer = "J. Doe"; }},
        {"Comments", [](ProcessorConfig& c) { c.Comments = "line 1\r\nline \"2\""; }},
        {"Temperature", [](ProcessorConfig& c) { c.Temperature = 31; }},
        {"InputName[2]", [](ProcessorConfig& c) { c.InputName[1] = "Left"; }},
        {"InputMatrix[2]", [](ProcessorConfig& c) { c.InputMatrix[1] = 1.0; }},
        {"MeasurementFile[3]", [](ProcessorConfig& c) { c.MeasurementFile[2] = "/m/sub.frd"; }},
        {"MeasurementFormat", [](ProcessorConfig& c) { c.MeasurementFormat = 2; }},
        {"MeasurementSpl", [](ProcessorConfig& c) { c.MeasurementSpl = 84.5f; }},
        {"ResponseView[5]", [](ProcessorConfig& c) { c.ResponseView[4] = false; }},
    };
    for (int n = 1; n <= kOutputCount; ++n) {
        const std::string o = "Output[" + std::to_string(n) + "].";
        const auto out = [n](ProcessorConfig& c) -> OutputChannel& { return c.output(n); };
        const int lastBand = n == kSubOutput ? kSubPeqBands : kPeqBands;
        m.insert(m.end(),
                 {
                     {o + "Name", [=](ProcessorConfig& c) { out(c).Name = "Mid"; }},
                     {o + "Route", [=](ProcessorConfig& c) { out(c).Route = n == 1 ? 2 : 0; }},
                     {o + "GainFromA", [=](ProcessorConfig& c) { out(c).GainFromA = 0.3; }},
                     {o + "GainFromB", [=](ProcessorConfig& c) { out(c).GainFromB = 0.7; }},
                     {o + "PeqBandsInUse", [=](ProcessorConfig& c) { out(c).PeqBandsInUse = 3; }},
                     {o + "Peq.FilterType",
                      [=](ProcessorConfig& c) { out(c).band(lastBand).FilterType = 16; }},
                     {o + "Peq.FrequencyHz",
                      [=](ProcessorConfig& c) { out(c).band(lastBand).FrequencyHz = 63.5; }},
                     {o + "Peq.Q", [=](ProcessorConfig& c) { out(c).band(lastBand).Q = 4.2; }},
                     {o + "Peq.GainDb",
                      [=](ProcessorConfig& c) { out(c).band(lastBand).GainDb = -7.3; }},
                     {o + "HighPassEdge.XoverType",
                      [=](ProcessorConfig& c) { out(c).HighPassEdge.XoverType = 6; }},
                     {o + "HighPassEdge.Order",
                      [=](ProcessorConfig& c) { out(c).HighPassEdge.Order = 4; }},
                     {o + "HighPassEdge.FrequencyHz",
                      [=](ProcessorConfig& c) { out(c).HighPassEdge.FrequencyHz = 45.25; }},
                     {o + "LowPassEdge.XoverType",
                      [=](ProcessorConfig& c) { out(c).LowPassEdge.XoverType = 3; }},
                     {o + "LowPassEdge.Order",
                      [=](ProcessorConfig& c) { out(c).LowPassEdge.Order = 4; }},
                     {o + "LowPassEdge.FrequencyHz",
                      [=](ProcessorConfig& c) {
                          out(c).LowPassEdge.FrequencyHz = n == kSubOutput ? 400 : 2500;
                      }},
                     {o + "SoloL", [=](ProcessorConfig& c) { out(c).SoloL = true; }},
                     {o + "SoloH", [=](ProcessorConfig& c) { out(c).SoloH = true; }},
                     {o + "DelaySamples", [=](ProcessorConfig& c) { out(c).DelaySamples = 234; }},
                     {o + "RelativeDistanceSamples",
                      [=](ProcessorConfig& c) { out(c).RelativeDistanceSamples = -17; }},
                     {o + "Gain", [=](ProcessorConfig& c) { out(c).Gain = -0.501187; }},
                     {o + "Muted", [=](ProcessorConfig& c) { out(c).Muted = true; }},
                     {o + "Inverted", [=](ProcessorConfig& c) { out(c).Inverted = true; }},
                 });
    }
    for (int u = 1; u <= kDynamicsUnits; ++u) {
        const std::string p = "Dynamics[" + std::to_string(u) + "].";
        const auto unit = [u](ProcessorConfig& c) -> DynamicsUnit& { return c.unit(u); };
        m.insert(
            m.end(),
            {
                {p + "thresholdDbfs", [=](ProcessorConfig& c) { unit(c).thresholdDbfs = -12.5f; }},
                {p + "ratio", [=](ProcessorConfig& c) { unit(c).ratio = 4.0f; }},
                {p + "makeupGainDb", [=](ProcessorConfig& c) { unit(c).makeupGainDb = 1.5f; }},
                {p + "detectorCoefficient",
                 [=](ProcessorConfig& c) { unit(c).detectorCoefficient = 0.001f; }},
                {p + "holdSamples", [=](ProcessorConfig& c) { unit(c).holdSamples = 2000; }},
                {p + "releaseCount", [=](ProcessorConfig& c) { unit(c).releaseCount = 100; }},
                {p + "lookAheadSamples",
                 [=](ProcessorConfig& c) { unit(c).lookAheadSamples = 48; }},
                {p + "editorByte28", [=](ProcessorConfig& c) { unit(c).editorByte28 = 7; }},
                {p + "kneeType", [=](ProcessorConfig& c) { unit(c).kneeType = kCompressor; }},
                {p + "kneeDb", [=](ProcessorConfig& c) { unit(c).kneeDb = 2.5f; }},
                {p + "balanced", [=](ProcessorConfig& c) { unit(c).balanced = 0; }},
                {p + "editorByte37", [=](ProcessorConfig& c) { unit(c).editorByte37 = 0; }},
                {p + "bypass", [=](ProcessorConfig& c) { unit(c).bypass = 1; }},
                {p + "limiterMaxLevel",
                 [=](ProcessorConfig& c) { unit(c).limiterMaxLevel = 10.0f; }},
                {p + "ampGain", [=](ProcessorConfig& c) { unit(c).ampGain = 32.0f; }},
                {p + "loadImpedanceOhm",
                 [=](ProcessorConfig& c) { unit(c).loadImpedanceOhm = 4.0f; }},
                {p + "boxPowerW", [=](ProcessorConfig& c) { unit(c).boxPowerW = 250.0f; }},
                {p + "ampPowerW", [=](ProcessorConfig& c) { unit(c).ampPowerW = 900.0f; }},
                {p + "speakerCountIndex",
                 [=](ProcessorConfig& c) { unit(c).speakerCountIndex = 3; }},
                {p + "gateLevel", [=](ProcessorConfig& c) { unit(c).gateLevel = 16.0f; }},
                {p + "gateSlope", [=](ProcessorConfig& c) { unit(c).gateSlope = 7.0f; }},
            });
    }
    return m;
}

TEST(PresetJson, EveryStoredField_ReachesTheDocumentAndComesBack) {
    const ProcessorConfig fresh = PresetStore::newPreset();
    const QJsonObject freshJson = PresetJson::toJson(fresh);
    ProcessorConfig all = fresh;
    for (const auto& [name, mutate] : everyField()) {
        ProcessorConfig one = fresh;
        mutate(one);
        const QJsonObject json = PresetJson::toJson(one);
        EXPECT_TRUE(json != freshJson) << name << " is not in the document";
        ProcessorConfig back = PresetStore::newPreset();
        PresetJson::apply(json, back);
        EXPECT_TRUE(PresetJson::toJson(back) == json) << name << " does not come back";
        mutate(all);
    }
    ProcessorConfig back = PresetStore::newPreset();
    PresetJson::apply(PresetJson::toJson(all), back);
    EXPECT_EQ(back.SystemName, "Main hall été €");
    EXPECT_EQ(back.Comments, "line 1\r\nline \"2\"");
    EXPECT_EQ(back.output(3).band(3).FilterType, 16);
    EXPECT_EQ(back.output(3).band(3).GainDb, -7.3);
    EXPECT_EQ(back.output(2).HighPassEdge.FrequencyHz, 45.25);
    EXPECT_EQ(back.output(1).RelativeDistanceSamples, -17);
    EXPECT_EQ(back.unit(2).detectorCoefficient, static_cast<double>(0.001f));
    EXPECT_EQ(back.unit(2).gateSlope, 7.0f);
    EXPECT_EQ(back.unit(1).bypass, 1);
    EXPECT_FALSE(back.ResponseView[4]);
}

TEST(PresetJson, Document_UsesTheModelsNamesAndSubHasThreeBands) {
    const QJsonObject doc = PresetJson::toJson(PresetStore::newPreset());
    EXPECT_EQ(doc.keys(), (QStringList{"Comments", "Dynamics", "Engineer", "InputMatrix",
                                       "InputName", "MeasurementFile", "MeasurementFormat",
                                       "MeasurementSpl", "Output", "ProjectName", "ResponseView",
                                       "SampleRate", "SystemName", "Temperature"}));
    const QJsonArray outputs = doc["Output"].toArray();
    ASSERT_EQ(outputs.size(), 3);
    EXPECT_EQ(outputs[0].toObject()["Peq"].toArray().size(), 7);
    EXPECT_EQ(outputs[2].toObject()["Peq"].toArray().size(), 3);
    EXPECT_EQ(outputs[2].toObject()["Name"].toString(), "SUB");
    EXPECT_EQ(outputs[0].toObject()["Peq"].toArray()[0].toObject().keys(),
              (QStringList{"FilterType", "FrequencyHz", "GainDb", "Q"}));
    EXPECT_EQ(doc["Dynamics"].toArray()[0].toObject()["thresholdDbfs"].toDouble(), -6.0);
}

std::string applyError(const char* json) {
    ProcessorConfig c = PresetStore::newPreset();
    try {
        PresetJson::apply(QJsonDocument::fromJson(json).object(), c);
    } catch (const CliError& e) {
        EXPECT_EQ(e.status(), kExitBadInput);
        return e.what();
    }
    return "accepted";
}

// {"KEY": [...]} with `count` entries: `body` as entry `n`, {} for the others.
std::string listOf(const char* key, int count, int n, const std::string& body) {
    std::string list;
    for (int i = 1; i <= count; ++i) {
        list += std::string(i > 1 ? ", " : "") + (i == n ? body : "{}");
    }
    return "{\"" + std::string(key) + "\": [" + list + "]}";
}

// A document whose Output list holds `body` as output `n`.
std::string output(int n, const std::string& body) {
    return listOf("Output", kOutputCount, n, body);
}

// An output's Peq list of `count` bands with `body` as band `b`.
std::string bands(int b, int count, const std::string& body) {
    return listOf("Peq", count, b, body);
}

TEST(PresetJson, Apply_RefusesUnknownKeysWrongTypesLengthsAndRangesNamingTheKey) {
    const struct {
        std::string json;
        std::string message;
    } cases[] = {
        {R"({"SystemNme": "x"})", "SystemNme: unknown key"},
        {output(2, bands(2, 7, R"({"Gain": 1})")), "Output[2].Peq[2].Gain: unknown key"},
        {output(3, bands(3, 3, R"({"Q": 30})")),
         "Output[3].Peq[3].Q: expected a number from 0.5 to 20"},
        {R"({"Temperature": "25"})", "Temperature: expected a whole number from 0 to 50"},
        {R"({"Temperature": 25.5})", "Temperature: expected a whole number from 0 to 50"},
        {output(1, R"({"Muted": 1})"), "Output[1].Muted: expected true or false"},
        {output(1, R"({"Name": "Subwoofer"})"), "Output[1].Name: longer than 6 characters"},
        {R"({"InputName": ["A", 5]})", "InputName[2]: expected a text"},
        {R"({"SystemName": "\u0416"})", "SystemName: holds a character the processor cannot show"},
        // Windows-1252 holds the euro sign in one byte: six of them fit a name of six.
        {R"({"InputName": ["\u20ac\u20ac\u20ac\u20ac\u20ac\u20ac", "B"]})", "accepted"},
        {output(1, bands(1, 7, R"({"FilterType": 12})")),
         "Output[1].Peq[1].FilterType: expected one of 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, "
         "16"},
        // A high-pass code on the low-pass edge, and an order the editor does not offer.
        {output(1, R"({"LowPassEdge": {"XoverType": 2}})"),
         "Output[1].LowPassEdge.XoverType: expected one of 0, 1, 3, 5"},
        {output(1, R"({"LowPassEdge": {"XoverType": 3, "Order": 6}})"),
         "Output[1].LowPassEdge.Order: expected a whole number from 2 to 4"},
        {R"({"Dynamics": [{}, {"gateLevel": 34}]})",
         "Dynamics[2].gateLevel: expected a whole number from 1 to 33"},
        {R"({"SampleRate": 44100})", "SampleRate: expected a whole number from 48000 to 48000"},
        {R"({"Output": 3})", "Output: expected a list"},
        {R"({"Output": [[], {}, {}]})", "Output[1]: expected an object"},
        // Lists hold what the model holds.
        {R"({"InputMatrix": [1, 0, 1]})", "InputMatrix has 3 values, 4 expected"},
        {R"({"InputMatrix": []})", "InputMatrix has 0 values, 4 expected"},
        {R"({"Output": [{}, {}]})", "Output has 2 entries, 3 expected"},
        {output(3, bands(1, 4, "{}")), "Output[3].Peq has 4 entries, 3 expected"},
        {R"({"ResponseView": [true]})", "ResponseView has 1 value, 5 expected"},
        // What the editor's controls do not allow.
        {R"({"Dynamics": [{"loadImpedanceOhm": 0}, {}]})",
         "Dynamics[1].loadImpedanceOhm: expected a number from 2 to 16"},
        {R"({"Dynamics": [{}, {"ampGain": 0}]})",
         "Dynamics[2].ampGain: expected a number from 5 to 200"},
        {R"({"Dynamics": [{"boxPowerW": 0}, {}]})",
         "Dynamics[1].boxPowerW: expected a number from 5 to 4000"},
        {R"({"Dynamics": [{"releaseCount": 0}, {}]})",
         "Dynamics[1].releaseCount: expected a whole number from 7 to 584"},
        {R"({"Dynamics": [{}, {"thresholdDbfs": -2}]})",
         "Dynamics[2].thresholdDbfs: expected a number from -55.6 to -5"},
        {output(2, R"({"Gain": 0})"),
         "Output[2].Gain: expected a number from 0.0316228 to 1.99526 or from -1.99526 to "
         "-0.0316228 (-30 to +6 dB)"},
        {output(3, R"({"LowPassEdge": {"FrequencyHz": 1000}})"),
         "Output[3].LowPassEdge.FrequencyHz: expected a number from 20 to 480"},
        {output(1, bands(4, 7, R"({"FilterType": 6, "Q": 1})")),
         "Output[1].Peq[4].Q: expected a number from 1.7 to 20 for this FilterType"},
        {output(1, bands(4, 7, R"({"FilterType": 2, "GainDb": 9})")),
         "Output[1].Peq[4].GainDb: expected a number from -15 to 6 for this FilterType"},
        {R"({"InputMatrix": [1, 0.5, 0, 1]})", "InputMatrix[2]: expected 0 or 1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(applyError(c.json.c_str()), c.message) << c.json;
    }
}

TEST(PresetJson, Apply_MissingKeysKeepWhatWasThere) {
    ProcessorConfig c = PresetStore::newPreset();
    PresetJson::apply(QJsonDocument::fromJson((R"({"SystemName": "Club", )" +
                                               output(2, bands(1, 7, R"({"GainDb": 3})")).substr(1))
                                                  .c_str())
                          .object(),
                      c);
    const ProcessorConfig fresh = PresetStore::newPreset();
    EXPECT_EQ(c.SystemName, "Club");
    EXPECT_EQ(c.output(2).band(1).GainDb, 3.0);
    EXPECT_EQ(c.output(2).band(1).FrequencyHz, fresh.output(2).band(1).FrequencyHz);
    EXPECT_EQ(c.output(2).band(2).GainDb, fresh.output(2).band(2).GainDb);
    EXPECT_EQ(c.output(1).Name, "Out1");
    EXPECT_EQ(c.unit(1).thresholdDbfs, -6.0f);
}

TEST(PresetJson, PathAt_NamesTheValueAnOffsetLiesIn) {
    const std::string json = R"({"Output": [{}, {"Gain": 1e999}], "T": "a\"b", "X": 1})";
    EXPECT_EQ(PresetJson::pathAt(json, json.find("1e999") + 5), "Output[2].Gain");
    EXPECT_EQ(PresetJson::pathAt(json, json.find(", \"X\"") + 6), "X");
    EXPECT_EQ(PresetJson::pathAt(json, 0), "");
}

}  // namespace
}  // namespace kvn::cli
