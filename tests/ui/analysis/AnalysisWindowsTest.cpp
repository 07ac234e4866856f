#include "EditorHarness.h"

#include "analysis/MeasurementFormats.h"
#include "config/PresetFile.h"
#include "ui/analysis/AnalysisWindows.h"
#include "ui/analysis/TFinalResponseForm.h"
#include "ui/analysis/TImpDataForm.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/MainWorkflow.h"
#include "widgets/LedButton.h"
#include "widgets/ResponseGraph.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <fstream>

namespace kvn::ui::test {
namespace {

// A flat 6 dB above the 90 dB reference, from 10 Hz to 24 kHz.
constexpr const char* kSixDbFile = "* sample\n10 96 0\n24000 96 0\n";

struct AnalysisWindows {
    AnalysisWindows() : editor(installAnalysisWindows) {}

    TFinalResponseForm* view() { return editor.find<TFinalResponseForm>("TFinalResponseForm"); }
    TImpDataForm* import() { return editor.find<TImpDataForm>("TImpDataForm"); }
    ConfigEdits& edits() { return editor.app().workflow().edits(); }
    const ProcessorConfig& config() { return editor.app().config(); }
    QString write(const QString& name, const char* text) {
        const QString path = editor.path(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        std::ofstream(path.toStdString(), std::ios::binary) << text;
        return path;
    }
    // Chooses `path` for `output` through "..." in the import window.
    void choose(int output, const QString& path) {
        editor.dialogs().chooseFile(path);
        editor.click(QStringLiteral("data%1B").arg(output));
    }
    // Lets the coalesced recomputation run; the plotted value of `series` at 20 Hz, where the
    // default crossovers are flat.
    double plotted(int series) {
        QCoreApplication::processEvents();
        return editor.find<widgets::ResponseGraph>("FinalGraph")->seriesPoint(series, 0).y();
    }

    EditorHarness editor;
};

TEST(AnalysisWindows, ImportOk_StoresOneUndoStepAndFeedsTheView) {
    AnalysisWindows w;
    w.editor.click("ImportB");
    ASSERT_TRUE(w.import()->isVisible());
    EXPECT_EQ(w.import()->chosenFormat(), analysis::kFormatAuto);
    w.choose(1, w.write("top.frd", kSixDbFile));
    w.choose(2, w.write("bad.txt", "    Freq\t      dB\t   Phase\n  100.00   xx\n"));
    w.choose(3, w.write("sub.frd", kSixDbFile));
    w.editor.click("Clear3B");
    w.editor.click("OkB");

    // A refusal keeps the window open with the message on its status line.
    EXPECT_TRUE(w.import()->isVisible());
    EXPECT_TRUE(w.editor.shown(w.editor.path("bad.txt") + ": line 2 is not a line of numbers."));
    EXPECT_EQ(w.config().MeasurementFile[0], w.editor.path("top.frd").toStdString());
    // Nothing of the rejected file is kept.
    EXPECT_EQ(w.config().MeasurementFile[1], "");
    EXPECT_EQ(w.config().MeasurementFile[2], "");
    // Auto stores the format the first file was read with, and stays chosen.
    EXPECT_EQ(w.config().MeasurementFormat, analysis::kFormatFrd);
    EXPECT_EQ(w.import()->chosenFormat(), analysis::kFormatAuto);
    EXPECT_NEAR(w.plotted(1), 6.0, 1e-4);
    EXPECT_NEAR(w.plotted(2), 0.0, 1e-4);
    EXPECT_NEAR(w.plotted(3), 0.0, 1e-4);

    // One undo step, which takes the curve away again.
    EXPECT_EQ(w.edits().undoDescription(), QStringLiteral("Speaker data import"));
    w.edits().undo();
    EXPECT_EQ(w.config().MeasurementFile[0], "");
    EXPECT_NEAR(w.plotted(1), 0.0, 1e-4);
    w.edits().redo();
    EXPECT_NEAR(w.plotted(1), 6.0, 1e-4);

    // Cancel forgets the choices.
    w.editor.click("ImportB");
    w.editor.click("Clear1B");
    w.editor.click("CancelB");
    w.editor.click("ImportB");
    EXPECT_EQ(w.editor.find<QLineEdit>("Edit1")->text(), w.editor.path("top.frd"));
}

TEST(AnalysisWindows, RefusedFile_ChangesNothingOfItsOutput_TypedPathsAndColumnChoice) {
    AnalysisWindows w;
    const auto typePath = [&](const char* edit, const QString& path) {
        w.editor.type(edit, path);
        QTest::keyClick(w.editor.find<QLineEdit>(edit), Qt::Key_Return);
    };
    const QString top = w.write("top.frd", kSixDbFile);
    w.editor.click("ImportB");
    typePath("Edit1", top);
    EXPECT_FALSE(w.editor.find<QComboBox>("Column1")->isEnabled());
    w.editor.click("OkB");
    EXPECT_FALSE(w.import()->isVisible());
    EXPECT_NEAR(w.plotted(1), 6.0, 1e-4);

    // Edits elsewhere while the window is closed leave its choice as it was.
    w.edits().apply({QStringLiteral("SUB name"), {link::EditScope::quiet(3)}},
                    [](ProcessorConfig& c) { c.output(3).Name = "Bass"; });
    w.edits().apply({QStringLiteral("Output 1 delay"), {link::EditScope::delay(1)}},
                    [](ProcessorConfig& c) { c.output(1).DelaySamples = 12; });

    // Output 1 gets a garbage file, Output 2 a file with two magnitude columns, the second chosen.
    w.editor.click("ImportB");
    EXPECT_EQ(w.import()->chosenFormat(), analysis::kFormatAuto);
    const QString bad = w.write("bad.frd", "100 90\n200 91\n3 garbage\n");
    typePath("Edit1", bad);
    typePath("Edit2", w.write("bands.csv", "freq_Hz,woofer_dB,mid_dB\n10,96,93\n24000,96,93\n"));
    auto* column2 = w.editor.find<QComboBox>("Column2");
    ASSERT_EQ(column2->count(), 2);
    EXPECT_TRUE(column2->isEnabled());
    column2->setCurrentIndex(1);
    w.editor.click("OkB");

    const QString refusal = bad + ": line 3 is not a line of numbers.";
    EXPECT_TRUE(w.editor.shown(refusal));
    EXPECT_TRUE(w.import()->isVisible());
    EXPECT_EQ(w.editor.find<QLabel>("ImportStatus")->text(),
              "Out1: " + refusal +
                  "\nOut2: columns read: frequency freq_Hz, magnitude mid_dB (of woofer_dB, "
                  "mid_dB), no phase");
    EXPECT_EQ(w.editor.find<QLineEdit>("Edit1")->text(), top);
    EXPECT_EQ(w.config().MeasurementFile[0], top.toStdString());
    EXPECT_NEAR(w.plotted(1), 6.0, 1e-4);
    EXPECT_NEAR(w.plotted(2), 3.0, 1e-4);
    EXPECT_EQ(w.editor.find<QComboBox>("Column2")->currentText(), QStringLiteral("mid_dB"));

    // Undo and redo import again; redo keeps the column choice. A file refused on such an
    // import leaves its output flat and says so.
    w.edits().undo();
    EXPECT_NEAR(w.plotted(2), 0.0, 1e-4);
    w.edits().redo();
    EXPECT_NEAR(w.plotted(2), 3.0, 1e-4);
    w.write("top.frd", "100 90\n200 91\n3 garbage\n");
    w.edits().undo();
    EXPECT_TRUE(w.editor.shown(top + ": line 3 is not a line of numbers."));
    EXPECT_NEAR(w.plotted(1), 0.0, 1e-4);
}

TEST(AnalysisWindows, DbuFormat_AsksForTheMicrophoneFirst) {
    AnalysisWindows w;
    w.editor.click("ImportB");
    w.editor.click("FormatB4");  // hidden, as the button of the dBu format is
    auto* sensitivity = w.editor.find<QWidget>("TSensibilidadForm");
    ASSERT_TRUE(sensitivity->isVisible());
    w.editor.type("SensibilidadEdit", "10");
    w.editor.click("SensibilidadOkB");
    EXPECT_FALSE(sensitivity->isVisible());
    w.choose(1,
             w.write("m.txt", "    f[Hz] Level[dBu]\n     10.0       0.0\n  24000.0       0.0\n"));
    w.editor.click("OkB");
    EXPECT_EQ(w.config().MeasurementFormat, analysis::kFormatMinilyzerDbu);
    // 0 dBu from 10 mV/Pa is 20 log10(0.775 / 0.01 / 20 uPa) = 131.77 dB SPL, 41.77 dB above 90.
    EXPECT_NEAR(w.plotted(1), 41.766, 1e-3);
}

TEST(AnalysisWindows, OpenedPreset_ImportsFromItsFolderWhenTheStoredPathIsGone) {
    AnalysisWindows w;
    w.write("show/top.frd", kSixDbFile);
    ProcessorConfig saved;
    saved.resetToNew();
    saved.MeasurementFile[1] = "C:\\Measurements\\top.frd";
    saved.MeasurementFormat = analysis::kFormatFrd;
    const QString preset = w.editor.path("show/hall.KV2");
    ASSERT_TRUE(SavePresetFile(preset.toStdString(), saved).success);

    w.editor.dialogs().chooseFile(preset);
    w.editor.click("OpenButton");
    EXPECT_NEAR(w.plotted(2), 6.0, 1e-4);
    EXPECT_NEAR(w.plotted(1), 0.0, 1e-4);

    // New clears the names and the curves with them.
    w.editor.click("NewButton");
    EXPECT_NEAR(w.plotted(2), 0.0, 1e-4);
}

TEST(AnalysisWindows, View_InfluencesModesSwitchesAndReadout) {
    AnalysisWindows w;
    w.editor.click("FinalResponseB");
    TFinalResponseForm* view = w.view();
    ASSERT_TRUE(view->isVisible());
    auto* graph = w.editor.find<widgets::ResponseGraph>("FinalGraph");
    EXPECT_EQ(graph->yTitle(), QStringLiteral("dB's"));
    EXPECT_NEAR(w.plotted(TFinalResponseForm::kAddSeries), 20 * std::log10(3.0), 0.05);

    // Each influence box is one quiet edit of the view flags; many edits in one turn cost one
    // computation.
    const int before = view->computations();
    for (const char* box : {"SpkData", "PEQBox", "XOVERBox", "GAINBox", "DelayBox"}) {
        w.editor.find<QCheckBox>(box)->click();
    }
    EXPECT_EQ(w.config().ResponseView, (std::array<bool, 5>{false, false, false, false, false}));
    EXPECT_EQ(w.edits().undoDescription(), QStringLiteral("Total response DELAY"));
    QCoreApplication::processEvents();
    EXPECT_EQ(view->computations(), before + 1);

    // Phase mode: SUB's crossover is out, so an inverted Output 1 reads +180 degrees.
    w.edits().apply({QStringLiteral("Output 1 polarity"), {link::EditScope::level(1)}},
                    [](ProcessorConfig& c) {
                        c.output(1).Inverted = true;
                        c.output(1).Gain = -1.0;
                    });
    w.editor.find<QCheckBox>("GAINBox")->click();
    w.editor.click("Phase");
    EXPECT_EQ(graph->yTitle(), QStringLiteral("Phase"));
    EXPECT_EQ(graph->yRange().upper, 180.0);
    EXPECT_NEAR(w.plotted(1), 180.0, 1e-3);

    w.editor.click("Via4");
    EXPECT_FALSE(graph->isSeriesVisible(TFinalResponseForm::kAddSeries));
    EXPECT_TRUE(graph->isSeriesVisible(1));

    auto* readout = view->findChild<QLabel*>("InfoLabel");
    emit graph->mouseMoved(QPointF(1000.4, -12.345), true);
    EXPECT_EQ(readout->text(), QString::fromUtf8("1000 Hz , -12.35\u00ba "));
    emit graph->mouseMoved(QPointF(10.0, 0.0), false);
    EXPECT_EQ(readout->text(), QString());
}

}  // namespace
}  // namespace kvn::ui::test
