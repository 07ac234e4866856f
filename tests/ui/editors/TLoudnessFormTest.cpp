#include "EditorTestSupport.h"

#include "config/Encodings.h"
#include "link/DeviceSession.h"
#include "ui/editors/EditorWindows.h"
#include "ui/editors/TLoudnessForm.h"
#include "ui/main/TMainMenu.h"
#include "widgets/CommitSlider.h"
#include "widgets/LedButton.h"
#include "widgets/RealEdit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

namespace kvn::ui::test {
namespace {

struct LoudnessWindow {
    LoudnessWindow() : editor(installEditorWindows) {}

    TLoudnessForm* form() { return editor.find<TLoudnessForm>("TLoudnessForm"); }
    widgets::CommitSlider* slider(const char* name) {
        // Inside the window: the equaliser's controls have the same names.
        return form()->findChild<widgets::CommitSlider*>(QString::fromLatin1(name));
    }
    QString text(const char* name) {
        return form()->findChild<widgets::RealEdit*>(QString::fromLatin1(name))->text();
    }
    bool lit(const char* name) {
        return form()->findChild<widgets::LedButton*>(QString::fromLatin1(name))->isLit();
    }
    void open() {
        editor.app()
            .mainMenu()
            .menu(TMainMenu::Menu::View)
            ->findChild<QAction*>(QStringLiteral("LoudnessAction"))
            ->trigger();
    }
    const TSOS& section() { return editor.app().config().Loudness; }
    // SUB's curve in the crossover window at 55 Hz.
    double subAt55Hz() {
        const auto& hz = responseGrid().GridHz;
        const auto k = static_cast<int>(std::lower_bound(hz.begin(), hz.end(), 55) - hz.begin());
        return editor.find<widgets::ResponseGraph>("XoverGraph")->seriesPoint(kSubOutput, k).y();
    }

    EditorHarness editor;
};

TEST(TLoudnessForm, OpensFromTheViewMenuOrTheCrossoverWindowAndEditsSubsCurve) {
    LoudnessWindow w;
    w.editor.click("Xover3Btn");
    w.editor.click("LoudnessB");
    ASSERT_TRUE(w.form()->isVisible());
    EXPECT_EQ(w.form()->windowTitle(), QStringLiteral("Sub Reforcement"));
    EXPECT_EQ(std::tuple(w.text("FrecEdit"), w.text("FilterGainEdit")),
              std::tuple(QStringLiteral("55"), QStringLiteral("0.0")));
    EXPECT_TRUE(w.lit("ParamLED"));
    EXPECT_EQ(w.slider("FilterGainSlider")->maximum(), 120);  // 0 dB at the bottom, no cut

    w.slider("FilterGainSlider")->setPosition(60);
    EXPECT_EQ(w.text("FilterGainEdit"), QStringLiteral("6.0"));
    EXPECT_NEAR(w.subAt55Hz(), 6.0, 0.3);
    w.editor.click("HighLED");
    EXPECT_EQ(std::tuple(w.section().FilterType, w.section().GainDb), std::tuple(kHiPassQ, 6.0));
    EXPECT_TRUE(w.lit("HighLED") && !w.lit("ParamLED"));
    EXPECT_GT(w.subAt55Hz(), 6.0);
    w.slider("FrecSlider")->setPosition(51);
    EXPECT_EQ(std::tuple(w.section().FrequencyHz, w.text("FrecEdit")),
              std::tuple(29.0, QStringLiteral("29")));

    // Reopened, the window shows the high-pass and its gain; undo and New reach it too.
    w.form()->hide();
    w.open();
    EXPECT_EQ(std::tuple(w.slider("FilterGainSlider")->position(), w.lit("HighLED")),
              std::tuple(60, true));
    w.editor.app().workflow().edits().undo();
    w.editor.app().workflow().edits().undo();
    EXPECT_TRUE(w.lit("ParamLED"));
    EXPECT_NEAR(w.subAt55Hz(), 6.0, 0.3);
    w.editor.dialogs().answer(Answer::No);
    w.editor.app().workflow().newConfiguration();
    EXPECT_FALSE(w.form()->isVisible());
    EXPECT_EQ(
        std::tuple(w.slider("FrecSlider")->position(), w.slider("FilterGainSlider")->position()),
        std::tuple(25, 120));
}

TEST(TLoudnessForm, RealTimeSendsTheSectionToSlot100OfBank1) {
    LoudnessWindow w;
    const std::shared_ptr<WireLog> log = enterRealTime(w.editor);
    w.editor.app().session().setDspSelect(2);
    w.open();
    w.slider("FilterGainSlider")->setPosition(30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log->sectionSlots().empty(); }, 5000));
    EXPECT_EQ(log->sectionSlots(), std::vector<int>{100});
    EXPECT_EQ(w.editor.app().session().dspSelect(), 1);
    EXPECT_TRUE(bankHolds(w.editor, 100, sectionWords(w.section())));
}

}  // namespace
}  // namespace kvn::ui::test
