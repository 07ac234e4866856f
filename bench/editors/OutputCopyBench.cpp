// The output copy with every group, Output 1 onto Output 2, through the window and the change path
// (the question answered by script), then its undo: what a user waits for after OK and Ctrl+Z.
#include "BenchEditor.h"
#include "EditorBench.h"

#include "ui/main/ConfigEdits.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/ScriptedDialogs.h"
#include "ui/main/TMainMenu.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QSpinBox>

namespace kvn::bench {
namespace {

constexpr int kRuns = 200;

QString measureOutputCopy() {
    BenchEditor editor({});
    ui::EditorApplication& app = editor.app();
    ui::ScriptedDialogs& dialogs = editor.dialogs();
    // A tuned Output 1 to copy from.
    ui::ConfigEdits& edits = app.workflow().edits();
    edits.apply({QStringLiteral("Output 1 tuning"), {}}, [](ProcessorConfig& config) {
        for (int band = 1; band <= kPeqBands; ++band) {
            PeqBand& b = config.output(1).band(band);
            b.FilterType = kParametric;
            b.FrequencyHz = 60.0 * band * band;
            b.GainDb = band % 2 == 0 ? 3.0 : -4.5;
            b.Q = 1.4;
            b.design();
        }
        config.output(1).DelaySamples = 48;
    });

    QWidget& main = app.mainMenu();
    main.findChild<QCheckBox*>(QStringLiteral("CopyAll"))->setChecked(true);
    main.findChild<QSpinBox*>(QStringLiteral("OrigenSpin"))->setValue(1);
    main.findChild<QSpinBox*>(QStringLiteral("CopiaSpin"))->setValue(2);
    auto* ok = main.findChild<QAbstractButton*>(QStringLiteral("OK_BitBtn"));
    Timings copy;
    Timings undo;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        dialogs.answer(ui::Answer::Yes);
        timer.start();
        ok->click();
        copy.add(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        timer.start();
        edits.undo();
        undo.add(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return QStringLiteral("{\"copy\": %1, \"undo\": %2}").arg(timingsJson(copy), timingsJson(undo));
}

const MeasureRegistration registration("outputCopyAllGroups", measureOutputCopy);

}  // namespace
}  // namespace kvn::bench
