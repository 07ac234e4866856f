#include "EditorTestSupport.h"

#include "config/Encodings.h"
#include "config/LoudnessControls.h"
#include "link/DeviceSession.h"
#include "ui/editors/EditorWindows.h"
#include "ui/editors/TLoudnessForm.h"
#include "ui/main/ConfigEdits.h"
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

class LoudnessWindow {
public:
    LoudnessWindow() : editor(installEditorWindows) {}

    TLoudnessForm* form() { return editor.find<TLoudnessForm>("TLoudnessForm"); }
    widgets::CommitSlider* slider(const char* name) {
        return editor.find<widgets::CommitSlider>(QString::fromLatin1(name));
    }
    QString text(const char* name) {
        return editor.find<widgets::RealEdit>(QString::fromLatin1(name))->text();
    }
    bool lit(const char* name) {
        return editor.find<widgets::LedButton>(QString::fromLatin1(name))->isLit();
    }
    const TSOS& section() { return editor.app().config().Loudness; }
    QAction* action() {
        return editor.app()
            .mainMenu()
            .menu(TMainMenu::Menu::View)
            ->findChild<QAction*>(QStringLiteral("LoudnessAction"));
    }
    void open() { action()->trigger(); }

    EditorHarness editor;
};

TEST(TLoudnessForm, OpensFromTheViewMenuAndTheCrossoverWindowAt55HzPeakingFlat) {
    LoudnessWindow w;
    ASSERT_NE(w.action(), nullptr);
    w.open();
    ASSERT_TRUE(w.form()->isVisible());
    EXPECT_EQ(w.form()->windowTitle(), QStringLiteral("Sub Reforcement"));
    EXPECT_EQ(
        std::tuple(w.slider("FrecSlider")->position(), w.slider("FilterGainSlider")->position()),
        std::tuple(25, 120));
    EXPECT_EQ(std::tuple(w.text("FrecEdit"), w.text("FilterGainEdit")),
              std::tuple(QStringLiteral("55"), QStringLiteral("0.0")));
    EXPECT_TRUE(w.lit("ParamLED"));
    EXPECT_FALSE(w.lit("HighLED"));

    w.form()->hide();
    w.editor.click("Xover1Btn");
    w.editor.click("LoudnessB");
    EXPECT_TRUE(w.form()->isVisible());
}

TEST(TLoudnessForm, TypesAndRangesAndTheSubCurveOfTheCrossoverWindow) {
    LoudnessWindow w;
    w.open();
    auto* frequency = w.slider("FrecSlider");
    auto* gain = w.slider("FilterGainSlider");
    frequency->setPosition(51);
    EXPECT_EQ(std::tuple(w.section().FrequencyHz, w.text("FrecEdit")),
              std::tuple(29.0, QStringLiteral("29")));
    frequency->setPosition(0);
    EXPECT_EQ(w.section().FrequencyHz, 80.0);
    gain->setPosition(0);
    EXPECT_EQ(std::tuple(w.section().GainDb, w.text("FilterGainEdit")),
              std::tuple(12.0, QStringLiteral("12.0")));
    EXPECT_EQ(gain->maximum(), 120);  // 0 dB at the bottom: no cut below it

    frequency->setPosition(25);
    gain->setPosition(60);
    const auto subAt55Hz = [&] {
        auto* graph = w.editor.find<widgets::ResponseGraph>("XoverGraph");
        const auto& hz = responseGrid().GridHz;
        const auto k = static_cast<int>(std::lower_bound(hz.begin(), hz.end(), 55) - hz.begin());
        return graph->seriesPoint(kSubOutput, k).y();
    };
    EXPECT_NEAR(subAt55Hz(), 6.0, 0.3);  // the peaking boost in SUB's crossover curve
    w.editor.click("HighLED");
    EXPECT_EQ(w.section().FilterType, kHiPassQ);
    EXPECT_NEAR(w.section().Q, 6.0 / 3.8 + 0.707, 1e-9);
    EXPECT_EQ(w.section().GainDb, 6.0);
    EXPECT_TRUE(w.lit("HighLED"));
    EXPECT_FALSE(w.lit("ParamLED"));
    EXPECT_GT(subAt55Hz(), 6.0);  // the resonance sits just above the cut

    // Reopened, the window shows the high-pass and its 6 dB again; undo goes back one type.
    w.form()->hide();
    w.open();
    EXPECT_EQ(gain->position(), 60);
    EXPECT_TRUE(w.lit("HighLED"));
    w.editor.app().workflow().edits().undo();
    EXPECT_TRUE(w.lit("ParamLED"));
    EXPECT_EQ(w.section().FilterType, kParametric);
    EXPECT_NEAR(subAt55Hz(), 6.0, 0.3);

    // New brings back the start-up section and closes the window.
    w.editor.dialogs().answer(Answer::No);
    w.editor.app().workflow().newConfiguration();
    EXPECT_FALSE(w.form()->isVisible());
    EXPECT_EQ(std::tuple(frequency->position(), gain->position()), std::tuple(25, 120));
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
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(w.editor.device().bankWord(1, 100 + k),
                  encodeFixedWord(w.section().coefficient(k)));
    }
}

}  // namespace
}  // namespace kvn::ui::test
