#include "EditorTestSupport.h"

#include "SyntheticSpeakers.h"
#include "ui/editors/EditorWindows.h"
#include "ui/editors/TAutoEqForm.h"
#include "ui/main/ConfigEdits.h"
#include "widgets/RealEdit.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include <fstream>

namespace kvn::ui::test {
namespace {

struct AutoEqWindow {
    AutoEqWindow() : editor(installEditorWindows) {
        measurement = editor.path(QStringLiteral("top.frd"));
        std::ofstream(measurement.toStdString())
            << kvn::test::speakerFrd(kvn::test::Speaker::FullRange);
    }
    TAutoEqForm* form() { return editor.find<TAutoEqForm>("TAutoEqForm"); }
    QString result() { return editor.find<QLabel>("ResultLabel")->text(); }
    bool enabled(const char* name) {
        return editor.find<QPushButton>(QString::fromLatin1(name))->isEnabled();
    }
    // Opens the window from the equaliser's "Auto EQ..." and chooses the measurement file.
    void open() {
        editor.click("Peq1Btn");
        editor.click("AutoEqB");
        editor.dialogs().chooseFile(measurement);
        editor.click("MeasurementB");
    }
    bool fit() {
        QSignalSpy ended(form(), &TAutoEqForm::fitEnded);
        editor.click("FitB");
        return ended.wait(60000);
    }
    std::array<PeqBand, kPeqBands> bands() { return editor.app().config().output(1).Peq; }

    EditorHarness editor;
    QString measurement;
};

TEST(TAutoEqForm, FitsOnAWorkerThenApplyIsOneUndoStepThatTheProcessorReceives) {
    AutoEqWindow w;
    auto log = enterRealTime(w.editor);
    w.open();
    ASSERT_TRUE(w.form()->isVisible());
    const auto before = w.bands();

    QSignalSpy ended(w.form(), &TAutoEqForm::fitEnded);
    w.editor.click("FitB");
    // The click returns while the worker fits: the window can still be used and cancel it.
    EXPECT_TRUE(w.form()->fitting());
    EXPECT_TRUE(w.enabled("CancelB") && !w.enabled("FitB") && !w.enabled("ApplyB"));
    ASSERT_TRUE(ended.wait(60000));
    EXPECT_TRUE(w.result().startsWith(QStringLiteral("RMS deviation over 40-16000 Hz: ")))
        << w.result().toStdString();
    EXPECT_TRUE(w.enabled("ApplyB"));
    EXPECT_EQ(w.bands(), before);  // a proposal changes nothing

    log->clear();
    w.editor.click("ApplyB");
    const OutputChannel& output = w.editor.app().config().output(1);
    EXPECT_EQ(output.band(1).FilterType == kParametric || output.band(1).FilterType == kShelvLow6dB,
              true);
    EXPECT_EQ(w.editor.app().config().MeasurementFile[0], w.measurement.toStdString());
    EXPECT_EQ(w.editor.app().context().edits.undoDescription(), QStringLiteral("Output 1 Auto EQ"));
    for (int b = 1; b <= kPeqBands; ++b) {
        EXPECT_TRUE(bankHolds(w.editor, output.band(b).CoeffSlot, sectionWords(output.band(b))))
            << "band " << b;
    }
    w.editor.app().context().edits.undo();
    EXPECT_EQ(w.bands(), before);
}

TEST(TAutoEqForm, CancelStopsAFit_ChangesElsewhereDropTheProposal_AndProblemsAreTold) {
    AutoEqWindow w;
    w.open();
    QSignalSpy ended(w.form(), &TAutoEqForm::fitEnded);
    w.editor.click("FitB");
    w.editor.click("CancelB");
    ASSERT_TRUE(ended.wait(60000));
    EXPECT_EQ(w.result(), QStringLiteral("The fit was cancelled."));

    ASSERT_TRUE(w.fit());
    ASSERT_TRUE(w.enabled("ApplyB"));
    w.editor.app().context().edits.apply(
        {QStringLiteral("Output 1 band 1 gain"), {link::EditScope::peqBand(1, 1)}},
        [](ProcessorConfig& c) { c.output(1).band(1).GainDb = 3.0; });
    EXPECT_FALSE(w.enabled("ApplyB"));
    EXPECT_EQ(w.result(), QStringLiteral("The output changed: fit again."));

    w.editor.type("LowEdit", QStringLiteral("1000"));
    w.editor.type("HighEdit", QStringLiteral("1000"));
    ASSERT_TRUE(w.fit());
    EXPECT_TRUE(w.editor.shown(
        QStringLiteral("The range 1000-1000 Hz is empty: its low end must be below its high end")));

    auto* outputs = w.editor.find<QComboBox>("OutputCombo");
    outputs->setCurrentIndex(1);
    emit outputs->activated(1);
    w.editor.click("FitB");
    EXPECT_EQ(w.result(),
              QStringLiteral("OUT 2 has no imported measurement: import one or choose a file."));
}

}  // namespace
}  // namespace kvn::ui::test
