#include "EditorHarness.h"

#include "ui/main/DeviceWorkflow.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/PortSettings.h"
#include "ui/main/PortSettingsDialog.h"
#include "ui/main/TConnectForm.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/TW_Serial_Info_Form.h"
#include "widgets/LedButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>

namespace kvn::ui::test {
namespace {

TEST(StartUp, ConnectionWindowComesFirstAndTheMainWindowShowsEveryDefault) {
    EditorHarness editor;
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("KVN-350"));
    EXPECT_TRUE(editor.app().connectForm().isVisible());
    EXPECT_TRUE(editor.app().connectForm().isWindow());
    EXPECT_FALSE(editor.app().mainMenu().isVisible());
    EXPECT_TRUE(editor.find<widgets::LedButton>("VirtualB")->isEnabled());

    TMainMenu& main = editor.app().mainMenu();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("KVN 350"));
    EXPECT_EQ(editor.status(), QStringLiteral("No Connected"));
    auto* spin = editor.find<QSpinBox>("NProgramSpin");
    EXPECT_EQ(spin->value(), 21);
    EXPECT_EQ(spin->minimum(), 21);
    EXPECT_EQ(spin->maximum(), 60);
    const QStringList names{"SystemName", "In1Edit",  "In2Edit",
                            "Out1Edit",   "Out2Edit", "OutSub1Edit"};
    const QStringList defaults{"NoName", "In1", "In2", "Out1", "Out2", "SUB"};
    for (qsizetype i = 0; i < names.size(); ++i) {
        EXPECT_EQ(editor.find<QLineEdit>(names[i])->text(), defaults[i]);
    }
    EXPECT_EQ(editor.find<QToolButton>("Route1B")->property("route").toInt(), 0);
    EXPECT_EQ(editor.find<QToolButton>("Route2B")->property("route").toInt(), 2);
    EXPECT_EQ(editor.find<QToolButton>("Route3B")->property("route").toInt(), 1);
    for (const char* mark : {"MuteLabel1", "x1", "MuteLabel2", "x2", "MuteLabel3", "x3"}) {
        EXPECT_TRUE(editor.find<QLabel>(mark)->isHidden()) << mark;
    }
    for (const char* control : {"ReadButton", "WriteButton", "ChangeButton", "UnblockB", "BlockB",
                                "PasswordB", "NProgramSpin", "UpdateDSP"}) {
        EXPECT_FALSE(editor.find<QWidget>(control)->isEnabled()) << control;
    }
    // No editor window is registered yet: its buttons say so.
    auto* peq = editor.find<QPushButton>("Peq1Btn");
    EXPECT_FALSE(peq->isEnabled());
    EXPECT_FALSE(peq->toolTip().isEmpty());
    EXPECT_NE(editor.find<QPushButton>("Dynamic5Btn"), nullptr);
    EXPECT_FALSE(editor.app().workflow().realTimeMode());
    EXPECT_TRUE(editor.find<QWidget>("Button1")->isHidden());
}

TEST(Connection, OfflineAndVirtualChoicesSettleTheStatusAndTheControls) {
    EditorHarness editor;
    ASSERT_TRUE(editor.choose(TConnectForm::kOffline));
    EXPECT_EQ(editor.status(), QStringLiteral("Status : Offline"));
    EXPECT_TRUE(editor.app().mainMenu().isVisible());
    EXPECT_FALSE(editor.app().connectForm().isVisible());
    EXPECT_FALSE(editor.transferControlsEnabled());

    editor.click("ConnectButton");
    EXPECT_TRUE(editor.app().connectForm().isVisible());
    ASSERT_TRUE(editor.connectVirtual());
    EXPECT_TRUE(editor.transferControlsEnabled());
    EXPECT_FALSE(editor.app().connectForm().isVisible());
    EXPECT_EQ(editor.app().connectForm().litIndicator(), TConnectForm::kVirtual);
    EXPECT_EQ(editor.app().serialInfoForm().portText(),
              QStringLiteral("Comunication Port : Virtual"));
    EXPECT_EQ(editor.dialogs().unscripted(), 0);
    // The virtual processor answers the connection check as a letter-password processor.
    EXPECT_TRUE(editor.app().device().letterPassword());

    ASSERT_TRUE(editor.choose(TConnectForm::kCom1));
    EXPECT_EQ(editor.status(), QStringLiteral("Status : Connected at COM1"));
}

TEST(Connection, PortsAndConvertersThatCannotBeOpenedLeaveTheLinkOffline) {
    EditorHarness editor;
    editor.setPortsPresent(false);
    ASSERT_TRUE(editor.choose(TConnectForm::kCom3));
    EXPECT_EQ(editor.dialogs().lastText(),
              QStringLiteral("COM Port already in use. Select another."));
    EXPECT_TRUE(editor.app().connectForm().isVisible());
    EXPECT_FALSE(editor.app().mainMenu().isVisible());
    EXPECT_EQ(editor.app().connectForm().litIndicator(), TConnectForm::kOffline);
    EXPECT_EQ(editor.status(), QStringLiteral("No Connected"));

    // USB runs the Offline choice first, so a converter that cannot be opened ends offline.
    editor.setUsbPresent(false);
    ASSERT_TRUE(editor.choose(TConnectForm::kUsb));
    EXPECT_TRUE(editor.dialogs().lastText().startsWith(
        QStringLiteral("Can't open the USB. Please verify that the USB port is correct and your "
                       "KVN 350 unit is switch on - Device Not Found")));
    EXPECT_EQ(editor.status(), QStringLiteral("Status : Offline"));
    EXPECT_FALSE(editor.transferControlsEnabled());

    editor.setUsbPresent(true);
    ASSERT_TRUE(editor.choose(TConnectForm::kUsb));
    EXPECT_EQ(editor.status(), QStringLiteral("Status : USB"));
    EXPECT_TRUE(editor.transferControlsEnabled());
}

TEST(Connection, PortSettingsAreKeptAndShownUnderTheirButtons) {
    EditorHarness editor;
    auto* dialog = qobject_cast<PortSettingsDialog*>(editor.app().openPortSettings());
    ASSERT_NE(dialog, nullptr);
    dialog->portField(2)->setEditText(QStringLiteral("  /dev/pts/7 "));
    dialog->accept();
    QSettings settings(editor.path("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(loadPortMap(settings).path(2), "/dev/pts/7");
    EXPECT_EQ(loadPortMap(settings).path(1), link::PortMap::defaults().path(1));
    const auto labels = editor.app().connectForm().findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
        return label->text() == QStringLiteral("/dev/pts/7");
    }));
}

TEST(VirtualProcessor, KeepsItsMemoriesFromOneRunToTheNext) {
    QTemporaryDir folder;
    const QString state = folder.filePath(QStringLiteral("data/virtual.state"));
    std::vector<std::uint8_t> written;
    {
        EditorHarness first(state);
        ASSERT_TRUE(first.connectVirtual());
        first.app().config().SystemName = "Kept";
        written = first.app().workflow().buildImage();
        first.find<QSpinBox>("NProgramSpin")->setValue(44);
        first.dialogs().answer(Answer::Yes);
        first.click("WriteButton");
        ASSERT_TRUE(first.waitIdle());
    }
    EditorHarness second(state);
    const emu::Image kept = second.device().memory(44);
    EXPECT_EQ(std::vector<std::uint8_t>(kept.begin(), kept.end()), written);
    EXPECT_EQ(second.dialogs().shown().size(), 0u);

    // A damaged state file is reported and the processor starts afresh.
    QFile damaged(folder.filePath(QStringLiteral("damaged.state")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a state");
    damaged.close();
    EditorHarness third(damaged.fileName());
    EXPECT_EQ(third.dialogs().shown().size(), 1u);
    EXPECT_TRUE(third.dialogs().lastText().startsWith(
        QStringLiteral("The virtual processor's memories from the last run could not be read")));
}

TEST(Closing, TheConnectionWindowAsksToSaveAndOnlyYesOrNoEndTheProgram) {
    EditorHarness editor;
    QSignalSpy finished(&editor.app(), &EditorApplication::finished);
    const QString question = QStringLiteral(
        "KVN 350 is closing...Do you want to save the present configuration before?");

    editor.dialogs().answer(Answer::Cancel);
    editor.app().mainMenu().close();
    EXPECT_EQ(editor.dialogs().lastText(), question);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(editor.app().connectForm().isVisible());

    // Yes whose save is cancelled keeps the program open: the configuration is not lost.
    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(std::nullopt);
    editor.app().connectForm().close();
    EXPECT_EQ(finished.count(), 0);

    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(editor.path("closing.KV2"));
    editor.app().connectForm().close();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(QFileInfo::exists(editor.path("closing.KV2")));

    EditorHarness other;
    QSignalSpy otherFinished(&other.app(), &EditorApplication::finished);
    other.dialogs().answer(Answer::No);
    other.app().connectForm().close();
    EXPECT_EQ(otherFinished.count(), 1);
    EXPECT_EQ(other.dialogs().fileRequests().size(), 0u);
}

}  // namespace
}  // namespace kvn::ui::test
