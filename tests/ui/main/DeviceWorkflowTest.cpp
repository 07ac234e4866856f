#include "EditorHarness.h"

#include "config/Encodings.h"
#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "emulator/FaultPlan.h"
#include "ui/main/DeviceWorkflow.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TConnectForm.h"
#include "ui/main/TPasswordForm.h"
#include "ui/main/TProgresionForm.h"
#include "ui/main/TW_Serial_Info_Form.h"
#include "widgets/LedButton.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <cstdio>

namespace kvn::ui::test {
namespace {

const QString kProtected = QStringLiteral(
    "MEMORY PROTECTED. If you want to override it, you must unprotect it from the keyboard of the "
    "Processor.");

std::vector<std::uint8_t> bytesOf(const ImageBuffer& image) {
    return {image.begin(), image.end()};
}

std::vector<std::uint8_t> memoryOf(EditorHarness& editor, int memory) {
    const emu::Image image = editor.device().memory(memory);
    return {image.begin(), image.end()};
}

// Names, routes and levels away from the defaults, as a read of them would leave them, taken as
// the configuration nothing is unsaved of.
void makeDistinct(EditorHarness& editor, const char* name) {
    ProcessorConfig& config = editor.app().config();
    config.SystemName = name;
    config.output(1).Name = "Top";
    config.output(3).Route = kRouteB;
    config.output(2).LevelPosition = 121;
    config.output(1).Inverted = true;
    config.output(2).DelaySamples = 55;
    const ImageBuffer image = BuildImage(config);
    ASSERT_TRUE(LoadImage(image, config).loaded);
    editor.app().workflow().configurationReplaced();
}

void writeMemory(EditorHarness& editor, int memory) {
    editor.find<QSpinBox>("NProgramSpin")->setValue(memory);
    editor.dialogs().answer(Answer::Yes);
    editor.click("WriteButton");
    ASSERT_TRUE(editor.waitIdle());
}

std::string firmwareText(int lines = 512) {
    std::string text = "const unsigned char Dsp[2560] = {\n";
    for (int line = 0; line < lines; ++line) {
        for (int entry = 0; entry < 5; ++entry) {
            char item[8];
            std::snprintf(item, sizeof item, "0x%02X", (line * 5 + entry) & 0xFF);
            text += item;
            text += (line == 511 && entry == 4) ? "" : " , ";
        }
        text += "\n";
    }
    return text;
}

QString writeText(EditorHarness& editor, const QString& name, const std::string& text) {
    QFile file(editor.path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    return file.fileName();
}

TEST(Transfers, WriteThenReadGiveBackTheConfigurationThroughTheVirtualProcessor) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    ProcessorConfig& config = editor.app().config();
    makeDistinct(editor, "Written");
    const std::vector<std::uint8_t> image = bytesOf(BuildImage(config));

    editor.find<QSpinBox>("NProgramSpin")->setValue(33);
    editor.dialogs().answer(Answer::Yes);
    editor.click("WriteButton");
    EXPECT_FALSE(editor.transferControlsEnabled());
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.dialogs().texts().front(),
              QStringLiteral("The memory 33 have a preset stored. Do you want to overwrite it?"));
    EXPECT_TRUE(editor.transferControlsEnabled());
    EXPECT_EQ(memoryOf(editor, 33), image);
    EXPECT_EQ(editor.device().activeMemory(), 33);  // written memories are recalled

    editor.click("NewButton");  // nothing unsaved: New and Read ask nothing
    ASSERT_EQ(config.SystemName, "NoName");
    editor.click("ReadButton");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(bytesOf(BuildImage(config)), image);
    EXPECT_TRUE(
        editor.find<QLineEdit>("SystemName")->text().startsWith(QStringLiteral("Written ")));
    EXPECT_EQ(editor.find<QLineEdit>("Out1Edit")->text(), QStringLiteral("Top   "));
    EXPECT_FALSE(editor.app().progresionForm().isVisible());
    EXPECT_FALSE(editor.app().serialInfoForm().isVisible());
    EXPECT_TRUE(editor.transferControlsEnabled());
    EXPECT_EQ(editor.dialogs().unscripted(), 0);
}

TEST(Transfers, AReadThatStaysDamagedNamesTheFieldAndLoadsNothing) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    ProcessorConfig& config = editor.app().config();
    makeDistinct(editor, "Written");
    writeMemory(editor, 33);
    editor.dialogs().answer(Answer::No);
    editor.click("NewButton");
    // Work not saved, which the user agrees to give up for what the processor holds, not for
    // nothing.
    editor.app().workflow().edits().apply(
        {QStringLiteral("System name"), {link::EditScope::quiet()}},
        [](ProcessorConfig& c) { c.SystemName = "Unsaved"; });
    const std::vector<std::uint8_t> unsaved = bytesOf(BuildImage(config));

    // Every read comes back with one wrong byte in Output 2's band 7 (data block 27).
    editor.device().setFaults(
        {.wrongByte = emu::WrongByte{.step = emu::TransferStep::DataBlock, .block = 27}});
    editor.dialogs().answer(Answer::No);
    editor.click("ReadButton");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_TRUE(editor.shown(QStringLiteral(
        "Memory 33 came back damaged at two reads in a row, so nothing was taken from it. The "
        "two copies of the memory image differ: Output 2 band 7 frequency.")));
    EXPECT_EQ(bytesOf(BuildImage(config)), unsaved) << "the configuration was replaced";
    EXPECT_TRUE(editor.transferControlsEnabled());

    // A fault on one read only: the second read is whole and is loaded.
    editor.device().setFaults(
        {.wrongByte = emu::WrongByte{.step = emu::TransferStep::DataBlock, .block = 27},
         .faultTransfers = 1});
    editor.dialogs().answer(Answer::No);
    editor.click("ReadButton");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(bytesOf(BuildImage(config)), memoryOf(editor, 33));
}

TEST(Transfers, QuestionsAnsweredNoSendNothingAndChangeRecallsTheMemory) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    const std::uint64_t before = editor.device().counters().bytesReceived;
    editor.dialogs().answer(Answer::No);
    editor.click("WriteButton");
    editor.dialogs().answer(Answer::Cancel);
    editor.click("ChangeButton");
    editor.app().workflow().setOutputName(1, QStringLiteral("Kept"));
    editor.dialogs().answer(Answer::Cancel);  // New's question: a cancelled Read reads nothing
    editor.click("ReadButton");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.device().counters().bytesReceived, before);
    EXPECT_TRUE(editor.transferControlsEnabled());

    editor.find<QSpinBox>("NProgramSpin")->setValue(40);
    editor.dialogs().answer(Answer::Yes);
    editor.click("ChangeButton");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.dialogs().lastText(),
              QStringLiteral("Do you want to Change the present configuration and load the "
                             "memory 40 in the KVN 350 ?"));
    EXPECT_EQ(editor.device().activeMemory(), 40);
}

TEST(Transfers, AProtectedMemoryIsReportedAndTheControlsComeBack) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    editor.device().setProtected(25, true);
    const std::vector<std::uint8_t> before = memoryOf(editor, 25);
    editor.app().config().SystemName = "Not stored";
    writeMemory(editor, 25);
    ASSERT_FALSE(editor.dialogs().shown().empty());
    EXPECT_EQ(editor.dialogs().lastText(), kProtected);
    EXPECT_EQ(editor.dialogs().shown().back().buttons, MessageButtons::Yes);
    EXPECT_EQ(memoryOf(editor, 25), before);
    EXPECT_TRUE(editor.transferControlsEnabled());
    EXPECT_EQ(editor.status(), QStringLiteral("Status : Connected at Virtual"));
}

TEST(Transfers, ASilentProcessorDropsTheLinkToOfflineWithItsMessage) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    emu::FaultPlan silence;
    silence.silentFromByte = 1;
    editor.device().setFaults(silence);
    writeMemory(editor, 22);
    EXPECT_TRUE(editor.shown(QStringLiteral(
        "Comunication ERROR. Please verify that the COM port selected is correct and there isn't "
        "a USB Connected and your KVN 350 unit is in its Main Menu")));
    EXPECT_GE(editor.dialogs().beeps(), 1);
    EXPECT_EQ(editor.status(), QStringLiteral("Status : Offline"));
    EXPECT_FALSE(editor.transferControlsEnabled());
    EXPECT_EQ(editor.app().connectForm().litIndicator(), TConnectForm::kOffline);
    EXPECT_FALSE(editor.app().serialInfoForm().isVisible());
}

TEST(Transfers, AProcessorLostOverUsbAsksToReconnectAndShowsTheConnectionWindow) {
    EditorHarness editor;
    ASSERT_TRUE(editor.choose(TConnectForm::kUsb));
    ASSERT_EQ(editor.status(), QStringLiteral("Status : USB"));
    emu::FaultPlan vanish;
    vanish.goneAfterBytes = 40;
    editor.device().setFaults(vanish);
    writeMemory(editor, 30);
    EXPECT_TRUE(editor.shown(QStringLiteral("The KVN 350 was closed. You need to Reconnect.")));
    EXPECT_TRUE(editor.app().connectForm().isVisible());
    EXPECT_FALSE(editor.transferControlsEnabled());
}

TEST(RealTime, OfflineRefusesAndConnectedReadsTheActiveMemoryBeforeSendingRoutes) {
    EditorHarness editor;
    ASSERT_TRUE(editor.choose(TConnectForm::kOffline));
    editor.click("RealTimeB");
    EXPECT_EQ(editor.dialogs().lastText(),
              QStringLiteral("You are Offline, Real Time Mode is not posible"));
    EXPECT_FALSE(editor.app().workflow().realTimeMode());

    ASSERT_TRUE(editor.connectVirtual());
    ProcessorConfig& config = editor.app().config();
    makeDistinct(editor, "Running");
    const std::vector<std::uint8_t> running = bytesOf(BuildImage(config));
    writeMemory(editor, 35);
    editor.click("NewButton");  // nothing unsaved: no question
    editor.find<QSpinBox>("NProgramSpin")->setValue(21);

    editor.dialogs().answer(Answer::Ok);  // "You are in Real Time Mode!..."
    editor.click("RealTimeB");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_TRUE(editor.shown(QStringLiteral(
        "You are in Real Time Mode!. KVN 350 is going to read the present configuration for "
        "security")));
    EXPECT_TRUE(editor.app().workflow().realTimeMode());
    EXPECT_EQ(editor.find<QSpinBox>("NProgramSpin")->value(), 35);
    EXPECT_EQ(bytesOf(BuildImage(config)), running);

    // In real time a route button sends both gains of its output.
    const std::uint64_t applied = editor.device().counters().realTimeApplied;
    editor.click("Route1B");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return editor.device().counters().realTimeApplied >= applied + 2; }, 5000));
    EXPECT_EQ(editor.device().bankWord(1, 0), encodeFixedWord(0.5));
    EXPECT_EQ(editor.device().bankWord(1, 1), encodeFixedWord(0.5));

    editor.click("RealTimeB");
    EXPECT_FALSE(editor.app().workflow().realTimeMode());

    // A factory memory run from the front panel is what real time starts from, though the
    // selector cannot show it.
    editor.app().workflow().applyAccessCode(QStringLiteral("7939"));
    makeDistinct(editor, "Factory");
    const std::vector<std::uint8_t> factory = bytesOf(BuildImage(config));
    writeMemory(editor, 5);
    editor.app().workflow().applyAccessCode(QStringLiteral("0000"));
    editor.device().recallMemory(5);
    ASSERT_TRUE(editor.startRealTime());
    EXPECT_EQ(bytesOf(BuildImage(config)), factory);
    EXPECT_EQ(editor.find<QSpinBox>("NProgramSpin")->value(), 21);
}

TEST(RealTime, UnsavedChangesAreWrittenOrReadOnlyAsTheUserChooses) {
    enum { Write, Read, Cancel };
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    ProcessorConfig& config = editor.app().config();
    MainWorkflow& workflow = editor.app().workflow();
    makeDistinct(editor, "Running");
    const std::vector<std::uint8_t> running = bytesOf(BuildImage(config));
    writeMemory(editor, 35);
    editor.click("NewButton");
    workflow.setOutputName(1, QStringLiteral("Mine"));
    const std::vector<std::uint8_t> mine = bytesOf(BuildImage(config));
    const auto start = [&](int choice) {
        editor.dialogs().answerChoice(choice);
        editor.click("RealTimeB");
        ASSERT_TRUE(editor.waitIdle());
    };
    const auto unchanged = [&] {
        EXPECT_FALSE(workflow.realTimeMode());
        EXPECT_EQ(bytesOf(BuildImage(config)), mine);
        EXPECT_TRUE(workflow.edits().modified());
        EXPECT_EQ(memoryOf(editor, 35), running);
    };

    // Cancel, and Cancel on the save question after Read, change nothing.
    start(Cancel);
    EXPECT_EQ(editor.dialogs().shown().back().choices,
              (QStringList{"Write this configuration to the processor",
                           "Read the processor's memory", "Cancel"}));
    EXPECT_FALSE(editor.shown(QStringLiteral(
        "You are in Real Time Mode!. KVN 350 is going to read the present configuration for "
        "security")));
    unchanged();
    editor.dialogs().answer(Answer::Cancel);
    start(Read);
    unchanged();
    // Write asks before overwriting the memory the processor runs; No keeps everything.
    editor.dialogs().answer(Answer::No);
    start(Write);
    EXPECT_EQ(editor.dialogs().lastText(),
              QStringLiteral("The memory 35 have a preset stored. Do you want to overwrite it?"));
    unchanged();
    // A protected memory refuses the write: real time stays off, the edits stay.
    editor.device().setProtected(35, true);
    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().answer(Answer::Yes);
    start(Write);
    EXPECT_EQ(editor.dialogs().lastText(), kProtected);
    unchanged();
    editor.device().setProtected(35, false);

    // Write: the checked write, then real time runs on the edited configuration.
    editor.dialogs().answer(Answer::Yes);
    start(Write);
    EXPECT_TRUE(workflow.realTimeMode());
    EXPECT_EQ(memoryOf(editor, 35), mine);
    EXPECT_EQ(bytesOf(BuildImage(config)), mine);
    EXPECT_TRUE(workflow.edits().modified());  // still not saved to a file
    editor.click("RealTimeB");

    // Read after saving: the file keeps the edits, the editor takes the processor's memory.
    editor.device().recallMemory(36);
    ASSERT_NE(memoryOf(editor, 36), mine);
    const QString file = editor.path("mine.KV2");
    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(file);
    start(Read);
    EXPECT_TRUE(workflow.realTimeMode());
    ProcessorConfig processor;
    ASSERT_TRUE(LoadImage(memoryOf(editor, 36), processor).loaded);
    EXPECT_EQ(BuildImage(config), BuildImage(processor));
    ProcessorConfig saved;
    ASSERT_TRUE(OpenPresetFile(file.toStdString(), saved).loaded);
    EXPECT_EQ(QString::fromStdString(saved.output(1).Name).trimmed(), QStringLiteral("Mine"));
    EXPECT_EQ(editor.dialogs().unscripted(), 0) << editor.dialogs().lastText().toStdString();
}

TEST(Keyboard, LockAndUnlockAskFirstAndOnlyOkSends) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    editor.dialogs().answer(Answer::Ok);
    editor.click("BlockB");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.dialogs().lastText(), QStringLiteral("Do you want to LOCK the Keyboard?"));
    EXPECT_TRUE(editor.device().keyboardLocked());

    editor.dialogs().answer(Answer::Cancel);
    editor.click("UnblockB");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.dialogs().lastText(), QStringLiteral("Do you want to UNLOCK the Keyboard?"));
    EXPECT_TRUE(editor.device().keyboardLocked());
    editor.dialogs().answer(Answer::Ok);
    editor.click("UnblockB");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_FALSE(editor.device().keyboardLocked());
}

// The letters and key codes themselves are the password entry's (tests/link); here the window's
// keys, its OK that waits for six places, its switch, and what reaches the processor.
TEST(Password, TheKeysFillSixPlacesOkSendsTheBlockAndCancelSendsNothing) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    const emu::PasswordBlock before = editor.device().password();
    editor.click("PasswordB");
    TPasswordForm& form = editor.app().passwordForm();
    ASSERT_TRUE(form.isVisible());
    EXPECT_FALSE(editor.transferControlsEnabled());
    auto* text = form.findChild<QLineEdit*>("Password_Edit");
    auto* ok = form.findChild<QPushButton*>("OKButton");
    editor.click("FABA_SpeedButton");  // DOWN at a fresh position gives 'Z'
    editor.click("ENTER_SpeedButton");
    editor.click("FARR_SpeedButton");
    editor.click("FARR_SpeedButton");
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(ok->isEnabled());
        editor.click("ENTER_SpeedButton");
    }
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(text->text(), QStringLiteral("ZCAAAA"));
    form.reject();
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.device().password(), before);
    EXPECT_TRUE(editor.transferControlsEnabled());

    editor.click("PasswordB");
    editor.click("SpeedButton1");  // Clear
    EXPECT_EQ(text->text(), QStringLiteral("A"));
    for (int i = 0; i < 6; ++i) {
        editor.click("ENTER_SpeedButton");
    }
    editor.click("PasswordLED");
    ok->click();
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.device().password(), (emu::PasswordBlock{'A', 'A', 'A', 'A', 'A', 'A', 0xFF}));
    EXPECT_TRUE(editor.transferControlsEnabled());
}

TEST(Password, AProcessorThatWantsKeyPressesGetsTheirCodesMasked) {
    EditorHarness editor;
    editor.device().setCommandReply(10);
    ASSERT_TRUE(editor.connectVirtual());
    ASSERT_FALSE(editor.app().device().letterPassword());
    editor.click("PasswordB");
    TPasswordForm& form = editor.app().passwordForm();
    for (int i = 0; i < 6; ++i) {
        editor.click("FARR_SpeedButton");
    }
    EXPECT_EQ(form.findChild<QLineEdit*>("Password_Edit")->text(), QStringLiteral("******"));
    form.findChild<QPushButton*>("OKButton")->click();
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.device().password(), (emu::PasswordBlock{1, 1, 1, 1, 1, 1, 0}));
}

TEST(Firmware, AMalformedTextIsRefusedBeforeAnythingIsSentAndAGoodOneIsLoaded) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    const QString warning = QStringLiteral(
        "WARNING!!! Updating the DSP Operating System may left your KVN 350 unit blocked if it "
        "does not finish correctlly. Please, be sure that  everything is connected well. Do you "
        "want to continue anyway?");
    const std::uint64_t before = editor.device().counters().bytesReceived;

    editor.dialogs().answer(Answer::No);
    editor.click("UpdateDSP");
    EXPECT_EQ(editor.dialogs().lastText(), warning);
    EXPECT_EQ(editor.dialogs().beeps(), 1);

    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(writeText(editor, "short.txt", firmwareText(100)));
    editor.click("UpdateDSP");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.dialogs().shown().back().kind, MessageKind::Error);
    EXPECT_TRUE(editor.dialogs().lastText().contains(QStringLiteral("Nothing was sent")));
    EXPECT_EQ(editor.device().counters().bytesReceived, before);

    // A backup that fails stops the load unless the user says to go on; a folder that is a
    // file cannot be made, even by root.
    const QString dsp = writeText(editor, "dsp.txt", firmwareText());
    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(dsp);
    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(dsp);
    editor.dialogs().answer(Answer::No);
    editor.click("UpdateDSP");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_EQ(editor.dialogs().lastText(), QStringLiteral("The DSP program was not loaded."));
    EXPECT_TRUE(editor.device().firmware().empty());

    // The backup asked for before the load holds every user memory.
    const QString folder = editor.path(QStringLiteral("before-update"));
    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(dsp);
    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(folder);
    editor.click("UpdateDSP");
    ASSERT_TRUE(editor.waitIdle());
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/backup.json")));
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("memory-*.KV2")}).size(), 40);
    const std::vector<std::uint8_t> firmware = editor.device().firmware();
    ASSERT_GE(firmware.size(), 2560u);
    for (int n = 0; n < 2560; ++n) {
        ASSERT_EQ(firmware[static_cast<std::size_t>(n)], n & 0xFF) << n;
    }
    EXPECT_TRUE(editor.device().firmwareDone());
    EXPECT_TRUE(editor.transferControlsEnabled());
}

TEST(Service, CopyToAllWritesEveryMemoryTheSelectorOffers) {
    EditorHarness editor;
    ASSERT_TRUE(editor.connectVirtual());
    const std::vector<std::uint8_t> untouched = memoryOf(editor, 20);
    editor.app().config().SystemName = "Everywhere";
    const std::vector<std::uint8_t> image = editor.app().workflow().buildImage();
    for (int i = 0; i < MainWorkflow::kServiceClicks; ++i) {
        editor.app().workflow().programLabelClicked();
    }
    editor.click("Button1");
    ASSERT_TRUE(editor.waitIdle());
    for (int memory = 21; memory <= 60; ++memory) {
        ASSERT_EQ(memoryOf(editor, memory), image) << memory;
    }
    EXPECT_EQ(memoryOf(editor, 20), untouched);
    EXPECT_TRUE(editor.transferControlsEnabled());
}

}  // namespace
}  // namespace kvn::ui::test
