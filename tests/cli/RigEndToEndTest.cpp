// kvn350 rig against four kvn350-emulator processes on pseudo-terminals, one of them protected.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QString>
#include <memory>

#include "CliTestSupport.h"
#include "EmulatorProcess.h"

namespace kvn::cli {
namespace {

using test::runBinary;
using ::testing::HasSubstr;

TEST(RigEndToEnd, FourProcessorsOnePortEach_OneProtected_TheOthersFinishAndExitIsThree) {
    const test::TestFiles files;
    ASSERT_EQ(runBinary({"preset", "new", files.path("p.KV2")}).status, 0);
    std::vector<std::unique_ptr<link::test::EmulatorProcess>> emulators;
    std::string entries;
    const char* names[] = {"Left hang", "Right hang", "Front fill", "Subs"};
    for (int i = 0; i < 4; ++i) {
        const QStringList protect = {"--protect", "32"};
        emulators.push_back(
            std::make_unique<link::test::EmulatorProcess>(i == 2 ? protect : QStringList()));
        ASSERT_FALSE(emulators.back()->path().empty());
        entries += std::string(i == 0 ? "" : ", ") + R"({"name": ")" + names[i] +
                   R"(", "port": ")" + emulators.back()->path() + R"(", "memory": )" +
                   std::to_string(30 + i) + R"(, "preset": "p.KV2"})";
    }
    const std::string rig = files.write("rig.json", "{\"processors\": [" + entries + "]}");

    EXPECT_EQ(runBinary({"rig", "write", rig}).status, 1);  // no --yes
    const auto write = runBinary({"rig", "write", rig, "--yes"});
    EXPECT_EQ(write.status, 3) << write.err;
    EXPECT_THAT(write.out, HasSubstr("3 of 4 processors written and verified"));
    EXPECT_THAT(write.out, HasSubstr("Subs: p.KV2 -> memory 33, recalled and verified"));
    EXPECT_THAT(write.err, HasSubstr("kvn350: Front fill: the memory is protected (MEMORY "
                                     "PROTECTED. If you want to override it"));

    const auto status = runBinary({"rig", "status", rig, "--json"});
    EXPECT_EQ(status.status, 3);
    for (const char* ready : {"Left hang", "Right hang", "Subs"}) {
        EXPECT_THAT(status.out,
                    HasSubstr(std::string("\"name\": \"") + ready + "\",\n      \"port\""));
    }
    EXPECT_THAT(status.out, HasSubstr("\"state\": \"differs\""));
    EXPECT_EQ(QString::fromStdString(status.out).count(QStringLiteral("\"state\": \"ready\"")), 3);

    // A bad rig file names the entry and the field.
    files.write(
        "rig.json",
        R"({"processors": [{"name": "Subs", "port": "COM1", "memory": 99, "preset": "p.KV2"}]})");
    const auto bad = runBinary({"rig", "status", rig});
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.err, HasSubstr("entry 1 (Subs): memory:"));
}

}  // namespace
}  // namespace kvn::cli
