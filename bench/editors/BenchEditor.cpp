#include "BenchEditor.h"

#include "ui/analysis/AnalysisWindows.h"
#include "ui/editors/EditorWindows.h"
#include "ui/main/DeviceWorkflow.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TConnectForm.h"
#include "widgets/LedButton.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace kvn::bench {

namespace {

constexpr qint64 kIdleTimeoutMs = 30000;

}  // namespace

BenchEditor::BenchEditor(const Setup& setup) {
    ui::EditorOptions options;
    options.dialogs = &dialogs_;
    if (!setup.pacing) {
        options.sleeper = &noWait_;
    }
    options.settingsFile = dir_.filePath(QStringLiteral("settings.ini"));
    options.virtualProcessor.stateFile =
        dir_.filePath(QStringLiteral("virtual.state")).toStdString();
    options.virtualProcessor.clock = setup.clock;
    options.virtualProcessor.baud = setup.baud;
    app_ = std::make_unique<ui::EditorApplication>(options);
    if (setup.analysisWindows) {
        ui::installAnalysisWindows(*app_);
    }
    ui::installEditorWindows(*app_);
    if (setup.start) {
        app_->start();
    }
}

BenchEditor::~BenchEditor() = default;

bool BenchEditor::startRealTime() {
    app_->connectForm().indicator(ui::TConnectForm::kVirtual)->click();
    waitIdle();
    dialogs_.answer(ui::Answer::Ok);
    dialogs_.answer(ui::Answer::No);
    app_->workflow().requestRealTimeToggle();
    return waitIdle() && app_->workflow().realTimeMode();
}

void BenchEditor::settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

bool BenchEditor::waitIdle() {
    QElapsedTimer timer;
    timer.start();
    while (!app_->device().idle() && timer.elapsed() < kIdleTimeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return app_->device().idle();
}

}  // namespace kvn::bench
