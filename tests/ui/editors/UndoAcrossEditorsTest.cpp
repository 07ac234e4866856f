#include "DynamicsWindow.h"
#include "EditorTestSupport.h"

#include "config/MemoryImage.h"
#include "ui/editors/EditorWindows.h"
#include "ui/main/ConfigEdits.h"
#include "widgets/CommitSlider.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <functional>
#include <set>

namespace kvn::ui::test {
namespace {

// One edit made in one window as the user makes it.
using Step = std::function<void(EditorHarness&)>;

// Every window's edits, undone one by one and redone, with real time on: after each step the
// configuration is exactly the state recorded at that point, and the processor's bank holds the
// image of that configuration.
TEST(UndoAcrossEditors, TheProcessorFollowsEveryUndoAndRedoOfEveryWindow) {
    EditorHarness editor(installEditorWindows);
    enterRealTime(editor);
    ConfigEdits& edits = editor.app().workflow().edits();
    const ProcessorConfig& config = editor.app().config();
    const auto slider = [&](const char* name) {
        return editor.find<widgets::CommitSlider>(QString::fromLatin1(name));
    };
    // The read quantises the dynamics thresholds, whose tables reach the processor only when
    // they are sent; those words may differ until then, nothing else.
    const std::vector<int> readDifferences = editor.device().bankDifferences(1, BuildImage(config));
    const auto inStep = [&] {
        return QTest::qWaitFor(
            [&] {
                const std::vector<int> now = editor.device().bankDifferences(1, BuildImage(config));
                return std::includes(readDifferences.begin(), readDifferences.end(), now.begin(),
                                     now.end());
            },
            5000);
    };

    const std::vector<Step> steps = {
        [&](EditorHarness& e) {
            e.click("Xover1Btn");
            e.type("FrecEdit0H", QStringLiteral("1200"));
            QTest::keyClick(e.find<QWidget>("FrecEdit0H"), Qt::Key_Return);
        },
        [&](EditorHarness& e) {
            e.click("Delay2Btn");
            slider("Del2track")->setPosition(134);
        },
        [&](EditorHarness& e) {
            e.click("Gain1Btn");
            slider("Output1Track")->setPosition(121);
        },
        [&](EditorHarness& e) { e.click("PolOutput1"); },
        [&](EditorHarness& e) { e.click("MuteOutput2"); },
        [&](EditorHarness& e) {
            e.click("Dynamic2Btn");
            Controls{e.find<QWidget>("TDynamicform")}.click("Output1B");
            slider("threstrack")->setPosition(20);
        },
        [&](EditorHarness& e) { e.click("Route2B"); },
    };
    std::vector<ProcessorConfig> states{config};
    std::vector<QString> names;
    for (const Step& step : steps) {
        step(editor);
        ASSERT_NE(config, states.back()) << names.size();
        ASSERT_TRUE(inStep()) << edits.undoDescription().toStdString();
        states.push_back(config);
        names.push_back(edits.undoDescription());
    }
    EXPECT_EQ(std::set<QString>(names.begin(), names.end()).size(), names.size());

    for (std::size_t k = states.size() - 1; k > 0; --k) {
        EXPECT_EQ(edits.undoDescription(), names[k - 1]);
        edits.undo();
        EXPECT_EQ(config, states[k - 1]) << names[k - 1].toStdString();
        EXPECT_TRUE(inStep()) << "undo " << names[k - 1].toStdString();
    }
    EXPECT_FALSE(edits.canUndo());
    for (std::size_t k = 1; k < states.size(); ++k) {
        edits.redo();
        EXPECT_EQ(config, states[k]) << names[k - 1].toStdString();
        EXPECT_TRUE(inStep()) << "redo " << names[k - 1].toStdString();
    }
    EXPECT_FALSE(edits.canRedo());
}

}  // namespace
}  // namespace kvn::ui::test
