// The delay and gains editors under a dragging mouse, in real-time mode against the virtual
// processor: each move of a track is one edit (store, queue the processor's word, tell every
// view) followed by the repaint it causes.
#include "BenchEditor.h"
#include "EditorBench.h"

#include "ui/main/EditorApplication.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TMainMenu.h"
#include "widgets/CommitSlider.h"
#include "widgets/LedButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>

#include <functional>

namespace kvn::bench {
namespace {

// The whole editor with its editor windows, connected to the virtual processor (in virtual time,
// without pauses) and in real time, with the delay and gains windows open.
struct Editor {
    BenchEditor bench{{.clock = link::ClockPolicy::Virtual, .baud = 0, .pacing = false}};
    ui::EditorApplication& app = bench.app();

    Editor() {
        bench.startRealTime();
        app.editors().open(ui::EditorKind::Delay, 1);
        app.editors().open(ui::EditorKind::Gains, 1);
        BenchEditor::settle();
    }

    template <typename T>
    T* find(const char* name) {
        return app.mainMenu().findChild<T*>(QString::fromLatin1(name));
    }
};

// Times `move(i)` followed by the events it causes, for i = 0..count-1.
Timings timeMoves(int count, const std::function<void(int)>& move) {
    Timings timings;
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        startCounting();
        move(i);
        QApplication::processEvents();
        stopCounting();
        timings.add(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return timings;
}

// A drag over the whole track and back, as one gesture.
QString dragTrack(const char* name, int positions) {
    Editor editor;
    auto* track = editor.find<widgets::CommitSlider>(name);
    const bool realTime = editor.app.workflow().realTimeMode();
    emit track->dragStarted();
    QApplication::processEvents();
    const Timings timings = timeMoves(2 * positions, [track, positions](int i) {
        track->setPosition(i < positions ? i : 2 * positions - 1 - i);
    });
    emit track->dragFinished();
    QString json = timingsJson(timings, QStringLiteral("moves"));
    json.insert(json.size() - 1, QStringLiteral(", \"realTime\": %1").arg(realTime ? 1 : 0));
    return json;
}

const MeasureRegistration delayDrag("delayTrackDrag", [] { return dragTrack("Del1track", 235); });
const MeasureRegistration levelDrag("levelTrackDrag",
                                    [] { return dragTrack("Output1Track", 362); });

const MeasureRegistration autoAlign("autoAlignAndMute", [] {
    Editor editor;
    auto* align = editor.find<QAbstractButton>("AutoAlignB");
    auto* mute = editor.find<widgets::LedButton>("MuteOutput2");
    return timingsJson(timeMoves(200,
                                 [align, mute](int i) {
                                     if (i % 2 == 0) {
                                         align->click();
                                     } else {
                                         mute->click();
                                     }
                                 }),
                       QStringLiteral("clicks"));
});

}  // namespace
}  // namespace kvn::bench
