// File > "Save report as PDF..." and "Print report..." in the whole editor.
#include "EditorHarness.h"

#include "ui/editors/EditorWindows.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/TMainMenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>

namespace kvn::ui::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ReportActions, SaveAsPdf_WritesTheChosenFileNamedAfterTheSystemAndSaysWhyAFailedOneFailed) {
    EditorHarness editor(installEditorWindows);
    QMenu* file = editor.app().mainMenu().menu(TMainMenu::Menu::File);
    QAction* save = file->findChild<QAction*>(QStringLiteral("SaveReportAction"));
    ASSERT_NE(save, nullptr);
    ASSERT_NE(file->findChild<QAction*>(QStringLiteral("PrintReportAction")), nullptr);
    // Above Exit, which ends the menu.
    const QList<QAction*> entries = file->actions();
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries.back()->objectName(), QStringLiteral("ExitAction"));
    EXPECT_TRUE(entries.contains(save));

    editor.app().context().edits.apply({QStringLiteral("System name"), {link::EditScope::quiet()}},
                                       [](ProcessorConfig& c) { c.SystemName = "Main Hall"; });
    const QString pdf = editor.path(QStringLiteral("hall.pdf"));
    editor.dialogs().chooseFile(pdf);
    save->trigger();
    ASSERT_EQ(editor.dialogs().fileRequests().size(), 1u);
    EXPECT_EQ(editor.dialogs().fileRequests()[0].initialName,
              QStringLiteral("Main Hall report.pdf"));
    EXPECT_TRUE(readAll(pdf).startsWith("%PDF"));
    EXPECT_TRUE(editor.dialogs().texts().isEmpty());

    // Cancelled: nothing written, nothing said.
    QFile::remove(pdf);
    editor.dialogs().chooseFile(std::nullopt);
    save->trigger();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(editor.dialogs().texts().isEmpty());

    editor.dialogs().chooseFile(editor.path(QStringLiteral("no/such/folder/r.pdf")));
    save->trigger();
    EXPECT_TRUE(editor.dialogs().lastText().startsWith(
        QStringLiteral("Cannot write ") + editor.path(QStringLiteral("no/such/folder/r.pdf")) +
        QStringLiteral(": ")))
        << editor.dialogs().lastText().toStdString();
}

}  // namespace
}  // namespace kvn::ui::test
