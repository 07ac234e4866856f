#include "EditorHarness.h"

#include "ui/main/EditorForm.h"
#include "ui/main/MainMenuActions.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/RecentFiles.h"
#include "ui/main/TAboutForm.h"
#include "ui/main/THelpForm.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/WindowPlacement.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTest>

namespace kvn::ui::test {
namespace {

// An editor window that does nothing but be one, to press keys in.
class ProbeForm : public EditorForm {
public:
    explicit ProbeForm(EditorContext& context)
        : EditorForm(context, QStringLiteral("ProbeForm"), QStringLiteral("Probe")) {}
    void openFor(int) override { show(); }

protected:
    void refresh(const ConfigChange&) override {}
};

QString entry(QWidget& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name))->text().remove(QLatin1Char('&'));
}

void press(QWidget* window, QKeyCombination keys) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }));
    QTest::keyClick(window, keys.key(), keys.keyboardModifiers());
}

TEST(MainMenus, ShortcutsUndoAndSaveNameTheStepMarkTheCaptionAndNewStartsAFreshHistory) {
    EditorHarness editor;
    auto owned = std::make_unique<ProbeForm>(editor.app().context());
    ProbeForm* probe = owned.get();
    editor.app().addEditor(EditorKind::Delay, std::move(owned));
    TMainMenu& main = editor.app().mainMenu();
    main.show();
    const ProcessorConfig& config = editor.app().config();

    editor.type("Out1Edit", "Top");
    EXPECT_EQ(entry(main, "UndoAction"), QStringLiteral("Undo Output 1 name"));
    EXPECT_EQ(main.windowTitle(), QStringLiteral("KVN 350 *"));
    press(&main, Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(config.output(1).Name, "Out1");
    EXPECT_EQ(main.windowTitle(), QStringLiteral("KVN 350"));
    EXPECT_EQ(entry(main, "RedoAction"), QStringLiteral("Redo Output 1 name"));
    press(&main, Qt::CTRL | Qt::Key_Y);
    EXPECT_EQ(config.output(1).Name, "Top");
    probe->openFor(0);  // the editors share the shortcuts
    press(probe, Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(config.output(1).Name, "Out1");
    press(probe, Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(config.output(1).Name, "Top");

    // Save asks for a name the first time, then writes to that file without asking.
    const QString file = editor.path("Stage.KV2");
    editor.dialogs().chooseFile(file);
    press(&main, Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(main.windowTitle(),
              QStringLiteral("KVN 350 Loudspeaker Management System Stage.KV2"));
    editor.type("Out2Edit", "Fill");
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral("Stage.KV2 *")));
    const auto asked = editor.dialogs().fileRequests().size();
    press(probe, Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(editor.dialogs().fileRequests().size(), asked);
    EXPECT_FALSE(editor.app().workflow().edits().modified());
    editor.dialogs().chooseFile(std::nullopt);
    press(&main, Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    EXPECT_EQ(editor.dialogs().fileRequests().size(), asked + 1);

    press(&main, Qt::CTRL | Qt::Key_N);  // saved: New asks nothing
    EXPECT_EQ(config.output(2).Name, "Out2");
    EXPECT_FALSE(main.findChild<QAction*>("UndoAction")->isEnabled());
    EXPECT_EQ(entry(main, "UndoAction"), QStringLiteral("Undo"));

    editor.dialogs().chooseFile(file);
    press(&main, Qt::CTRL | Qt::Key_O);  // nothing to save after New
    EXPECT_EQ(config.output(2).Name, "Fill");
    EXPECT_FALSE(editor.app().workflow().edits().canUndo());

    press(&main, QKeyCombination(Qt::Key_F1));
    EXPECT_TRUE(editor.app().menuActions().helpForm().isVisible());
    main.findChild<QAction*>("AboutAction")->trigger();
    EXPECT_TRUE(editor.app().menuActions().aboutForm().isVisible());
    for (const auto& [library, version] : libraryVersions()) {
        EXPECT_FALSE(version.isEmpty()) << library.toStdString();
    }
    EXPECT_EQ(editor.dialogs().unscripted(), 0) << editor.dialogs().lastText().toStdString();
}

TEST(MainMenus, RecentFilesReopenAndAFileThatIsGoneLeavesTheListWithoutNew) {
    EditorHarness editor;
    ProcessorConfig& config = editor.app().config();
    for (const char* name : {"a.KV2", "b.KV2"}) {
        config.output(3).Name = name;
        ASSERT_TRUE(editor.app().workflow().writePresetFile(editor.path(name)));
    }
    auto* recent = editor.app().mainMenu().findChild<QMenu*>("RecentMenu");
    ASSERT_GE(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), QStringLiteral("&1 b.KV2"));
    EXPECT_EQ(recent->actions()[1]->data().toString(), editor.path("a.KV2"));

    recent->actions()[1]->trigger();
    EXPECT_EQ(config.output(3).Name, "a.KV2");
    EXPECT_EQ(editor.app().menuActions().recentFiles().paths().front(), editor.path("a.KV2"));

    ASSERT_TRUE(QFile::remove(editor.path("b.KV2")));
    config.output(1).Name = "Kept";
    const auto shown = editor.dialogs().shown().size();
    recent->actions()[1]->trigger();
    EXPECT_EQ(editor.dialogs().shown().size(), shown + 1);  // the warning, not New's question
    EXPECT_EQ(config.output(1).Name, "Kept");
    EXPECT_EQ(editor.app().menuActions().recentFiles().paths(), QStringList{editor.path("a.KV2")});
}

TEST(WindowPlacement, AWindowReturnsWhereItWasLeftAndOnlyAfterItWasShown) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    const QRect placed(130, 90, 420, 260);
    {
        QWidget window;
        window.setObjectName("TPEQForm");
        WindowPlacement placement(window);
        placement.setSettings(&settings);
        placement.save();  // never shown: nothing is remembered
        EXPECT_FALSE(settings.contains("Windows/TPEQForm/geometry"));
        window.show();
        placement.shown();
        window.setGeometry(placed);
        placement.save();
    }
    QWidget again;
    again.setObjectName("TPEQForm");
    WindowPlacement placement(again);
    placement.setSettings(&settings);
    placement.shown();
    EXPECT_EQ(again.geometry(), placed);
}

}  // namespace
}  // namespace kvn::ui::test
