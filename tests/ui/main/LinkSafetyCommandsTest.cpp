// The editor's safe-work commands end to end against the virtual processor: backup from the File
// menu and the traffic window.
#include "EditorHarness.h"

#include "ui/main/LinkSafetyCommands.h"
#include "ui/main/TLinkTrafficForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
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

}  // namespace
}  // namespace kvn::ui::test
