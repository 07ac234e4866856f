// The preset, image and response commands of the kvn350 executable on real files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "CliTestSupport.h"

namespace kvn::cli {
namespace {

using test::runBinary;

std::vector<std::uint8_t> readAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path;
    const QByteArray b = f.readAll();
    return {b.begin(), b.end()};
}

void writeAll(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path;
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

class FileEndToEnd : public ::testing::Test {
protected:
    std::string path(const char* name) const {
        return QDir(dir_.path()).filePath(QString::fromLatin1(name)).toStdString();
    }
    // Runs the tool and expects exit status 0.
    std::string ok(const std::vector<std::string>& args) const {
        const auto r = runBinary(args);
        EXPECT_EQ(r.status, 0) << args[0] << " " << args[1] << ": " << r.err;
        return r.out;
    }
    QTemporaryDir dir_;
};

TEST_F(FileEndToEnd, JsonRoundTrip_FileToJsonToFile_IsByteIdentical) {
    // A preset with values away from the defaults, made from a hand-written document.
    writeAll(path("in.json"), R"({
        "SystemName": "Hall B", "Comments": "two\nlines", "Temperature": 18,
        "InputName": ["Left", "Right"],
        "Output": [{"Name": "Top", "Route": 1, "DelaySamples": 12, "Gain": -0.5, "Muted": true,
                    "Peq": [{"FilterType": 1, "FrequencyHz": 250.5, "Q": 2.3, "GainDb": -4.5},
                            {}, {}, {}, {}, {}, {}],
                    "HighPassEdge": {"XoverType": 4, "Order": 4, "FrequencyHz": 80}},
                   {}, {"Peq": [{}, {}, {"FilterType": 15, "Q": 1, "GainDb": 3}]}],
        "Dynamics": [{"thresholdDbfs": -10, "kneeType": 1, "ratio": 3}, {"gateLevel": 16}],
        "ResponseView": [true, false, true, false, true]
    })");
    const std::string file = path("hall.KV2");
    ok({"preset", "from-json", path("in.json"), file});
    const std::vector<std::uint8_t> original = readAll(file);
    ASSERT_EQ(original.size(), 1612u);

    writeAll(path("hall.json"), ok({"preset", "show", file, "--json"}));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(file)));
    ok({"preset", "from-json", path("hall.json"), file});
    EXPECT_EQ(readAll(file), original);

    const std::string text = ok({"preset", "show", file});
    EXPECT_NE(text.find("SystemName = \"Hall B\"\n"), std::string::npos);
    EXPECT_NE(text.find("Output[1].Peq[1].FilterType = 1 (Parametric)\n"), std::string::npos);
    EXPECT_NE(text.find("Output[1].HighPassEdge.XoverType = 4 (L-Riley high-pass)\n"),
              std::string::npos);
}

TEST_F(FileEndToEnd, Diff_ListsChangedFieldsOrIdenticalAndExitsZero) {
    ok({"preset", "new", path("a.KV2")});
    ok({"preset", "new", path("b.KV2")});
    EXPECT_EQ(ok({"preset", "diff", path("a.KV2"), path("b.KV2")}), "identical\n");

    writeAll(path("c.json"), R"({"SystemName": "Club", "Output": [{}, {"Muted": true}, {}]})");
    ok({"preset", "from-json", path("c.json"), path("c.KV2")});
    EXPECT_EQ(ok({"preset", "diff", path("a.KV2"), path("c.KV2")}),
              "Output[2].Muted: false -> true\nSystemName: \"NoName\" -> \"Club\"\n");
}

TEST_F(FileEndToEnd, ImageBuild_DefaultPreset_GivesTheGoldenImage) {
    ok({"preset", "new", path("default.KV2")});
    ok({"image", "build", path("default.KV2"), "-o", path("default.bin")});
    // The checked-in image of a new configuration, whose bytes the configuration tests pin.
    const QString golden = QStringLiteral(KVN_TEST_DATA_DIR "/default.img");
    EXPECT_EQ(readAll(path("default.bin")), readAll(golden.toStdString()));

    // Decoding the image gives the names back with their padding.
    const std::string decoded = ok({"image", "decode", path("default.bin")});
    EXPECT_NE(decoded.find("InputName[1] = \"In1   \"\n"), std::string::npos);
}

TEST_F(FileEndToEnd, Upgrade_PreviousVersionFile_BecomesCurrentWithDefaultGates) {
    ok({"preset", "new", path("new.KV2")});
    std::vector<std::uint8_t> bytes = readAll(path("new.KV2"));
    bytes.resize(1596);
    writeAll(path("old.KV2"), std::string(bytes.begin(), bytes.end()));

    ok({"preset", "upgrade", path("old.KV2")});
    EXPECT_EQ(readAll(path("old.KV2")).size(), 1612u);
    const std::string text = ok({"preset", "show", path("old.KV2")});
    EXPECT_NE(text.find("Dynamics[2].gateLevel = 13\n"), std::string::npos);
    EXPECT_NE(text.find("Dynamics[2].gateSlope = 4\n"), std::string::npos);
}

TEST_F(FileEndToEnd, DamagedOrMissingFiles_ExitTwoAndLeaveOutputsAlone) {
    ok({"preset", "new", path("good.KV2")});
    std::vector<std::uint8_t> good = readAll(path("good.KV2"));
    writeAll(path("short.KV2"), std::string(good.begin(), good.begin() + 100));
    std::vector<std::uint8_t> tagless = good;
    tagless[1] = 'Y';
    writeAll(path("tagless.KV2"), std::string(tagless.begin(), tagless.end()));
    writeAll(path("bad.json"), R"({"Temperature": 99})");
    writeAll(path("broken.json"), "{\"SystemName\": ");
    writeAll(path("short.bin"), std::string(300, '\x01'));

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"preset", "show", path("short.KV2")},
             {"preset", "show", path("tagless.KV2")},
             {"preset", "show", path("missing.KV2")},
             {"preset", "diff", path("good.KV2"), path("short.KV2")},
             {"image", "build", path("tagless.KV2"), "-o", path("x.bin")},
             {"image", "decode", path("short.bin")},
             {"response", path("short.KV2"), "--output", "1"},
             {"preset", "from-json", path("bad.json"), path("good.KV2")},
             {"preset", "from-json", path("broken.json"), path("good.KV2")}}) {
        const auto r = runBinary(args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args[1] << " " << args[2];
        EXPECT_NE(r.err.find("kvn350: "), std::string::npos);
    }
    EXPECT_EQ(readAll(path("good.KV2")), good);  // refused documents wrote nothing
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("x.bin"))));
    EXPECT_NE(runBinary({"preset", "from-json", path("bad.json"), path("y.KV2")})
                  .err.find("Temperature: expected a whole number from 0 to 50"),
              std::string::npos);
}

TEST_F(FileEndToEnd, Response_PrintsTheGridAsCsvJsonOrText) {
    ok({"preset", "new", path("r.KV2")});
    const std::string csv = ok({"response", path("r.KV2"), "--output", "3", "--csv"});
    EXPECT_EQ(csv.rfind("hz,db,phaseDeg\n20,", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 402);
    const std::string json =
        ok({"response", path("r.KV2"), "--output", "1", "--block", "peq", "--json"});
    EXPECT_NE(json.find("\"hz\": [20, "), std::string::npos);
    EXPECT_NE(json.find("\"phaseDeg\": ["), std::string::npos);
    EXPECT_EQ(runBinary({"response", path("r.KV2"), "--output", "4"}).status, 1);
    EXPECT_EQ(runBinary({"response", path("r.KV2"), "--output", "1", "--csv", "--json"}).status, 1);
}

}  // namespace
}  // namespace kvn::cli
