#include "EditorHarness.h"

#include "cli/Cli.h"
#include "config/MemoryImage.h"
#include "config/OutputCopy.h"
#include "config/PresetFile.h"
#include "emulator/DeviceState.h"
#include "ui/editors/EditorWindows.h"
#include "ui/editors/TCopyOutputForm.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TMainMenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <sstream>

namespace kvn::ui::test {
namespace {

const std::string kRich = KVN_TEST_DATA_DIR "/rich.KV2";

constexpr std::array<const char*, 7> kBoxes{"RouteCheck",    "XoverCheck",   "PEQXCheck",
                                            "OutDelayCheck", "OutGainCheck", "NamesCheck",
                                            "DynamicCheck"};

// Where the processor's bank 1 differs from the image of the configuration. An edge's two sections
// count as equal in either order: real-time messages address each section at its own slot, while
// the image puts the second section first (in series the response is the same).
std::vector<int> differences(EditorHarness& editor) {
    const ImageBuffer image = BuildImage(editor.app().config());
    const emu::Bank expected = emu::bankFromImage(image, 1);
    std::vector<int> found = editor.device().bankDifferences(1, image);
    for (const int first : {76, 86, 96, 106, 131}) {
        bool swapped = true;
        for (int k = 0; k < 5; ++k) {
            const auto at = [](int address) { return static_cast<std::size_t>(address); };
            swapped = swapped &&
                      editor.device().bankWord(1, first + k) == expected[at(first + 5 + k)] &&
                      editor.device().bankWord(1, first + 5 + k) == expected[at(first + k)];
        }
        if (swapped) {
            std::erase_if(found, [first](int a) { return a >= first && a < first + 10; });
        }
    }
    return found;
}

class CopyWindow : public ::testing::Test {
protected:
    CopyWindow() : editor(installEditorWindows) {
        EXPECT_TRUE(editor.app().workflow().loadPresetFile(QString::fromStdString(kRich)));
        form = editor.find<TCopyOutputForm>("TCopyOutputForm");
    }
    // Opens the window from the main window, sets it and presses OK, answering the question.
    void copy(int from, int to, const std::vector<const char*>& boxes,
              Answer answer = Answer::Yes) {
        editor.click("CopyOutsB");
        ASSERT_TRUE(form->isVisible());
        editor.find<QCheckBox>("CopyAll")->setChecked(false);
        for (const char* box : kBoxes) {
            editor.find<QCheckBox>(box)->setChecked(false);
        }
        for (const char* box : boxes) {
            editor.click(box);
        }
        editor.find<QSpinBox>("OrigenSpin")->setValue(from);
        editor.find<QSpinBox>("CopiaSpin")->setValue(to);
        if (from != to) {
            editor.dialogs().answer(answer);
        }
        editor.click("OK_BitBtn");
        EXPECT_FALSE(form->isVisible());
    }
    ProcessorConfig& config() { return editor.app().config(); }

    EditorHarness editor;
    TCopyOutputForm* form = nullptr;
};

TEST_F(CopyWindow, EveryGroupAloneAndAllOnEveryPairIsOneUndoableStepOfTheCopy) {
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->windowModality() == Qt::ApplicationModal);
    const ProcessorConfig start = config();
    const PresetRecord startRecord = BuildPresetRecord(start, {});
    std::vector<std::vector<const char*>> cases;
    for (const char* box : kBoxes) {
        cases.push_back({box});
    }
    cases.push_back({"CopyAll"});
    for (const auto& [from, to] : {std::pair{1, 2}, {2, 1}, {1, 3}, {3, 1}, {2, 3}, {3, 2}}) {
        for (const auto& boxes : cases) {
            SCOPED_TRACE(::testing::Message() << from << " to " << to << " " << boxes[0]);
            copy(from, to, boxes);
            EXPECT_EQ(editor.dialogs().lastText(),
                      QStringLiteral("Do you want to copy data from Output %1 to Output %2 ?")
                          .arg(from)
                          .arg(to));
            ProcessorConfig expected = start;
            copyOutput(expected, from, to, form->groups());
            EXPECT_EQ(config(), expected);
            editor.app().workflow().edits().undo();
            EXPECT_EQ(BuildPresetRecord(config(), {}), startRecord);
            EXPECT_EQ(config(), start);
        }
    }
    EXPECT_EQ(editor.dialogs().unscripted(), 0);
    auto* undo = editor.app().mainMenu().findChild<QAction*>("UndoAction");
    copy(1, 3, {"NamesCheck"});
    EXPECT_EQ(undo->text().remove('&'), QStringLiteral("Undo Copy Output 1 to SUB"));
}

TEST_F(CopyWindow, NoOrTheSameOutputChangesNothingAndTheGainBringsMuteMarksAlong) {
    const ProcessorConfig start = config();
    const auto shown = editor.dialogs().shown().size();
    copy(2, 2, {"CopyAll"});
    EXPECT_EQ(editor.dialogs().shown().size(), shown);  // no question
    copy(1, 2, {"CopyAll"}, Answer::No);
    EXPECT_EQ(config(), start);
    EXPECT_FALSE(editor.app().workflow().edits().canUndo());

    // Copy All ticks every box; unticking it leaves them; the window keeps its settings.
    editor.click("CopyOutsB");
    editor.click("CopyAll");
    editor.click("CopyAll");
    EXPECT_TRUE(editor.find<QCheckBox>("DynamicCheck")->isChecked());
    EXPECT_EQ(editor.find<QSpinBox>("CopiaSpin")->value(), 2);
    editor.click("BitBtn2");

    // Output 3 of the rich preset is muted and inverted; Output 1 is neither.
    ASSERT_TRUE(config().output(3).Muted && config().output(3).Inverted);
    copy(3, 1, {"OutGainCheck"});
    EXPECT_TRUE(config().output(1).Muted);
    EXPECT_LT(config().output(1).Gain, 0.0);
    EXPECT_FALSE(editor.find<QLabel>("MuteLabel1")->isHidden());
    EXPECT_FALSE(editor.find<QLabel>("x1")->isHidden());
    EXPECT_FALSE(editor.find<QLineEdit>("Out1Edit")->isEnabled());
}

TEST_F(CopyWindow, TheCommandLineWritesWhatTheWindowSaves) {
    copy(1, 3, {"CopyAll"});
    const QString saved = editor.path("window.KV2");
    ASSERT_TRUE(editor.app().workflow().writePresetFile(saved));
    const std::string written = editor.path("cli.KV2").toStdString();
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    cli::CommandIo io{out, err, in, false, false};
    ASSERT_EQ(cli::runCli(
                  {"preset", "copy-output", kRich, "--from", "1", "--to", "3", "-o", written}, io),
              0)
        << err.str();
    QFile a(saved);
    QFile b(QString::fromStdString(written));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    // The record's header holds the path it was written to; everything after it must agree.
    const qsizetype header = 116;
    EXPECT_EQ(a.readAll().mid(header), b.readAll().mid(header));
}

TEST_F(CopyWindow, InRealTimeTheProcessorFollowsTheCopyAndItsUndo) {
    ASSERT_TRUE(editor.connectVirtual());
    // The processor runs the rich preset, which real time then reads back.
    editor.dialogs().answer(Answer::Yes);
    editor.click("WriteButton");
    ASSERT_TRUE(editor.waitIdle());
    ASSERT_TRUE(editor.startRealTime());
    // The read runs the loaders, which quantise the units' thresholds: what the processor was
    // not sent then may stay different, nothing else.
    const std::vector<int> baseline = differences(editor);
    const auto followed = [&] {
        return QTest::qWaitFor(
            [&] {
                const std::vector<int> now = differences(editor);
                return std::includes(baseline.begin(), baseline.end(), now.begin(), now.end());
            },
            5000);
    };
    copy(2, 3, {"CopyAll"});
    ASSERT_TRUE(editor.app().workflow().edits().canUndo());
    EXPECT_TRUE(followed());
    editor.app().workflow().edits().undo();
    EXPECT_TRUE(followed());
}

TEST_F(CopyWindow, ToOutputStartsAfterTheSourceAndASharedNameIsSaid) {
    editor.click("CopyOutsB");
    auto* to = editor.find<QSpinBox>("CopiaSpin");
    auto* warning = editor.find<QLabel>("NameWarningL");
    EXPECT_EQ(to->value(), 2);
    EXPECT_TRUE(warning->isHidden());
    editor.click("NamesCheck");
    EXPECT_FALSE(warning->isHidden());
    const QString one = QString::fromStdString(config().output(1).Name).trimmed();
    EXPECT_EQ(warning->text(),
              QStringLiteral("Output 1 and Output 2 will both be called \"%1\".").arg(one));
    editor.find<QSpinBox>("OrigenSpin")->setValue(2);  // onto itself: nothing is copied
    EXPECT_TRUE(warning->isHidden());
    editor.click("BitBtn2");
    form->openFor(2);  // the source is the destination: the next output is offered
    EXPECT_EQ(to->value(), 3);
    EXPECT_FALSE(warning->isHidden());
    editor.click("NamesCheck");
    EXPECT_TRUE(warning->isHidden());
    editor.click("BitBtn2");

    // A third output already called so shares the name too.
    ProcessorConfig named;
    named.output(1).Name = "Top";
    named.output(3).Name = " Top  ";
    EXPECT_EQ(outputsSharingCopiedName(named, 1, 2, CopyGroups().add(CopyGroup::Name)),
              (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(outputsSharingCopiedName(named, 1, 2, CopyGroups().add(CopyGroup::Gain)).empty());
}

}  // namespace
}  // namespace kvn::ui::test
