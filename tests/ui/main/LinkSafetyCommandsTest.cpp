// The editor's safe-work commands end to end against the virtual processor: backup from the File
// menu, the traffic window, and real-time editing that loses the link.
#include "EditorHarness.h"

#include "config/MemoryImage.h"
#include "emulator/FaultPlan.h"
#include "link/TrafficLog.h"
#include "ui/main/LinkSafetyCommands.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TLinkTrafficForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

namespace kvn::ui::test {
namespace {

TEST(LinkSafety, BackupFromTheMenuAndTheTrafficWindowShowsTheConversation) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    const QString folder = editor.path(QStringLiteral("backup"));
    editor.dialogs().chooseFile(folder);
    editor.find<QAction>(QStringLiteral("BackupAction"))->trigger();
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("memory-*.KV2")}).size(), 40);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return editor.dialogs().lastText().startsWith(QStringLiteral("40 memories backed up"));
        },
        5000))
        << editor.dialogs().lastText().toStdString();

    TLinkTrafficForm& traffic = editor.app().safety().trafficWindow();
    traffic.refresh();
    EXPECT_TRUE(traffic.view()->toPlainText().contains(QStringLiteral("Sent: ")));
    EXPECT_TRUE(traffic.view()->toPlainText().contains(QStringLiteral("Recv: ")));
}

TEST(LinkSafety, TheTrafficViewFollowsNewLinesUnlessScrolledUp) {
    link::TrafficLog log;
    ScriptedDialogs dialogs;
    TLinkTrafficForm traffic(log, dialogs);
    traffic.show();
    QScrollBar* bar = traffic.view()->verticalScrollBar();
    const auto add = [&](int lines, std::size_t width) {
        for (int i = 0; i < lines; ++i) {
            log.note(std::string(width, '5'));
        }
        traffic.refresh();
        QTest::qWait(20);  // the view lays itself out again between refreshes
    };
    // Short lines, then lines wider than the view (its horizontal bar appears), then more than
    // the view keeps.
    for (const auto& [lines, width] :
         {std::pair{300, 10}, {1, 300}, {5, 10}, {50, 300}, {21000, 300}}) {
        SCOPED_TRACE(lines);
        add(lines, width);
        ASSERT_GT(bar->maximum(), 0);
        EXPECT_EQ(bar->value(), bar->maximum());
    }
    bar->setValue(10);  // the user reads older lines: the view stays up there
    add(50, 10);
    EXPECT_LT(bar->value(), 20);
}

TEST(LinkSafety, RealTimeEditsAfterTheLinkIsLostAreKeptAndReconnectingOffersTheCheckedWrite) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    ASSERT_TRUE(editor.startRealTime());
    const int memory = editor.device().activeMemory();
    auto* label = editor.find<QLabel>(QStringLiteral("OutOfStepLabel"));
    EXPECT_TRUE(label->isHidden());

    // The processor goes away; the next edit's message cannot be sent, and neither can the one
    // after it, but both edits stay in the configuration.
    editor.device().setFaults(emu::FaultPlan{.goneAfterBytes = 0});
    ProcessorConfig& config = editor.app().config();
    editor.click(QStringLiteral("Route1B"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !label->isHidden(); }, 5000));
    editor.click(QStringLiteral("Route2B"));
    EXPECT_EQ(label->text(), QStringLiteral("Processor out of step: 2 edits did not reach it"));
    EXPECT_EQ(editor.status(), QStringLiteral("Status : Offline"));
    EXPECT_EQ(std::tuple(config.output(1).Route, config.output(2).Route),
              std::tuple(kRouteAB, kRouteA));

    // Back on the line: the editor offers to write what it holds, checked, to the running memory.
    editor.device().setFaults(emu::FaultPlan{});
    editor.device().reconnect();
    editor.dialogs().answer(Answer::Yes);
    ASSERT_TRUE(editor.connectVirtual());
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->isHidden(); }, 5000));
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_TRUE(editor.shown(
        QStringLiteral(
            "The link to the processor was lost during real-time editing, so the "
            "processor is out of step: it does not have the latest edits. Do you want to "
            "write the present configuration to memory %1 (and check it) so that the "
            "processor runs it?")
            .arg(memory)));
    const ImageBuffer image = BuildImage(config);
    const emu::Image stored = editor.device().memory(memory);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), stored.begin(), stored.end()));
    EXPECT_TRUE(editor.device().bankDifferences(1, image).empty());
}

}  // namespace
}  // namespace kvn::ui::test
