// File > "Save report as PDF..." and "Print report..." in the whole editor.
#include "EditorHarness.h"

#include "ui/analysis/AnalysisWindows.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/TMainMenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QProcess>

namespace kvn::ui::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool saveReportAsPdfFromMenu(EditorHarness& editor) {
    QMenu* file = editor.app().mainMenu().menu(TMainMenu::Menu::File);
    QAction* save = file->findChild<QAction*>(QStringLiteral("SaveReportAction"));
    if (save == nullptr) {
        return false;
    }
    save->trigger();
    return editor.dialogs().texts().isEmpty();
}

TEST(ReportActions, SaveAsPdf_WritesTheChosenFileNamedAfterTheSystemAndSaysWhyAFailedOneFailed) {
    EditorHarness editor(installAnalysisWindows);
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

TEST(ReportActions, SaveAsPdf_TheTotalResponseIncludesTheImportedLoudspeakers) {
    EditorHarness editor(installAnalysisWindows);
    const QString frd = editor.path(QStringLiteral("top.frd"));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(KVN_TEST_DATA_DIR "/../../data/measurements/top.frd"), frd));
    // New import settings: the editor imports the file, as the total response window shows it.
    editor.app().context().edits.apply({QStringLiteral("Import"), {link::EditScope::quiet()}},
                                       [&frd](ProcessorConfig& c) {
                                           c.MeasurementFile[0] = frd.toStdString();
                                           c.MeasurementFormat = 11;
                                       });
    const QString pdf = editor.path(QStringLiteral("r.pdf"));
    editor.dialogs().chooseFile(pdf);
    ASSERT_TRUE(saveReportAsPdfFromMenu(editor));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    EXPECT_TRUE(text.readAllStandardOutput().contains(
        "Total response with the measured loudspeakers of Output 1"));
}

}  // namespace
}  // namespace kvn::ui::test
