// The whole editor offscreen as a measure drives it: scripted dialogs, the settings and the
// virtual processor's memories in a temporary folder, the editor windows installed (and the
// analysis windows when asked for).
#pragma once

#include "emulator/DeviceConstants.h"
#include "link/EmulatorClock.h"
#include "link/Sleeper.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/ScriptedDialogs.h"

#include <QTemporaryDir>

#include <memory>

namespace kvn::bench {

class BenchEditor {
public:
    struct Setup {
        // The virtual processor's clock and line rate; the editor's own are a real clock at the
        // processor's 9600 baud.
        link::ClockPolicy clock = link::ClockPolicy::Real;
        int baud = emu::kProcessorBaud;
        // False: the link's pauses between messages take no time.
        bool pacing = true;
        bool analysisWindows = false;
        // Shows the connection window first, as the program does.
        bool start = true;
    };

    explicit BenchEditor(const Setup& setup);
    ~BenchEditor();
    BenchEditor(const BenchEditor&) = delete;
    BenchEditor& operator=(const BenchEditor&) = delete;

    ui::EditorApplication& app() { return *app_; }
    ui::ScriptedDialogs& dialogs() { return dialogs_; }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // Connects to the virtual processor and starts real time, answering its notice and New's
    // question; false when real time did not start.
    bool startRealTime();
    // Runs events until no device operation is under way, for 30 s at most; true when none is.
    bool waitIdle();
    // Runs events for `ms`: windows just shown finish drawing themselves, as they have by the
    // time a user reaches for the mouse.
    static void settle(int ms = 200);

private:
    class NoWait : public link::Sleeper {
    public:
        void sleepMs(int) override {}
    };

    QTemporaryDir dir_;
    ui::ScriptedDialogs dialogs_;
    NoWait noWait_;
    std::unique_ptr<ui::EditorApplication> app_;
};

}  // namespace kvn::bench
