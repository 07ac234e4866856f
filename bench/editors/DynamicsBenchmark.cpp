// The dynamics window under a dragging threshold in real-time mode against the virtual processor
// on its 9600 baud wire: each move redesigns the unit, posts its gain table (six sections) on the
// latest-value-wins backlog, and redraws the curve, the gate and the power readout. A move that
// waited for the wire would cost about 140 ms.
#include "BenchEditor.h"
#include "EditorBench.h"

#include "ui/editors/TDynamicform.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "widgets/CommitSlider.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace kvn::bench {
namespace {

constexpr int kMoves = 400;

QString thresholdDrag() {
    BenchEditor editor({});
    ui::EditorApplication& app = editor.app();
    if (!editor.startRealTime()) {
        return QStringLiteral("{\"error\": \"real-time mode did not start\"}");
    }

    auto* form = dynamic_cast<ui::TDynamicform*>(app.editors().find(ui::EditorKind::Dynamics));
    form->openFor(1);
    BenchEditor::settle();
    auto* track = form->findChild<widgets::CommitSlider*>(QStringLiteral("threstrack"));
    Timings timings;
    app.workflow().edits().beginGesture();
    QCoreApplication::processEvents();
    for (int i = 0; i < kMoves; ++i) {
        QElapsedTimer timer;
        timer.start();
        startCounting();
        track->setPosition(i % 200 < 100 ? i % 100 : 100 - i % 100);
        // The graph's queued replot and whatever the link does in between.
        QCoreApplication::processEvents();
        stopCounting();
        timings.add(static_cast<double>(timer.nsecsElapsed()) / 1.0e6);
    }
    app.workflow().edits().endGesture();
    editor.waitIdle();
    return timingsJson(timings, QStringLiteral("moves"));
}

const MeasureRegistration registration("dynamicsThresholdDrag", thresholdDrag);

}  // namespace
}  // namespace kvn::bench
