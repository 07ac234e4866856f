// The dynamics window driven through its real controls offscreen: the unit selection and the
// start-up values, each control's mapping on both units, the expert fields, and the words that
// reach the virtual processor in real time.
#include "DynamicsWindow.h"
#include "EditorTestSupport.h"

#include "config/Encodings.h"
#include "dsp/DynamicsMath.h"
#include "ui/editors/TDynamicform.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/MainWorkflow.h"
#include "widgets/CommitSlider.h"
#include "widgets/LedButton.h"
#include "widgets/RealEdit.h"
#include "widgets/SpinButtons.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace kvn::ui::test {
namespace {

TEST(TDynamicform, OpensOnTheButtonsUnitAndKeepsStartUpValuesUntilAUnitIsSelected) {
    DynamicsWindow w;
    w.editor.click(QStringLiteral("Dynamic5Btn"));
    ASSERT_TRUE(w.form.isVisible());
    EXPECT_EQ(w.form.windowTitle(), QStringLiteral("Dynamic Configuration"));
    EXPECT_EQ(w.text("UnitLabel"), QStringLiteral("Dynamic SUB"));
    EXPECT_TRUE(w.get<widgets::LedButton>("Output2B")->isLit());
    EXPECT_FALSE(w.get<widgets::LedButton>("Output1B")->isLit());
    EXPECT_EQ(w.text("ThdEdit"), QStringLiteral("18.6"));  // -5 dBFS, above the track's top
    EXPECT_EQ(w.get<widgets::CommitSlider>("threstrack")->position(), 0);

    // Unit 1 at -6 dBFS: 14.6 dBu, about 3640 W into the 400 W box.
    w.editor.click(QStringLiteral("Dynamic2Btn"));
    EXPECT_EQ(w.text("UnitLabel"), QStringLiteral("Dynamic OUT 1-2"));
    EXPECT_EQ(w.text("ThdEdit"), QStringLiteral("14.6"));
    EXPECT_EQ(w.text("th_lim_label"), QStringLiteral("     Limit"));
    EXPECT_EQ(w.text("Label25"), QStringLiteral("3640 W"));
    EXPECT_EQ(w.get<QPlainTextEdit>("PowerMemoDyn")->toPlainText(),
              QStringLiteral("1 - Max RMS Out Power : 3640 Watts\n"
                             "    KVN 350 max Out Voltage : 4.16 vrms"));
    EXPECT_EQ(w.text("WaningLabel"), QStringLiteral("WARNING!!!"));
    EXPECT_EQ(w.text("WaningLabel2"),
              QStringLiteral("The Out Power exceeds your Box Power capacity!"));
    EXPECT_EQ(w.get<QLabel>("Label25")->palette().color(QPalette::WindowText),
              QColor(0xd3, 0x2f, 0x2f));
    EXPECT_EQ(w.unit(1), ProcessorConfig().unit(1));

    // Selecting loads the unit onto the tracks: -6 becomes -6.1 dBFS; no undo step.
    w.click("Output1B");
    EXPECT_FLOAT_EQ(w.unit(1).thresholdDbfs, -6.1f);
    EXPECT_EQ(w.text("ThdEdit"), QStringLiteral("14.5"));
    w.click("Output2B");
    EXPECT_FLOAT_EQ(w.unit(2).thresholdDbfs, -5.6f);
    EXPECT_FALSE(w.editor.app().workflow().edits().canUndo());
}

TEST(TDynamicform, EveryControlMapsOntoTheCurrentUnitOnBothUnits) {
    for (const int n : {1, 2}) {
        SCOPED_TRACE(n);
        DynamicsWindow w;
        w.form.openFor(n == 1 ? 1 : 3);
        w.click(n == 1 ? "Output1B" : "Output2B");
        const double off = n == 1 ? 9.0 : 6.0;

        auto* threshold = w.get<widgets::CommitSlider>("threstrack");
        threshold->setPosition(0);
        EXPECT_EQ(w.text("ThdEdit"), QStringLiteral("18.0"));
        EXPECT_FLOAT_EQ(w.unit(n).thresholdDbfs, static_cast<float>(-11.6 + off));
        w.type("ThdEdit", QStringLiteral("0"));
        EXPECT_EQ(threshold->position(), 36);
        EXPECT_FLOAT_EQ(w.unit(n).thresholdDbfs, static_cast<float>(-29.6 + off));
        w.key("ThdEdit", Qt::Key_Up);
        EXPECT_EQ(threshold->position(), 35);
        EXPECT_EQ(w.text("ThdEdit"), QStringLiteral("0.5"));

        auto* knee = w.get<widgets::CommitSlider>("KneeTrack");
        w.type("KneeEdit", QStringLiteral("10"));
        EXPECT_EQ(knee->position(), 0);
        w.type("KneeEdit", QStringLiteral("0"));
        EXPECT_EQ(knee->position(), 20);
        EXPECT_FLOAT_EQ(w.unit(n).kneeDb, 0.0f);

        // The ratio acts only on the compressor; its track is disabled for the limiter.
        auto* ratio = w.get<widgets::CommitSlider>("RatioTrack");
        EXPECT_FALSE(ratio->isEnabled());
        w.click("CompressorB");
        EXPECT_EQ(w.unit(n).kneeType, kCompressor);
        EXPECT_EQ(w.text("th_lim_label"), QStringLiteral("Threshold"));
        EXPECT_TRUE(ratio->isEnabled());
        ratio->setPosition(6);
        EXPECT_FLOAT_EQ(w.unit(n).ratio, 4.0f);
        EXPECT_EQ(w.text("RatioLabel"), QStringLiteral("4: 1"));

        // Bypass: every level and timing control is disabled and the table is unity but gated.
        w.click("DynBypassBoton");
        EXPECT_EQ(w.unit(n).bypass, 1);
        for (const char* name : {"threstrack", "RatioTrack", "KneeEdit", "LimiterB",
                                 "RmsTimeConstEdit", "HoldTimeEdit", "DecayTimeSpin"}) {
            EXPECT_FALSE(w.get<QWidget>(name)->isEnabled()) << name;
        }
        EXPECT_EQ(w.get<QPushButton>("DynBypassBoton")->palette().color(QPalette::ButtonText),
                  QColor(0xd3, 0x2f, 0x2f));
        EXPECT_EQ(w.unit(n).gainTable[32], 1.0);
        w.click("DynBypassBoton");
        EXPECT_TRUE(ratio->isEnabled());

        // "Bypass" in the gate list still closes the -96 dBFS entry.
        auto* noise = w.get<QComboBox>("NoiseCombo");
        noise->setCurrentIndex(0);
        emit noise->activated(0);
        EXPECT_EQ(w.unit(n).gateLevel, 1.0f);
        EXPECT_EQ(w.unit(n).gainTable[0], 0.0);
        EXPECT_EQ(w.unit(n).gainTable[1], 1.0);

        w.type("RmsTimeConstEdit", QStringLiteral("60"));
        EXPECT_DOUBLE_EQ(w.unit(n).detectorCoefficient, detectorCoefficientFromAttack(60));
        emit w.get<widgets::SpinButtons>("RmsTimeConstSpin")->up();
        EXPECT_EQ(w.text("RmsTimeConstEdit"), QStringLiteral("61"));
        w.type("HoldTimeEdit", QStringLiteral("20"));
        EXPECT_EQ(w.unit(n).holdSamples, 960);
        w.type("DecayTimeEdit", QStringLiteral("10"));
        EXPECT_EQ(w.unit(n).releaseCount, 73);  // 72.99
        emit w.get<widgets::SpinButtons>("DecayTimeSpin")->down();
        EXPECT_EQ(w.unit(n).releaseCount, 66);  // 9 dB/s
        EXPECT_EQ(w.text("DecayTimeEdit"), QStringLiteral("09"));
    }
}

TEST(TDynamicform, ExpertFieldsShowAfterTheirClicksAndTheLookAheadKeepsTheHoldTime) {
    DynamicsWindow w;
    w.form.openFor(1);
    auto* gate = w.get<QWidget>("GateEdit");
    w.clickLabel("NoiseLevelLabel", TDynamicform::kGateRevealClicks - 1);
    EXPECT_FALSE(gate->isVisible());
    w.clickLabel("NoiseLevelLabel", 1);
    EXPECT_TRUE(gate->isVisible());
    EXPECT_TRUE(w.get<QWidget>("PendienteEdit")->isVisible());
    EXPECT_EQ(w.text("GateEdit"), QStringLiteral("13"));  // the unit's gate level
    w.type("PendienteEdit", QStringLiteral("2"));
    w.type("GateEdit", QStringLiteral("16"));
    EXPECT_EQ(std::tuple(w.unit(1).gateLevel, w.unit(1).gateSlope), std::tuple(16.0f, 2.0f));
    EXPECT_EQ(w.get<QComboBox>("NoiseCombo")->currentText(), QStringLiteral("7 (High Noise)"));
    EXPECT_EQ(w.unit(1).gainTable[13], 0.0);
    EXPECT_EQ(w.unit(1).gainTable[14], 0.5);

    auto* lookAhead = w.get<widgets::RealEdit>("msLookAhead");
    w.clickLabel("RmsDynamicsLabel", TDynamicform::kLookAheadRevealClicks - 1);
    EXPECT_FALSE(lookAhead->isVisible());
    w.clickLabel("RmsDynamicsLabel", 1);
    EXPECT_TRUE(lookAhead->isVisible());
    emit w.get<widgets::SpinButtons>("msLookAheadSpin")->up();
    EXPECT_EQ(w.text("msLookAhead"), QStringLiteral("0.04"));
    EXPECT_EQ(w.unit(1).lookAheadSamples, 2);
    EXPECT_EQ(w.unit(1).holdSamples, 1920 + 2);
    EXPECT_EQ(w.text("HoldTimeEdit"), QStringLiteral("40"));
    w.type("HoldTimeEdit", QStringLiteral("10"));
    EXPECT_EQ(w.unit(1).holdSamples, 480 + 2);

    // SUB's look-ahead does not delay an output: shown, not edited.
    w.click("Output2B");
    EXPECT_FALSE(lookAhead->isEnabled());
}

TEST(TDynamicform, RealTimeSendsTheLatestTableAndTimingWordsButNeverTheLookAheadOverTheDetector) {
    DynamicsWindow w;
    EditorHarness& editor = w.editor;
    enterRealTime(editor);

    w.form.openFor(1);
    auto* threshold = w.get<widgets::CommitSlider>("threstrack");
    for (int p = 0; p <= 60; p += 2) {
        threshold->setPosition(p);
    }
    // Entries 3..32 at 151..180 hold the table of the last position. An earlier position's
    // table can end in the same words, so the whole range is awaited, not only its last word.
    const auto& table = w.unit(1).gainTable;
    std::vector<Word> words;
    for (int k = 3; k < kGainTableSize; ++k) {
        words.push_back(encodeFixedWord(table[static_cast<std::size_t>(k)]));
    }
    EXPECT_TRUE(bankHolds(editor, 151, words));

    // SUB's attack: detector at 218, then its release at 221.
    w.click("Output2B");
    w.type("RmsTimeConstEdit", QStringLiteral("200"));
    w.type("DecayTimeEdit", QStringLiteral("20"));
    EXPECT_TRUE(bankHolds(editor, 218, {encodeFixedWord(detectorCoefficientFromAttack(200))}));
    EXPECT_TRUE(bankHolds(editor, 221, {encodeIntegerWord(146)}));

    // Unit 1's look-ahead of 1 ms moves its hold samples (183) and leaves the detector (181).
    w.click("Output1B");
    const Word detector = editor.device().bankWord(1, 181);
    w.clickLabel("RmsDynamicsLabel", TDynamicform::kLookAheadRevealClicks);
    w.type("msLookAhead", QStringLiteral("1"));
    EXPECT_TRUE(bankHolds(editor, 183, {encodeIntegerWord(1920 + 48)}));
    EXPECT_EQ(editor.device().bankWord(1, 181), detector);
    EXPECT_EQ(detector, encodeFixedWord(w.unit(1).detectorCoefficient));
}

}  // namespace
}  // namespace kvn::ui::test
