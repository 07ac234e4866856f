// "crossoverChange": 500 frequency changes of a Linkwitz-Riley order 4 low-pass edge through its
// slider in the crossover window, made as one drag of the handle (one undo step, as under the
// mouse), each timed until the crossover graph and, when it is registered and shown, the total
// response view have been repainted. "cpu" gives the same figures in processor time, which on a
// shared machine leaves out the waits for other programs.
#include "BenchEditor.h"
#include "EditorBench.h"
#include "PaintCounter.h"

#include "ui/main/EditorApplication.h"
#include "ui/main/EditorRegistry.h"
#include "widgets/CommitSlider.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/ResponseGraph.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QSlider>

#include <ctime>
#include <memory>
#include <vector>

namespace kvn::bench {
namespace {

constexpr int kChanges = 500;
constexpr qint64 kPaintTimeoutMs = 2000;

QWidget* windowOf(ui::EditorApplication& app, ui::EditorKind kind) {
    return dynamic_cast<QWidget*>(app.editors().find(kind));
}

QString crossoverChange() {
    BenchEditor editor(
        {.clock = link::ClockPolicy::Virtual, .analysisWindows = true, .start = false});
    ui::EditorApplication& app = editor.app();

    app.editors().open(ui::EditorKind::Crossover, 1);
    QWidget* crossover = windowOf(app, ui::EditorKind::Crossover);
    crossover->findChild<QComboBox*>(QStringLiteral("TipoXCombo0H"))->setCurrentIndex(2);
    crossover->findChild<widgets::IntSpinEdit*>(QStringLiteral("OrdenSpin0H"))->setValue(4);
    auto* slider = crossover->findChild<widgets::CommitSlider*>(QStringLiteral("FrecSlider0H"));

    PaintCounters counters;
    counters.add(crossover->findChild<widgets::ResponseGraph*>(QStringLiteral("XoverGraph")));
    const bool total = app.editors().has(ui::EditorKind::TotalResponse);
    if (total) {
        app.editors().open(ui::EditorKind::TotalResponse, 0);
        counters.addVisible(windowOf(app, ui::EditorKind::TotalResponse));
    }
    BenchEditor::settle();

    // From 630 Hz to 20 kHz and back: every position a frequency of its own, above the
    // high-pass edge at 100 Hz.
    // Holding the handle down makes the changes one drag.
    auto* handle = slider->findChild<QSlider*>();
    handle->setSliderDown(true);
    QApplication::processEvents();
    Timings timings;
    Timings cpu;
    const int first = slider->maximum() / 2;
    for (int i = 0; i < kChanges; ++i) {
        const int span = slider->maximum() - first;
        const int step = i % (2 * span);
        const int position = first + (step < span ? step : 2 * span - step);
        counters.mark();
        const std::clock_t cpuStart = std::clock();
        QElapsedTimer clock;
        clock.start();
        startCounting();
        slider->setPosition(position);
        counters.wait(clock, kPaintTimeoutMs);
        stopCounting();
        timings.add(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        cpu.add(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    }
    handle->setSliderDown(false);
    QString json = timingsJson(timings, QStringLiteral("changes"));
    json.insert(json.size() - 1, QStringLiteral(", \"totalResponse\": %1, \"cpu\": %2")
                                     .arg(total ? "true" : "false", timingsJson(cpu)));
    return json;
}

const MeasureRegistration registration("crossoverChange", crossoverChange);

}  // namespace
}  // namespace kvn::bench
