#include "EditorHarness.h"

#include "config/LoadRefresh.h"
#include "config/MemoryImage.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/LoadingProgress.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TInputPassForm.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/TProgresionForm.h"
#include "ui/main/TSystemInfoForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace kvn::ui::test {
namespace {

const QString kSaveFirst = QStringLiteral("Do you want to save the present configuration?");

// A configuration far from the defaults in every part a preset file holds, as the editors
// would leave it after loading it (so that a save and an open must give it back exactly).
void makeUnusual(ProcessorConfig& config) {
    config.SystemName = "Rehearsal Room";
    config.InputName = {"Kbd", "Vox"};
    config.output(1).Name = "Left";
    config.output(2).Name = "Right";
    config.output(3).Name = "Bass";
    config.ProjectName = "Winter";
    config.Engineer = "J. Doe";
    config.Comments = "two lines\nof notes";
    config.Temperature = 31;
    config.output(1).Route = kRouteB;
    config.output(3).Route = kRouteA;
    config.output(2).band(3).FilterType = 1;
    config.output(2).band(3).FrequencyHz = 2500;
    config.output(2).band(3).GainDb = -4.5;
    config.output(2).band(3).Q = 3.2;
    config.output(1).LowPassEdge.XoverType = 2;
    config.output(1).LowPassEdge.FrequencyHz = 3200;
    config.output(1).DelaySamples = 17;
    config.output(2).Gain = -0.5;
    config.output(3).Muted = true;
    config.output(1).Inverted = true;
    config.unit(1).thresholdDbfs = -12.0f;
    config.MeasurementSpl = 96.0f;
    refreshAfterLoad(config, LoadSource::PresetFile);
}

TEST(New, CancelKeepsEverythingNoResetsThroughTheStagesYesSavesFirst) {
    EditorHarness editor;
    ProcessorConfig& config = editor.app().config();
    config.output(1).DelaySamples = 40;
    config.output(2).Route = kRouteA;
    editor.app().workflow().advanceRoute(2);  // Output 2 now A+B

    editor.dialogs().answer(Answer::Cancel);
    editor.click("NewButton");
    EXPECT_EQ(editor.dialogs().lastText(), kSaveFirst);
    EXPECT_TRUE(editor.app().workflow().newCancelled());
    EXPECT_EQ(config.output(1).DelaySamples, 40);

    editor.dialogs().answer(Answer::No);
    editor.click("NewButton");
    EXPECT_FALSE(editor.app().workflow().newCancelled());
    EXPECT_EQ(config.output(1).DelaySamples, 0);
    EXPECT_EQ(config.output(1).Route, kRouteA);
    EXPECT_EQ(config.output(2).Route, kRouteAB);  // New keeps the routes of Output 2 and SUB
    EXPECT_EQ(editor.find<QToolButton>("Route2B")->property("route").toInt(), kRouteAB);
    TProgresionForm& loading = editor.app().progresionForm();
    EXPECT_FALSE(loading.isVisible());
    EXPECT_EQ(loading.percent(), 100);
    EXPECT_EQ(loading.stepText(), QStringLiteral("DONE..."));
    EXPECT_EQ(loading.title(), QStringLiteral("Initializing "));

    // Yes saves first; a save that does not happen stops New, so nothing is lost.
    editor.app().workflow().edits().apply({QStringLiteral("Delay"), {link::EditScope::quiet()}},
                                          [](ProcessorConfig& c) { c.output(1).DelaySamples = 9; });
    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(std::nullopt);
    editor.click("NewButton");
    EXPECT_EQ(config.output(1).DelaySamples, 9);
    EXPECT_EQ(editor.dialogs().fileRequests().back().title, QStringLiteral("Save KVN File"));
    EXPECT_EQ(editor.dialogs().fileRequests().back().initialName, QStringLiteral("NoName"));

    editor.dialogs().answer(Answer::Yes);
    editor.dialogs().chooseFile(editor.path("before-new.KV2"));
    editor.click("NewButton");
    EXPECT_EQ(config.output(1).DelaySamples, 0);
    EXPECT_EQ(QFileInfo(editor.path("before-new.KV2")).size(), 1612);
}

// Records what the workflow shows in the loading window.
class StageRecorder : public LoadingProgress {
public:
    void beginStages(const QString& title) override { log << QStringLiteral("begin ") + title; }
    void setStage(int percent, const QString& text) override {
        log << QString::number(percent) + QStringLiteral(" ") + text;
    }
    void beginDecoding() override { log << QStringLiteral("decoding"); }
    void closeWindow() override { log << QStringLiteral("close"); }

    QStringList log;
};

TEST(New, RunsItsLoadingStagesInOrderWithTheirTexts) {
    ProcessorConfig config;
    ScriptedDialogs dialogs;
    EditorRegistry editors;
    StageRecorder stages;
    MainWorkflow workflow(config, dialogs, editors, stages);
    workflow.setOutputName(1, QStringLiteral("Top"));
    dialogs.answer(Answer::No);
    EXPECT_TRUE(workflow.newConfiguration());
    EXPECT_EQ(stages.log, (QStringList{"begin Initializing ", "10 Gains...", "20 Crossover...",
                                       "30 Equalization...", "40 Dynamics...", "50 Delays...",
                                       "60 Loudness...", "70 System Info...", "80 Names...",
                                       "90 Import Data...", "100 DONE...", "close"}));
    EXPECT_EQ(dialogs.shown().front().kind, MessageKind::Warning);
    EXPECT_EQ(dialogs.shown().front().buttons, MessageButtons::YesNoCancel);
}

TEST(PresetFiles, SaveThenOpenRestoresEveryFieldAndTheCaptionNamesTheFileOnly) {
    EditorHarness editor;
    ProcessorConfig& config = editor.app().config();
    makeUnusual(config);
    editor.app().workflow().configurationReplaced();
    const ProcessorConfig saved = config;
    const QString file = editor.path("Rehearsal.KV2");

    editor.dialogs().chooseFile(file);
    editor.click("SaveButton");
    EXPECT_EQ(editor.app().mainMenu().windowTitle(),
              QStringLiteral("KVN 350 Loudspeaker Management System Rehearsal.KV2"));

    // Saved, then New: no question, and the caption names no file any more; Open after it
    // asks nothing either.
    editor.click("NewButton");
    EXPECT_EQ(config.SystemName, "NoName");
    EXPECT_EQ(editor.app().mainMenu().windowTitle(), QStringLiteral("KVN 350"));

    editor.dialogs().chooseFile(file);
    editor.click("OpenButton");
    EXPECT_EQ(editor.dialogs().unscripted(), 0) << editor.dialogs().lastText().toStdString();
    EXPECT_EQ(BuildImage(config), BuildImage(saved));
    EXPECT_EQ(config.ProjectName, saved.ProjectName);
    EXPECT_EQ(config.Engineer, saved.Engineer);
    EXPECT_EQ(config.Comments, saved.Comments);
    EXPECT_EQ(config.MeasurementSpl, saved.MeasurementSpl);
    for (int n = 1; n <= kOutputCount; ++n) {
        EXPECT_EQ(config.output(n).Gain, saved.output(n).Gain);
        EXPECT_EQ(config.output(n).Muted, saved.output(n).Muted);
    }
    EXPECT_EQ(editor.app().mainMenu().windowTitle(),
              QStringLiteral("KVN 350 Loudspeaker Management System Rehearsal.KV2"));
    // The windows show what was opened.
    EXPECT_EQ(editor.find<QLineEdit>("SystemName")->text(), QStringLiteral("Rehearsal Room"));
    EXPECT_EQ(editor.find<QLineEdit>("OutSub1Edit")->text(), QStringLiteral("Bass"));
    EXPECT_FALSE(editor.find<QLineEdit>("OutSub1Edit")->isEnabled());
    EXPECT_FALSE(editor.find<QLabel>("MuteLabel3")->isHidden());
    EXPECT_FALSE(editor.find<QLabel>("x3")->isHidden());
    EXPECT_EQ(editor.find<QToolButton>("Route1B")->property("route").toInt(), kRouteB);
    EXPECT_EQ(editor.find<QPlainTextEdit>("Comments")->toPlainText(),
              QStringLiteral("two lines\nof notes"));
}

TEST(PresetFiles, RefusedFilesAndFailedSavesAreReportedAndChangeNothingElse) {
    EditorHarness editor;
    QFile garbage(editor.path("garbage.KV2"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(1612, 'x'));
    garbage.close();

    editor.dialogs().chooseFile(garbage.fileName());
    editor.click("OpenButton");
    EXPECT_EQ(editor.dialogs().lastText(),
              garbage.fileName() + QStringLiteral(" is not a KVN 350File"));
    EXPECT_EQ(editor.app().mainMenu().windowTitle(), QStringLiteral("KVN 350"));
    EXPECT_FALSE(editor.app().progresionForm().isVisible());

    // Cancel on New's question stops Open before its dialog.
    editor.app().workflow().setOutputName(1, QStringLiteral("Kept"));
    editor.dialogs().answer(Answer::Cancel);
    const auto requests = editor.dialogs().fileRequests().size();
    editor.click("OpenButton");
    EXPECT_EQ(editor.dialogs().fileRequests().size(), requests);

    editor.dialogs().chooseFile(editor.path("no/such/folder/x.KV2"));
    editor.click("SaveButton");
    EXPECT_EQ(editor.dialogs().shown().back().kind, MessageKind::Error);
    EXPECT_EQ(editor.app().mainMenu().windowTitle(), QStringLiteral("KVN 350 *"));
}

TEST(Names, PresetNameFieldsMirrorEachOtherAndNamesReachTheConfiguration) {
    EditorHarness editor;
    ProcessorConfig& config = editor.app().config();
    editor.type("SystemName", "Stage");
    auto* infoName = editor.app().systemInfoForm().findChild<QLineEdit*>("SystemName");
    EXPECT_EQ(infoName->text(), QStringLiteral("Stage"));
    EXPECT_EQ(config.SystemName, "Stage");

    editor.app().systemInfoForm().open();
    infoName->setFocus();
    QTest::keyClicks(infoName, " Left");
    EXPECT_EQ(editor.app().mainMenu().findChild<QLineEdit*>("SystemName")->text(),
              QStringLiteral("Stage Left"));
    QTest::keyClicks(infoName, QString(40, 'z'));
    EXPECT_EQ(config.SystemName.size(), 40u);  // a 41st character cannot be typed

    editor.type("ProjectName", "Tour");
    editor.type("EngineerLabel", "Me");
    editor.type("Out2Edit", "Fill123456");
    editor.type("In1Edit", "Guitar");
    EXPECT_EQ(config.ProjectName, "Tour");
    EXPECT_EQ(config.Engineer, "Me");
    EXPECT_EQ(config.output(2).Name, "Fill12");
    EXPECT_EQ(config.InputName[0], "Guitar");

    editor.dialogs().answer(Answer::No);
    editor.click("NewButton");
    EXPECT_EQ(infoName->text(), QStringLiteral("NoName"));
    EXPECT_EQ(editor.app().mainMenu().findChild<QLineEdit*>("SystemName")->text(),
              QStringLiteral("NoName"));
    EXPECT_TRUE(editor.find<QLineEdit>("ProjectName")->text().isEmpty());
    EXPECT_TRUE(editor.find<QLineEdit>("EngineerLabel")->text().isEmpty());
    EXPECT_EQ(editor.find<QLineEdit>("Out2Edit")->text(), QStringLiteral("Out2"));
}

TEST(RouteButtons, ThreeClicksReturnARouteAndItsGainsWithThePictureFollowing) {
    EditorHarness editor;
    OutputChannel& output2 = editor.app().config().output(2);
    auto* button = editor.find<QToolButton>("Route2B");
    std::vector<int> pictures;
    for (int click = 0; click < 3; ++click) {
        editor.click("Route2B");
        pictures.push_back(button->property("route").toInt());
    }
    EXPECT_EQ(pictures, (std::vector<int>{kRouteA, kRouteAB, kRouteB}));
    EXPECT_EQ(output2.Route, kRouteB);
    EXPECT_EQ(output2.GainFromA, 0.0);
    EXPECT_EQ(output2.GainFromB, 1.0);
}

TEST(CodeBox, TheCodeOpensEveryMemoryAndAWrongOneRaisesTheSelectorTo21) {
    EditorHarness editor;
    auto* spin = editor.find<QSpinBox>("NProgramSpin");
    auto enterCode = [&](const QString& code) {
        QTest::mouseClick(editor.find<QLabel>("LOGOImage"), Qt::LeftButton);
        TInputPassForm& box = editor.app().inputPassForm();
        EXPECT_TRUE(box.isVisible());
        auto* edit = box.findChild<QLineEdit*>("PasswordEdit");
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        QTest::keyClicks(edit, code);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_FALSE(box.isVisible());
    };

    enterCode("79391");  // the field takes four characters
    EXPECT_EQ(spin->minimum(), 1);
    EXPECT_EQ(editor.dialogs().lastText(),
              QStringLiteral("Unprotected System. Now you can write in all the memories"));
    spin->setValue(5);
    EXPECT_EQ(editor.app().workflow().memory(), 5);

    enterCode("1234");
    EXPECT_EQ(spin->minimum(), 21);
    EXPECT_EQ(spin->value(), 21);
    EXPECT_EQ(editor.app().workflow().memory(), 21);
    EXPECT_EQ(editor.dialogs().shown().size(), 1u);
}

TEST(Service, TwentyClicksOnProgramRevealTheServiceToolsAndActivationRestartsTheCount) {
    EditorHarness editor;
    auto* service = editor.find<QAction>("ServiceControlsAction");
    EXPECT_FALSE(service->isVisible());
    auto* label = editor.find<QLabel>("Label9");
    ASSERT_EQ(label->text(), QStringLiteral("PROGRAM"));
    for (int i = 0; i < 19; ++i) {
        QTest::mouseClick(label, Qt::LeftButton);
    }
    editor.app().workflow().mainWindowActivated();
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_FALSE(editor.app().workflow().serviceVisible());
    for (int i = 0; i < 19; ++i) {
        QTest::mouseClick(label, Qt::LeftButton);
    }
    EXPECT_TRUE(editor.app().workflow().serviceVisible());
    EXPECT_FALSE(editor.find<QWidget>("Button1")->isHidden());
    // The coefficient view's button and the bank selector show only when asked for.
    ASSERT_TRUE(service->isVisible());
    EXPECT_TRUE(editor.find<QWidget>("ShowCoeffButton")->isHidden());
    service->trigger();
    EXPECT_FALSE(editor.find<QWidget>("ShowCoeffButton")->isHidden());
    EXPECT_FALSE(editor.find<QWidget>("SpinEdit1")->isHidden());
}

}  // namespace
}  // namespace kvn::ui::test
