// preset copy-output: what it refuses and what it leaves alone.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "CliTestSupport.h"
#include "cli/CliError.h"

namespace kvn::cli {
namespace {

using test::runInProcess;

TEST(PresetCopyOutput, OntoItselfWritesNothingAndBadArgumentsAreUsageErrors) {
    QTemporaryDir dir;
    const std::string rich = KVN_TEST_DATA_DIR "/rich.KV2";
    const std::string out = QDir(dir.path()).filePath("out.KV2").toStdString();

    const auto same =
        runInProcess({"preset", "copy-output", rich, "--from", "3", "--to", "3", "-o", out});
    EXPECT_EQ(same.status, kExitOk);
    EXPECT_EQ(same.err, "kvn350: copying SUB onto itself changes nothing; nothing was written\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));

    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--from", "1", "--to", "4", "-o", out},
          {"--from", "1", "--to", "2", "--groups", "peq,eq", "-o", out},
          {"--from", "1", "--to", "2", "--groups", ",", "-o", out},
          {"--from", "1", "--to", "2"}}) {
        std::vector<std::string> args{"preset", "copy-output", rich};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(runInProcess(args).status, kExitUsage) << extra[3];
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));

    const auto bypass =
        runInProcess({"preset", "copy-output", KVN_TEST_DATA_DIR "/default.KV2", "--from", "1",
                      "--to", "3", "--groups", "xover,gain", "-o", out});
    EXPECT_EQ(bypass.status, kExitOk);
    EXPECT_NE(bypass.err.find("cannot be bypassed"), std::string::npos);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(out)));
}

}  // namespace
}  // namespace kvn::cli
