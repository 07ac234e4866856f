#include "AlignmentSamples.h"
#include "EditorHarness.h"

#include "analysis/MeasurementFormats.h"
#include "config/CoefficientAddresses.h"
#include "config/DelayControls.h"
#include "config/Encodings.h"
#include "ui/analysis/AnalysisWindows.h"
#include "ui/analysis/TAlignForm.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/MainWorkflow.h"
#include "widgets/RealEdit.h"
#include "widgets/ResponseGraph.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include <filesystem>
#include <fstream>

namespace kvn::ui::test {
namespace {

struct AlignWindow {
    AlignWindow() : editor(installAnalysisWindows) {}

    TAlignForm* window() { return editor.find<TAlignForm>("TAlignForm"); }
    ConfigEdits& edits() { return editor.app().workflow().edits(); }
    const ProcessorConfig& config() { return editor.app().config(); }
    QString cell(int row, int column) {
        return editor.find<QTableWidget>("ProposalTable")->item(row, column)->text();
    }
    // The sample SUB 4 ms early, with its phase or without.
    std::string writeSub(bool phase) {
        const std::string path = editor.path(phase ? "sub.frd" : "flat.frd").toStdString();
        std::ofstream(path) << kvn::test::sampleSubText(192, phase);
        return path;
    }
    // The alignment tests' two-way system with its measurements, SUB at 10 samples.
    void loadSystem(const std::string& subFile) {
        const std::string top = editor.path("top.frd").toStdString();
        std::filesystem::copy_file(std::string(KVN_SAMPLE_MEASUREMENTS) + "/top.frd", top,
                                   std::filesystem::copy_options::overwrite_existing);
        using link::EditScope;
        edits().apply({QStringLiteral("System"),
                       {EditScope::crossover(1), EditScope::crossover(3), EditScope::mute(2),
                        EditScope::level(3), EditScope::delay(3)},
                       nullptr,
                       true,
                       true},
                      [&](ProcessorConfig& c) {
                          kvn::test::setTwoWay(c, 100.0);
                          c.output(3).DelaySamples = 10;
                          c.MeasurementFile = {top, "", subFile};
                          c.MeasurementFormat = analysis::kFormatFrd;
                          c.MeasurementSpl = 96.0f;
                      });
    }

    EditorHarness editor;
};

TEST(TAlignForm, FindShowsTheProposalOrWhatIsMissing_ApplyIsOneStepSentInRealTime) {
    AlignWindow w;
    ASSERT_TRUE(w.editor.connectVirtual());
    ASSERT_TRUE(w.editor.startRealTime());
    // A SUB measured without phase is refused by name.
    const std::string flat = w.writeSub(false);
    w.loadSystem(flat);
    w.editor.click("FinalResponseB");
    w.editor.click("AlignB");
    TAlignForm* window = w.window();
    ASSERT_TRUE(window->isVisible());
    w.editor.click("FindB");
    EXPECT_FALSE(window->searching());
    EXPECT_TRUE(w.editor.shown(QString::fromStdString(
        "SUB: " + flat + " has no phase, and alignment needs the measured phase")));

    w.loadSystem(w.writeSub(true));
    EXPECT_EQ(w.editor.find<widgets::RealEdit>("RangeLowEdit")->text(), QStringLiteral("50"));
    EXPECT_EQ(w.editor.find<widgets::RealEdit>("RangeHighEdit")->text(), QStringLiteral("200"));
    EXPECT_FALSE(w.editor.find<QWidget>("Move2")->isEnabled());  // muted

    w.editor.click("FindB");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->searching(); }, 10000));
    ASSERT_TRUE(window->proposal());
    const analysis::AlignmentResult proposal = *window->proposal();
    const int samples = proposal.delays[2];
    EXPECT_GT(samples, 10);
    EXPECT_LT(proposal.lossAfterDb, 0.05);
    EXPECT_EQ(w.cell(2, 0), QStringLiteral("10, Normal"));
    EXPECT_EQ(w.cell(2, 1), QString::number(samples));
    EXPECT_EQ(w.cell(2, 2), QString::number(samples / 48.0, 'f', 2));
    EXPECT_EQ(w.cell(2, 3), QString::number(delayCmFromSamples(samples, 25), 'f', 1));
    EXPECT_EQ(w.cell(1, 0), QStringLiteral("muted"));
    EXPECT_TRUE(
        w.editor.find<QLabel>("LossLabel")
            ->text()
            .endsWith(
                QStringLiteral("dB before, %1 dB aligned").arg(proposal.lossAfterDb, 0, 'f', 2)));
    auto* graph = w.editor.find<widgets::ResponseGraph>("AlignGraph");
    EXPECT_EQ(graph->seriesPoint(TAlignForm::kAlignedSeries, 200).y(), proposal.addAfterDb[200]);

    // Apply: one undo step; the processor gets the delay (and the signed level) at once.
    const ProcessorConfig before = w.config();
    w.editor.click("ApplyB");
    EXPECT_EQ(w.config().output(3).DelaySamples, samples);
    EXPECT_EQ(w.config().output(3).Inverted, proposal.inverted[2]);
    EXPECT_EQ(w.edits().undoDescription(), QStringLiteral("Alignment"));
    EXPECT_FALSE(w.editor.find<QWidget>("ApplyB")->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return w.editor.device().bankWord(1, addr::delay(3)) ==
                       encodeIntegerWord(samples + 1) &&
                   w.editor.device().bankWord(1, addr::outputLevel(3)) ==
                       encodeFixedWord(w.config().output(3).levelCoefficient());
        },
        5000));
    w.edits().undo();
    EXPECT_EQ(w.config(), before);
    EXPECT_FALSE(window->proposal());
    EXPECT_EQ(w.editor.find<QLabel>("StateLabel")->text(),
              QStringLiteral("The configuration changed: press Find again."));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return w.editor.device().bankWord(1, addr::delay(3)) == encodeIntegerWord(11); },
        5000));
}

}  // namespace
}  // namespace kvn::ui::test
