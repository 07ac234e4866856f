// "finalReplot": the total response view's cost per change, with a measured speaker on every
// output: a level edit on the change path, then the view's coalesced computation of the three
// outputs and their sum, the replacement of its four series and its repaint, timed until the
// graph has been painted (the view is open). "computations" counts the view's computations,
// one per change.
#include "BenchEditor.h"
#include "EditorBench.h"
#include "PaintCounter.h"

#include "ui/analysis/TFinalResponseForm.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TMainMenu.h"
#include "widgets/ResponseGraph.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <cmath>
#include <fstream>

namespace kvn::bench {
namespace {

constexpr qint64 kPaintTimeoutMs = 2000;

const MeasureRegistration finalReplot("finalReplot", [] {
    BenchEditor editor({.analysisWindows = true});
    ui::EditorApplication& app = editor.app();

    // A measured speaker on every output, so that every term of the sum is present.
    const std::string file = editor.path(QStringLiteral("speaker.frd")).toStdString();
    {
        std::ofstream out(file);
        // A smooth loudspeaker: a gentle ripple and phase over the band.
        for (int i = 0; i < 500; ++i) {
            out << 10.0 * std::pow(2400.0, i / 499.0) << " " << 92.0 + 2.0 * std::sin(i * 0.05)
                << " " << 60.0 * std::cos(i * 0.02) << "\n";
        }
    }
    ui::ConfigEdits& edits = app.workflow().edits();
    edits.apply({QStringLiteral("Speakers"), {link::EditScope::quiet()}}, [&](ProcessorConfig& c) {
        c.MeasurementFile = {file, file, file};
        c.MeasurementFormat = 11;
    });
    app.editors().open(ui::EditorKind::TotalResponse, 0);
    auto* view = app.mainMenu().findChild<ui::TFinalResponseForm*>("TFinalResponseForm");
    auto* graph = view->findChild<widgets::ResponseGraph*>("FinalGraph");
    QApplication::processEvents();

    PaintCounter counter(graph);
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
    const int computationsBefore = view->computations();
    Timings timings;
    QElapsedTimer timer;
    for (int i = 0; i < 300; ++i) {
        const int paints = counter.paints;
        timer.start();
        // A level move on Output 1, as a drag of its track makes it.
        edits.apply({QStringLiteral("Output 1 level"), {link::EditScope::level(1)}},
                    [i](ProcessorConfig& c) { c.output(1).Gain = 1.0 + 0.001 * (i + 1); });
        while (counter.paints == paints && timer.elapsed() < kPaintTimeoutMs) {
            QApplication::processEvents();
        }
        timings.add(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    QString json = timingsJson(timings, QStringLiteral("replots"));
    json.insert(
        json.size() - 1,
        QStringLiteral(", \"computations\": %1").arg(view->computations() - computationsBefore));
    return json;
});

}  // namespace
}  // namespace kvn::bench
