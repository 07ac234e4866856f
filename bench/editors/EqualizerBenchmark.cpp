// "equalizerDrag": a band's point dragged across the equaliser graph with the mouse, 500 moves in
// one gesture with real time on, each move timed until the equaliser graph and the total response
// view have been repainted. "realTimeSettleMs": from the mouse's release until the virtual
// processor, at the line's 9600 baud and on a real clock, holds the final coefficients (the drag
// never waits for the line; only the latest section of the band is sent after it).
#include "BenchEditor.h"
#include "EditorBench.h"
#include "PaintCounter.h"

#include "config/MemoryImage.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/VirtualConnection.h"
#include "widgets/ResponseGraph.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace kvn::bench {
namespace {

constexpr int kMoves = 500;
constexpr qint64 kPaintTimeoutMs = 2000;
constexpr qint64 kSettleTimeoutMs = 20000;

void mouse(widgets::ResponseGraph* graph, QEvent::Type type, QPointF coord) {
    QWidget* canvas = graph->canvas();
    const QPointF at = canvas->mapFrom(graph, graph->coordToPixel(coord));
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, canvas->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &event);
}

QString equalizerDrag() {
    BenchEditor editor({.analysisWindows = true});
    ui::EditorApplication& app = editor.app();
    if (!editor.startRealTime()) {
        return QStringLiteral("{\"error\": \"real-time mode did not start\"}");
    }

    app.editors().open(ui::EditorKind::Equalizer, 1);
    auto* equalizer = dynamic_cast<QWidget*>(app.editors().find(ui::EditorKind::Equalizer));
    auto* type = equalizer->findChild<QComboBox*>(QStringLiteral("TipoFiltroCombo"));
    type->setCurrentIndex(kParametric);
    emit type->activated(kParametric);
    auto* graph = equalizer->findChild<widgets::ResponseGraph*>(QStringLiteral("xygraph1"));
    PaintCounters counters;
    counters.add(graph);
    app.editors().open(ui::EditorKind::TotalResponse, 0);
    counters.addVisible(dynamic_cast<QWidget*>(app.editors().find(ui::EditorKind::TotalResponse)));
    editor.waitIdle();
    BenchEditor::settle();
    const ProcessorConfig& config = app.config();
    const std::vector<int> settled =
        app.virtualConnection().device().bankDifferences(1, BuildImage(config));
    graph->replotNow();

    const PeqBand& band = config.output(1).band(1);
    mouse(graph, QEvent::MouseButtonPress, {band.FrequencyHz, band.GainDb});
    // What the press starts is done before the first move, as the event loop does between the
    // two events.
    QApplication::processEvents();
    Timings timings;
    for (int i = 0; i < kMoves; ++i) {
        // Along a path from 100 Hz to 10 kHz and back, the gain swinging between -9 and +9 dB;
        // every move to a point of its own (a repeated point changes nothing and draws nothing).
        const double along = i < 250 ? i / 249.0 : (499 - i) / 250.0;
        const QPointF at{100.0 * std::pow(100.0, along), 9.0 * std::sin(6.0 * along)};
        counters.mark();
        QElapsedTimer clock;
        clock.start();
        startCounting();
        mouse(graph, QEvent::MouseMove, at);
        counters.wait(clock, kPaintTimeoutMs);
        stopCounting();
        timings.add(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    mouse(graph, QEvent::MouseButtonRelease, {100.0, 0.0});

    // Until the processor's bank is the image of the final configuration again.
    QElapsedTimer settle;
    settle.start();
    const auto inStep = [&] {
        const std::vector<int> now =
            app.virtualConnection().device().bankDifferences(1, BuildImage(config));
        return std::includes(settled.begin(), settled.end(), now.begin(), now.end());
    };
    while (!inStep() && settle.elapsed() < kSettleTimeoutMs) {
        QApplication::processEvents();
    }
    const bool settledInTime = inStep();
    const double settleMs = static_cast<double>(settle.nsecsElapsed()) / 1e6;
    QString json = timingsJson(timings, QStringLiteral("moves"));
    json.insert(json.size() - 1,
                QStringLiteral(", \"realTime\": %1, \"realTimeSettleMs\": %2, \"settled\": %3")
                    .arg(app.workflow().realTimeMode() ? 1 : 0)
                    .arg(settleMs, 0, 'f', 1)
                    .arg(settledInTime ? "true" : "false"));
    return json;
}

const MeasureRegistration registration("equalizerDrag", equalizerDrag);

}  // namespace
}  // namespace kvn::bench
