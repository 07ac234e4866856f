// The device command's questions and progress line, run in-process against the virtual
// processor.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <sstream>

#include "CliTestSupport.h"
#include "cli/TerminalProgress.h"

namespace kvn::cli {
namespace {

using test::runInProcess;

TEST(DeviceCommand, WriteOnATerminal_AsksAndGoesOnOnlyOnYes) {
    QTemporaryDir dir;
    const std::string preset = QDir(dir.path()).filePath("p.KV2").toStdString();
    ASSERT_EQ(runInProcess({"preset", "new", preset}).status, 0);
    const std::vector<std::string> write = {"device", "--port", "virtual", "write", "21", preset};

    const auto no = runInProcess(write, "n\n", true);
    EXPECT_EQ(no.status, 1);
    EXPECT_NE(no.err.find("The memory 21 have a preset stored. Do you want to overwrite it? [y/N]"),
              std::string::npos);
    EXPECT_EQ(no.err.find("Sending START..."), std::string::npos);  // nothing was sent

    const auto yes = runInProcess(write, "yes\n", true);
    EXPECT_EQ(yes.status, 0) << yes.err;
    // On a terminal the steps and the gauge are drawn on one line, which is cleared at the end.
    EXPECT_NE(yes.err.find("\rSending DATA... to Memory 21"), std::string::npos);
    EXPECT_NE(yes.err.find("[####################]"), std::string::npos);
    EXPECT_EQ(yes.err.substr(yes.err.size() - 4), "\r\033[K");
}

TEST(TerminalProgress, WithoutTerminal_PrintsOnlyMessages) {
    std::ostringstream err;
    TerminalProgress progress(err, false);
    progress.setInfo("Sending START...");
    progress.setGaugeMaximum(64);
    progress.setGaugePosition(32);
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(progress.messageShown());
    progress.showMessage(link::MessageKind::Information, "MEMORY PROTECTED.");
    EXPECT_EQ(err.str(), "kvn350: MEMORY PROTECTED.\n");
    EXPECT_TRUE(progress.messageShown());
    EXPECT_EQ(progress.lastInfo(), "Sending START...");
}

TEST(TerminalProgress, OnATerminal_AMessageClearsTheLineFirst) {
    std::ostringstream err;
    TerminalProgress progress(err, true);
    progress.setGaugeMaximum(100);
    progress.setGaugePosition(50);
    progress.setInfo("Sending DATA...");
    EXPECT_NE(err.str().find("[##########          ]"), std::string::npos);
    progress.showMessage(link::MessageKind::Error, "ERROR");
    EXPECT_EQ(err.str().substr(err.str().size() - 18), "\r\033[Kkvn350: ERROR\n");
}

}  // namespace
}  // namespace kvn::cli
