// The device commands of the kvn350 executable against the virtual processor, whose memories
// live in a state file between runs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "../link/EmulatorProcess.h"
#include "CliTestSupport.h"

namespace kvn::cli {
namespace {

using test::runBinary;

class DeviceEndToEnd : public ::testing::Test {
protected:
    std::string path(const char* name) const {
        return QDir(dir_.path()).filePath(QString::fromLatin1(name)).toStdString();
    }
    test::RunResult device(std::vector<std::string> args) const {
        args.insert(args.begin(), {"device", "--port", "virtual", "--state", path("state.bin")});
        return runBinary(args);
    }
    QByteArray bytes(const char* name) const {
        QFile f(QString::fromStdString(path(name)));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        return f.readAll();
    }
    QTemporaryDir dir_;
};

TEST_F(DeviceEndToEnd, WriteThenRead_GivesBackTheSourcePreset) {
    QFile json(QString::fromStdString(path("src.json")));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(R"({"SystemName": "Stage left", "Output": [{"Name": "Mid",
        "Peq": [{"FilterType": 1, "FrequencyHz": 400, "Q": 2, "GainDb": -3}, {}, {}, {}, {}, {},
                {}],
        "LowPassEdge": {"XoverType": 1, "Order": 4, "FrequencyHz": 3000}}, {}, {}]})");
    json.close();
    ASSERT_EQ(runBinary({"preset", "from-json", path("src.json"), path("src.KV2")}).status, 0);

    const auto write = device({"write", "30", path("src.KV2"), "--yes"});
    ASSERT_EQ(write.status, 0) << write.err;
    const auto query = device({"query"});
    EXPECT_EQ(query.out, "30\n");  // a write recalls the memory
    const auto read = device({"read", "30", "-o", path("back.KV2")});
    ASSERT_EQ(read.status, 0) << read.err;

    // What the processor holds is what the source would write: the same image.
    ASSERT_EQ(runBinary({"image", "build", path("src.KV2"), "-o", path("src.bin")}).status, 0);
    ASSERT_EQ(runBinary({"image", "build", path("back.KV2"), "-o", path("back.bin")}).status, 0);
    EXPECT_EQ(bytes("src.bin"), bytes("back.bin"));
    const auto shown = device({"read", "30"});
    EXPECT_NE(shown.out.find("SystemName = \"Stage left"), std::string::npos);
    EXPECT_NE(shown.out.find("Output[1].Name = \"Mid   \""), std::string::npos);
}

TEST_F(DeviceEndToEnd, Write_WithoutTerminalOrYes_IsRefusedAndNothingIsSent) {
    ASSERT_EQ(runBinary({"preset", "new", path("p.KV2")}).status, 0);
    const auto r = device({"write", "22", path("p.KV2")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The memory 22 have a preset stored. Do you want to overwrite it?"),
              std::string::npos);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("state.bin"))));
}

TEST_F(DeviceEndToEnd, ControlSequences_RunAndCheckTheirArguments) {
    const auto id = device({"identify"});
    EXPECT_EQ(id.status, 0) << id.err;
    EXPECT_EQ(id.out, "Status : Connected at Virtual\npassword: letters\n");
    EXPECT_EQ(device({"recall", "45"}).status, 0);
    EXPECT_EQ(device({"query"}).out, "45\n");
    EXPECT_EQ(device({"lock"}).status, 0);
    EXPECT_EQ(device({"unlock"}).status, 0);
    EXPECT_EQ(device({"password", "--letters", "kvnabc", "--active"}).status, 0);

    // The processor takes letters: key presses are refused after identification.
    const auto keys = device({"password", "--keys", "112332"});
    EXPECT_EQ(keys.status, 1);
    EXPECT_NE(keys.err.find("use --letters"), std::string::npos);
    EXPECT_EQ(device({"password", "--letters", "ABC"}).status, 1);
    EXPECT_EQ(device({"recall", "61"}).status, 1);
    EXPECT_EQ(device({"recall", "5"}).status, 1);  // factory memories need the access code
    EXPECT_EQ(device({"frobnicate"}).status, 1);
    EXPECT_EQ(runBinary({"device", "query"}).status, 1);  // --port missing
}

TEST_F(DeviceEndToEnd, Firmware_DamagedTextIsRefusedBeforeAnythingIsSent) {
    QFile text(QString::fromStdString(path("fw.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("heading\n0x00, 0x01, garbage\n");
    text.close();
    const auto r = device({"firmware", path("fw.txt"), "--yes"});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("state.bin"))));
}

TEST_F(DeviceEndToEnd, MissingPortOrDamagedState_AreReported) {
    // A port that is not there is named as such, not taken for one another program holds.
    const auto missing = runBinary({"device", "--port", path("no-such-tty"), "query"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("The port " + path("no-such-tty") + " does not exist"),
              std::string::npos);
    EXPECT_EQ(missing.err.find("already in use"), std::string::npos);

    QFile state(QString::fromStdString(path("state.bin")));
    ASSERT_TRUE(state.open(QIODevice::WriteOnly));
    state.write("not a state file");
    state.close();
    EXPECT_EQ(device({"query"}).status, 2);
}

TEST_F(DeviceEndToEnd, ADamagedRead_IsRepeatedOnceThenRefusedWritingNothing) {
    // One wrong byte in data block 27 of every read lies in Output 2's band 7.
    link::test::EmulatorProcess always({"--wrong-byte", "data:27"});
    ASSERT_FALSE(always.path().empty());
    const auto refused =
        runBinary({"device", "--port", always.path(), "read", "25", "-o", path("b.KV2")});
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.err.find("The two copies of the memory image differ: Output 2 band 7 "
                               "frequency."),
              std::string::npos)
        << refused.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("b.KV2"))));

    link::test::EmulatorProcess once({"--wrong-byte", "data:27", "--fault-transfers", "1"});
    ASSERT_FALSE(once.path().empty());
    const auto read =
        runBinary({"device", "--port", once.path(), "read", "25", "-o", path("b.KV2")});
    ASSERT_EQ(read.status, 0) << read.err;
    const auto shown = runBinary({"preset", "show", path("b.KV2")});
    EXPECT_NE(shown.out.find("Output[2].Peq[7].FrequencyHz = 999.97"), std::string::npos);
}

}  // namespace
}  // namespace kvn::cli
