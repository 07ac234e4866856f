#include "EditorTestSupport.h"

#include "config/Encodings.h"
#include "ui/editors/EditorWindows.h"
#include "ui/editors/TXOVERForm.h"
#include "ui/main/ConfigEdits.h"
#include "widgets/CommitSlider.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/LedButton.h"
#include "widgets/RealEdit.h"
#include "widgets/SpinButtons.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>

#include <QTest>
#include <QToolButton>
#include <cmath>

namespace kvn::ui::test {
namespace {

class CrossoverWindow {
public:
    CrossoverWindow() : editor(installEditorWindows) {}

    TXOVERForm* form() { return editor.find<TXOVERForm>("TXOVERForm"); }
    QComboBox* family(const char* edge) { return editor.find<QComboBox>(name("TipoXCombo", edge)); }
    widgets::IntSpinEdit* order(const char* edge) {
        return editor.find<widgets::IntSpinEdit>(name("OrdenSpin", edge));
    }
    widgets::RealEdit* field(const char* edge) {
        return editor.find<widgets::RealEdit>(name("FrecEdit", edge));
    }
    widgets::CommitSlider* slider(const char* edge) {
        return editor.find<widgets::CommitSlider>(name("FrecSlider", edge));
    }
    widgets::ResponseGraph* graph() { return editor.find<widgets::ResponseGraph>("XoverGraph"); }
    void type(const char* edge, int hz) {
        editor.type(name("FrecEdit", edge), QString::number(hz));
        QTest::keyClick(field(edge), Qt::Key_Return);
    }
    ProcessorConfig& config() { return editor.app().config(); }
    ConfigEdits& edits() { return editor.app().workflow().edits(); }

    EditorHarness editor;

private:
    static QString name(const char* prefix, const char* edge) {
        return QString::fromLatin1(prefix) + QStringLiteral("0") + QString::fromLatin1(edge);
    }
};

TEST(TXOVERForm, TheXOverButtonsOpenTheirOutputAndSubOffersOnlyItsLowPass) {
    CrossoverWindow w;
    w.editor.click("Xover2Btn");
    ASSERT_TRUE(w.form()->isVisible());
    EXPECT_EQ(w.form()->editedOutput(), 2);
    EXPECT_TRUE(w.editor.find<widgets::LedButton>("ModXover2")->isLit());
    EXPECT_EQ(w.editor.find<QLabel>("XoverPanelLabel")->text(), QStringLiteral("CrossOver 2"));
    EXPECT_EQ(w.graph()->title(), QStringLiteral("OUT 2 CrossOver"));
    EXPECT_FALSE(w.order("L")->isEnabled());  // "ByPass" takes no order
    EXPECT_EQ(std::tuple(w.order("H")->minimum(), w.order("H")->maximum()), std::tuple(2, 4));

    w.editor.click("Xover3Btn");
    for (QWidget* control :
         {static_cast<QWidget*>(w.family("L")), static_cast<QWidget*>(w.order("L")),
          static_cast<QWidget*>(w.field("L")), static_cast<QWidget*>(w.slider("L"))}) {
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    }
    EXPECT_EQ(w.family("L")->currentText(), QStringLiteral("ByPass"));
    EXPECT_EQ(w.family("H")->itemText(0), QStringLiteral("-----------"));
    EXPECT_EQ(w.family("H")->currentText(), QStringLiteral("ButtW"));
    EXPECT_EQ(w.editor.find<widgets::IntSpinEdit>("FrecSpin0H")->maximum(), 480);

    w.type("H", 1000);
    EXPECT_EQ(w.config().output(3).LowPassEdge.FrequencyHz, 480.0);
    EXPECT_EQ(w.field("H")->text(), QStringLiteral("480"));
    // The first entry cannot bypass SUB's low-pass: nothing changes, and the list says so.
    const TXOVERPB before = w.config().output(3).LowPassEdge;
    w.family("H")->setCurrentIndex(0);
    EXPECT_EQ(w.config().output(3).LowPassEdge, before);
    EXPECT_EQ(w.family("H")->currentText(), QStringLiteral("ButtW"));

    w.editor.click("ModXover1");
    EXPECT_EQ(w.family("H")->itemText(0), QStringLiteral("ByPass"));
    EXPECT_TRUE(w.field("L")->isEnabled());
}

TEST(TXOVERForm, EveryControlDesignsItsEdgeAndIsOneUndoStep) {
    CrossoverWindow w;
    w.editor.click("Xover1Btn");
    const TXOVERPB& low = w.config().output(1).LowPassEdge;

    w.family("H")->setCurrentIndex(2);  // L-Riley, order 2: two first-order sections
    EXPECT_EQ(std::tuple(low.XoverType, low.Order, low.SectionCount),
              std::tuple(kLinkwitzRileyLowPass, 2, 2));
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(std::tuple(low.section(k).b2, low.section(k).a2), std::tuple(0.0, 0.0));
    }
    EXPECT_TRUE(w.order("H")->isEnabled());
    w.order("H")->setValue(4);
    EXPECT_EQ(low.Order, 4);
    EXPECT_NE(low.section(1).a2, 0.0);

    w.type("H", 2200);
    EXPECT_EQ(low.FrequencyHz, 2200.0);
    EXPECT_EQ(w.slider("H")->position(), xoverSliderPosition(2200));
    w.editor.find<widgets::SpinButtons>("FrecSpinB0H")->upButton()->click();
    EXPECT_EQ(low.FrequencyHz, 2201.0);
    w.slider("H")->setPosition(xoverSliderPosition(1000));
    EXPECT_EQ(low.FrequencyHz, xoverFrequencyFromSlider(xoverSliderPosition(1000)));
    EXPECT_EQ(w.field("H")->text(), QString::number(low.FrequencyHz));
    EXPECT_EQ(w.edits().undoDescription(), QStringLiteral("Output 1 low-pass frequency"));
    for (int step = 0; step < 4; ++step) {
        w.edits().undo();
    }
    EXPECT_EQ(std::tuple(low.XoverType, low.Order), std::tuple(kLinkwitzRileyLowPass, 2));
    EXPECT_EQ(std::tuple(w.order("H")->value(), w.field("H")->text()),
              std::tuple(2, QStringLiteral("5000")));

    // Text that is not a number leaves the edge and the field as they were.
    w.editor.type("FrecEdit0H", QStringLiteral("12k"));
    QTest::keyClick(w.field("H"), Qt::Key_Return);
    EXPECT_TRUE(w.editor.shown(QStringLiteral("Conversion Error")));
    EXPECT_EQ(std::tuple(low.FrequencyHz, w.field("H")->text()),
              std::tuple(5000.0, QStringLiteral("5000")));
}

TEST(TXOVERForm, EdgesCannotCrossFromEitherSide) {
    CrossoverWindow w;
    w.editor.click("Xover1Btn");
    OutputChannel& out = w.config().output(1);
    w.type("L", 6000);  // the low-pass edge is at 5000 Hz
    EXPECT_EQ(std::tuple(out.HighPassEdge.FrequencyHz, w.field("L")->text()),
              std::tuple(5000.0, QStringLiteral("5000")));
    w.type("L", 300);
    w.type("H", 120);
    EXPECT_EQ(std::tuple(out.LowPassEdge.FrequencyHz, w.field("H")->text()),
              std::tuple(300.0, QStringLiteral("300")));
    w.slider("L")->setPosition(kXoverSliderSteps);
    EXPECT_EQ(out.HighPassEdge.FrequencyHz, 300.0);
    EXPECT_EQ(w.slider("L")->position(), xoverSliderPosition(300));
}

TEST(TXOVERForm, BesselLowPassAboveItsLimitIsHeldThereWithTheMessage) {
    CrossoverWindow w;
    w.editor.click("Xover2Btn");
    const TXOVERPB& low = w.config().output(2).LowPassEdge;
    w.family("H")->setCurrentIndex(3);
    w.type("H", 18800);
    EXPECT_TRUE(w.editor.dialogs().texts().isEmpty());
    w.type("H", 19000);
    EXPECT_EQ(w.editor.dialogs().texts(),
              QStringList{QStringLiteral("Maximum Bessel Cutoff = 18800 for LowPass of order 2")});
    EXPECT_EQ(std::tuple(low.FrequencyHz, w.field("H")->text()),
              std::tuple(18800.0, QStringLiteral("18800")));
    EXPECT_NEAR(low.section(1).FrequencyHz, 18800.0 * 1.2721, 2.0);

    w.order("H")->setValue(4);
    EXPECT_TRUE(
        w.editor.shown(QStringLiteral("Maximum Bessel Cutoff = 14900 for LowPass of order 4")));
    EXPECT_EQ(std::tuple(low.FrequencyHz, low.Order, w.field("H")->text()),
              std::tuple(14900.0, 4, QStringLiteral("14900")));
}

TEST(TXOVERForm, DraggingAnEdgesHandleMovesItInOneUndoStep) {
    CrossoverWindow w;
    w.editor.click("Xover1Btn");
    w.family("H")->setCurrentIndex(2);
    w.order("H")->setValue(4);
    w.type("H", 2000);
    const TXOVERPB& low = w.config().output(1).LowPassEdge;
    // The handle stands at the frequency the field shows, on the curve: a Linkwitz-Riley edge is
    // 6 dB down there.
    const double handle = 2000.0;
    widgets::ResponseGraph* graph = w.graph();
    bool marked = false;
    for (int id = 0; id < graph->markCount(); ++id) {
        const QPointF at = graph->markPosition(id);
        marked = marked || (!graph->markText(id).isEmpty() && std::abs(at.x() - handle) < 1e-9 &&
                            std::abs(at.y() + 6.02) < 0.05);
    }
    EXPECT_TRUE(marked);

    mouseAt(graph, QEvent::MouseMove, {handle * 1.1, -3.0});
    EXPECT_TRUE(w.form()
                    ->findChild<QLabel*>(QStringLiteral("InfoLabel"))
                    ->text()
                    .endsWith(QStringLiteral(" dBs")));
    mouseAt(graph, QEvent::MouseButtonPress, {handle * 1.1, -3.0});
    mouseAt(graph, QEvent::MouseMove, {handle * 1.5, -8.0});
    mouseAt(graph, QEvent::MouseMove, {handle * 2.0, -8.0});
    mouseAt(graph, QEvent::MouseButtonRelease, {handle * 2.0, -8.0});
    EXPECT_NEAR(low.FrequencyHz, 4000.0, 1.0);
    EXPECT_EQ(w.field("H")->text(), QString::number(low.FrequencyHz));
    w.edits().undo();
    EXPECT_EQ(low.FrequencyHz, 2000.0);

    // A press away from the handles, or in the phase view, moves nothing.
    mouseAt(graph, QEvent::MouseButtonPress, {500.0, -3.0});
    mouseAt(graph, QEvent::MouseMove, {800.0, -3.0});
    mouseAt(graph, QEvent::MouseButtonRelease, {800.0, -3.0});
    w.editor.click("Phas");
    mouseAt(graph, QEvent::MouseButtonPress, {handle, 0.0});
    mouseAt(graph, QEvent::MouseMove, {handle * 2.0, 0.0});
    EXPECT_EQ(w.form()->findChild<QLabel*>(QStringLiteral("InfoLabel"))->text().right(2),
              QStringLiteral("\u00BA "));
    mouseAt(graph, QEvent::MouseButtonRelease, {handle * 2.0, 0.0});
    EXPECT_EQ(low.FrequencyHz, 2000.0);
    EXPECT_EQ(graph->yRange().lower, -180.0);
}

TEST(TXOVERForm, RealTimeSendsTheOutputsSectionsInTheProcessorsOrder) {
    CrossoverWindow w;
    const std::shared_ptr<WireLog> log = enterRealTime(w.editor);
    const auto sent = [&](std::size_t count) {
        return QTest::qWaitFor([&] { return log->sectionSlots().size() >= count; }, 5000);
    };

    w.editor.click("Xover2Btn");
    w.family("L")->setCurrentIndex(1);
    ASSERT_TRUE(sent(4));
    EXPECT_EQ(log->sectionSlots(), (std::vector<int>{111, 106, 101, 96}));
    const TSOS& high2 = w.config().output(2).HighPassEdge.section(2);
    EXPECT_TRUE(bankHolds(w.editor, 111, sectionWords(high2)));

    log->clear();
    w.editor.click("Xover3Btn");
    w.type("H", 300);
    ASSERT_TRUE(sent(2));
    EXPECT_EQ(log->sectionSlots(), (std::vector<int>{136, 131}));
    const TSOS& sub1 = w.config().output(3).LowPassEdge.section(1);
    EXPECT_TRUE(bankHolds(w.editor, 131, sectionWords(sub1)));
}

}  // namespace
}  // namespace kvn::ui::test
