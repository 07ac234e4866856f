// The dynamics window under a dragging threshold in real-time mode against the virtual processor
// on its 9600 baud wire: each move redesigns the unit, posts its gain table (six sections) on the
// latest-value-wins backlog, and redraws the curve, the gate and the power readout. A move that
// waited for the wire would cost about 140 ms.
#include "EditorBench.h"

#include "ui/editors/EditorWindows.h"
#include "ui/editors/TDynamicform.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/DeviceWorkflow.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/ScriptedDialogs.h"
#include "ui/main/TConnectForm.h"
#include "widgets/CommitSlider.h"
#include "widgets/LedButton.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace kvn::bench {
namespace {

constexpr int kMoves = 400;
constexpr qint64 kSettleMs = 30000;

bool waitIdle(ui::EditorApplication& app) {
    QElapsedTimer timer;
    timer.start();
    while (!app.device().idle() && timer.elapsed() < kSettleMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return app.device().idle();
}

QString thresholdDrag() {
    QTemporaryDir dir;
    ui::ScriptedDialogs dialogs;
    ui::EditorOptions options;
    options.dialogs = &dialogs;
    options.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
    options.virtualProcessor.stateFile =
        dir.filePath(QStringLiteral("virtual.state")).toStdString();
    ui::EditorApplication app(options);
    ui::installEditorWindows(app);
    app.start();
    app.connectForm().indicator(ui::TConnectForm::kVirtual)->click();
    waitIdle(app);
    dialogs.answer(ui::Answer::Ok);
    dialogs.answer(ui::Answer::No);
    app.workflow().requestRealTimeToggle();
    waitIdle(app);
    if (!app.workflow().realTimeMode()) {
        return QStringLiteral("{\"error\": \"real-time mode did not start\"}");
    }

    auto* form = dynamic_cast<ui::TDynamicform*>(app.editors().find(ui::EditorKind::Dynamics));
    form->openFor(1);
    QCoreApplication::processEvents();
    auto* track = form->findChild<widgets::CommitSlider*>(QStringLiteral("threstrack"));
    Timings timings;
    app.workflow().edits().beginGesture();
    for (int i = 0; i < kMoves; ++i) {
        QElapsedTimer timer;
        timer.start();
        track->setPosition(i % 200 < 100 ? i % 100 : 100 - i % 100);
        // The graph's queued replot and whatever the link does in between.
        QCoreApplication::processEvents();
        timings.add(static_cast<double>(timer.nsecsElapsed()) / 1.0e6);
    }
    app.workflow().edits().endGesture();
    waitIdle(app);
    return timingsJson(timings, QStringLiteral("moves"));
}

const MeasureRegistration registration("dynamicsThresholdDrag", thresholdDrag);

}  // namespace
}  // namespace kvn::bench
