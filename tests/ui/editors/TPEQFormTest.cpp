#include "EditorTestSupport.h"

#include "config/EqualizerControls.h"
#include "config/MemoryImage.h"
#include "ui/editors/EditorWindows.h"
#include "ui/editors/TPEQForm.h"
#include "ui/editors/TShowCoeffForm.h"
#include "ui/main/ConfigEdits.h"
#include "widgets/CommitSlider.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/LedButton.h"
#include "widgets/RealEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kvn::ui::test {
namespace {

struct EqualizerWindow {
    EqualizerWindow() : editor(installEditorWindows) {}

    TPEQForm* form() { return editor.find<TPEQForm>("TPEQForm"); }
    widgets::CommitSlider* slider(const char* name) {
        return editor.find<widgets::CommitSlider>(QString::fromLatin1(name));
    }
    widgets::RealEdit* field(const char* name) {
        return editor.find<widgets::RealEdit>(QString::fromLatin1(name));
    }
    void type(const char* name, const QString& text) {
        editor.type(QString::fromLatin1(name), text);
        QTest::keyClick(field(name), Qt::Key_Return);
    }
    void chooseType(int code) {
        auto* combo = editor.find<QComboBox>("TipoFiltroCombo");
        combo->setCurrentIndex(code);
        emit combo->activated(code);
    }
    widgets::ResponseGraph* graph() { return editor.find<widgets::ResponseGraph>("xygraph1"); }
    QWidget* canvas() { return graph()->canvas(); }
    QPoint pixelOf(const PeqBand& band) {
        return canvas()
            ->mapFrom(graph(), graph()->coordToPixel({band.FrequencyHz, band.GainDb}))
            .toPoint();
    }
    ProcessorConfig& config() { return editor.app().config(); }
    ConfigEdits& edits() { return editor.app().workflow().edits(); }

    EditorHarness editor;
};

TEST(TPEQForm, TheButtonsOpenTheirOutputWithSubsLimitsAndTheTypeEnablesItsControls) {
    EqualizerWindow w;
    w.editor.click("Peq3Btn");
    ASSERT_TRUE(w.form()->isVisible());
    EXPECT_EQ(w.form()->editedOutput(), 3);
    EXPECT_EQ(w.editor.find<widgets::IntSpinEdit>("SpinFiltro")->maximum(), 3);
    w.chooseType(kParametric);
    w.type("FrecEdit", QStringLiteral("800"));  // SUB's bands end at 500 Hz
    EXPECT_LE(w.config().output(3).band(1).FrequencyHz, 500.0);
    EXPECT_NEAR(w.field("FrecEdit")->text().toDouble(), w.config().output(3).band(1).FrequencyHz,
                0.5);

    w.editor.click("Peq1Btn");
    EXPECT_EQ(w.editor.find<widgets::IntSpinEdit>("SpinFiltro")->maximum(), 7);
    struct Case {
        int code;
        bool q, gain;
    };
    for (const Case& c : {Case{kBypass, false, false}, Case{kParametric, true, true},
                          Case{kLowPassButtw, false, false}, Case{kLowPassQ, true, false}}) {
        SCOPED_TRACE(c.code);
        w.chooseType(c.code);
        EXPECT_EQ(w.config().output(1).band(1).FilterType, c.code);
        EXPECT_EQ(w.field("QEdit")->isEnabled(), c.q);
        EXPECT_EQ(w.field("FilterGainEdit")->isEnabled(), c.gain);
        EXPECT_EQ(w.field("QEdit")->isEnabled(), bandControlsFor(c.code).q);
    }
}

TEST(TPEQForm, TheEditedOutputIsLitAndNamedInTheTitleAfterEverySwitchAndRename) {
    EqualizerWindow w;
    w.editor.click("Peq1Btn");
    const auto lit = [&] {
        std::vector<int> on;
        for (int k = 1; k <= 3; ++k) {
            if (w.editor.find<widgets::LedButton>(QStringLiteral("ModPEQ%1").arg(k))->isLit()) {
                on.push_back(k);
            }
        }
        return on;
    };
    for (const int k : {3, 1, 1, 2}) {
        w.editor.click(QStringLiteral("ModPEQ%1").arg(k));
        EXPECT_EQ(w.form()->editedOutput(), k);
        EXPECT_EQ(lit(), std::vector<int>{k});
    }
    EXPECT_EQ(w.graph()->title(), QStringLiteral("Out2 Equalization"));
    w.editor.click("ModPEQ3");
    EXPECT_EQ(w.graph()->title(), QStringLiteral("SUB Equalization"));
    w.editor.app().workflow().setOutputName(3, QStringLiteral("Bass  "));
    EXPECT_EQ(w.graph()->title(), QStringLiteral("Bass Equalization"));
}

TEST(TPEQForm, HeldAndRefusedEntriesAreSaidAndABandBelowTheGraphStaysInSightAndDraggable) {
    EqualizerWindow w;
    w.editor.click("Peq1Btn");
    w.chooseType(kParametric);
    const PeqBand& band = w.config().output(1).band(1);
    auto* info = w.form()->findChild<QLabel*>(QStringLiteral("InfoLabel"));
    struct Case {
        const char* field;
        const char* typed;
        const char* said;
    };
    for (const Case& c : {
             Case{"FrecEdit", "99999", "99999 Hz is above the highest frequency, 19970 Hz"},
             Case{"QEdit", "30", "30 is above the highest Q, 19.8"},
             Case{"FilterGainEdit", "-40", "-40 dB is below the lowest gain, -15.0 dB"},
             Case{"QEdit", "abc", "abc is not a number"},
             Case{"FrecEdit", "-50", "-50 Hz is below the lowest frequency, 10 Hz"},
         }) {
        SCOPED_TRACE(c.typed);
        w.type(c.field, QString::fromLatin1(c.typed));
        EXPECT_EQ(info->text(), QString::fromLatin1(c.said));
        EXPECT_TRUE(w.field(c.field)->isFlashing());
    }
    EXPECT_DOUBLE_EQ(band.Q, 19.8);  // the Q slider's top; "abc" kept it

    // The 10 Hz band's mark stands on the graph's left edge, and a press there takes hold of it.
    w.graph()->replotNow();
    int mark = -1;
    for (int id = 0; id < w.graph()->markCount(); ++id) {
        if (w.graph()->markText(id) == QStringLiteral("1") &&
            w.graph()->markPosition(id).x() < 25.0) {
            mark = id;
        }
    }
    ASSERT_GE(mark, 0);
    EXPECT_GE(w.graph()->markPosition(mark).x(), 20.0);
    mouseAt(w.graph(), QEvent::MouseButtonPress, {20.5, band.GainDb});
    mouseAt(w.graph(), QEvent::MouseMove, {100.0, band.GainDb});
    mouseAt(w.graph(), QEvent::MouseButtonRelease, {100.0, band.GainDb});
    EXPECT_NEAR(band.FrequencyHz, 100.0, 1.0);
}

TEST(TPEQForm, MarksOfBandsAtOnePlaceAreKeptApart) {
    EqualizerWindow w;
    w.editor.click("Peq2Btn");  // band 1 of Output 1 and Output 2 both stand at 1 kHz, 0 dB
    widgets::ResponseGraph* graph = w.graph();
    const QFontMetrics metrics(graph->font());
    std::vector<QPointF> marks;
    for (int id = 0; id < graph->markCount(); ++id) {
        marks.push_back(graph->coordToPixel(graph->markPosition(id)));
    }
    for (std::size_t a = 0; a < marks.size(); ++a) {
        for (std::size_t b = a + 1; b < marks.size(); ++b) {
            EXPECT_TRUE(std::abs(marks[a].y() - marks[b].y()) >= metrics.height() - 0.5 ||
                        std::abs(marks[a].x() - marks[b].x()) >= metrics.averageCharWidth());
        }
    }
}

TEST(TPEQForm, UndoAndRedoKeysUndoTheConfigurationWhileAFieldHasTheFocus) {
    EqualizerWindow w;
    w.editor.click("Peq1Btn");
    w.chooseType(kParametric);
    w.type("FilterGainEdit", QStringLiteral("4.5"));
    const PeqBand& band = w.config().output(1).band(1);
    TPEQForm* form = w.form();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([form] { return QApplication::activeWindow() == form; }));

    // A field's text not yet entered is taken as the step that the undo key takes back.
    widgets::RealEdit* frequency = w.field("FrecEdit");
    const double hz = band.FrequencyHz;
    w.editor.type("FrecEdit", QStringLiteral("500"));
    QTest::keyClick(frequency, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(band.FrequencyHz, hz);
    EXPECT_EQ(frequency->text(), QString::number(std::round(hz)));
    QTest::keyClick(frequency, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(band.FrequencyHz, 500.0, 0.5);
    // Nothing typed: the undo key takes back the last step (the gain); also from the band spin.
    QTest::keyClick(frequency, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w.field("FilterGainEdit"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(band.GainDb, 0.0);
    auto* spin = w.editor.find<widgets::IntSpinEdit>("SpinFiltro");
    spin->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(band.GainDb, 4.5);
}

TEST(TPEQForm, ControlsAndGraphGesturesEditTheSelectedBandEachAsOneUndoStep) {
    EqualizerWindow w;
    w.editor.click("Peq1Btn");
    w.chooseType(kParametric);
    const PeqBand& band = w.config().output(1).band(1);
    w.type("FilterGainEdit", QStringLiteral("4.5"));
    EXPECT_DOUBLE_EQ(band.GainDb, 4.5);
    EXPECT_EQ(w.edits().undoDescription(), QStringLiteral("Output 1 band 1 gain"));
    w.type("QEdit", QStringLiteral("2"));
    w.type("FrecEdit", QStringLiteral("1000"));
    EXPECT_DOUBLE_EQ(band.Q, 2.0);

    // The wheel over the point steps Q; a double click on it sets the gain to 0 dB.
    w.graph()->replotNow();
    const double q = band.Q;
    QWheelEvent wheel(w.pixelOf(band), w.canvas()->mapToGlobal(w.pixelOf(band)), {}, {0, 120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.canvas(), &wheel);
    EXPECT_GT(band.Q, q);
    QTest::mouseDClick(w.canvas(), Qt::LeftButton, {}, w.pixelOf(band));
    EXPECT_DOUBLE_EQ(band.GainDb, 0.0);
    // Keys on the graph: Up 0.1 dB, Right one frequency step.
    const double hz = band.FrequencyHz;
    QTest::keyClick(w.canvas(), Qt::Key_Up);
    QTest::keyClick(w.canvas(), Qt::Key_Right);
    EXPECT_NEAR(band.GainDb, 0.1, 1e-9);
    EXPECT_GT(band.FrequencyHz, hz);

    // A drag of the point is one step, however many moves it makes.
    const ProcessorConfig beforeDrag = w.config();
    mouseAt(w.graph(), QEvent::MouseButtonPress, {band.FrequencyHz, band.GainDb});
    for (double gain : {2.0, 4.0, 6.0}) {
        mouseAt(w.graph(), QEvent::MouseMove, {3000.0, gain});
    }
    mouseAt(w.graph(), QEvent::MouseButtonRelease, {3000.0, 6.0});
    EXPECT_NEAR(band.GainDb, 6.0, 0.5);
    EXPECT_NEAR(std::log10(band.FrequencyHz), std::log10(3000.0), 0.05);
    EXPECT_EQ(w.field("FilterGainEdit")->text().toDouble(), band.GainDb);
    w.edits().undo();
    EXPECT_EQ(w.config(), beforeDrag);
}

TEST(TPEQForm, InRealTimeTheBandsSectionReachesTheProcessorAndTheCoefficientViewFollows) {
    EqualizerWindow w;
    auto log = enterRealTime(w.editor);
    w.editor.click("Peq2Btn");
    w.editor.find<widgets::IntSpinEdit>("SpinFiltro")->setValue(3);
    w.chooseType(kParametric);
    w.slider("FilterGainSlider")->setPosition(40);
    const PeqBand& band = w.config().output(2).band(3);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto sent = log->sectionSlots();
            return !sent.empty() && sent.back() == band.CoeffSlot;
        },
        5000));
    // A drag of the point: when the mouse stops, the processor holds the band's final section.
    const std::vector<int> before = w.editor.device().bankDifferences(1, BuildImage(w.config()));
    w.graph()->replotNow();
    mouseAt(w.graph(), QEvent::MouseButtonPress, {band.FrequencyHz, band.GainDb});
    for (int i = 0; i < 30; ++i) {
        mouseAt(w.graph(), QEvent::MouseMove, {200.0 + 50.0 * i, -6.0 + 0.4 * i});
    }
    mouseAt(w.graph(), QEvent::MouseButtonRelease, {1650.0, 5.6});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<int> now =
                w.editor.device().bankDifferences(1, BuildImage(w.config()));
            return std::includes(before.begin(), before.end(), now.begin(), now.end());
        },
        5000));
    auto* coefficients = w.editor.find<TShowCoeffForm>("TShowCoeffForm");
    ASSERT_NE(coefficients, nullptr);
    coefficients->openFor(0);
    bool named = false;
    for (QLabel* label : coefficients->findChildren<QLabel*>()) {
        named = named || label->text().startsWith(QStringLiteral("Output 2 band 3"));
    }
    EXPECT_TRUE(named);
}

TEST(TPEQForm, ExportAndImportFiltersWorkOnTheEditedOutput) {
    EqualizerWindow w;
    w.editor.click("Peq2Btn");
    w.chooseType(kParametric);
    w.type("FilterGainEdit", QStringLiteral("-3.5"));
    const QString path = w.editor.path(QStringLiteral("out2.txt"));
    w.editor.dialogs().chooseFile(path);
    w.editor.click("ExportFiltersB");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Gain -3.5 dB"));
    file.close();

    w.edits().undo();  // the band's gain back to 0 dB; the import brings it again in one step
    ASSERT_NE(w.config().output(2).band(1).GainDb, -3.5);
    w.editor.dialogs().chooseFile(path);
    w.editor.dialogs().answer(Answer::Ok);
    w.editor.click("ImportFiltersB");
    EXPECT_DOUBLE_EQ(w.config().output(2).band(1).GainDb, -3.5);
    EXPECT_EQ(w.field("FilterGainEdit")->text(), QStringLiteral("-3.5"));
}

}  // namespace
}  // namespace kvn::ui::test
