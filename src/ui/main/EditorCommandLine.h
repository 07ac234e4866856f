// The editor's command line: kvn350-editor [--virtual] [--screenshots DIR] [--quit-when-idle].
#pragma once

#include <QString>
#include <QStringList>

namespace kvn::ui {

struct EditorCommandLine {
    bool chooseVirtual = false;  // connect to the built-in virtual processor at once
    QString screenshotsDir;      // render every window to PNG files there, then end
    bool quitWhenIdle = false;   // end as soon as the connection window is shown (start-up timing)
    bool help = false;
    QString error;  // not empty when the arguments could not be understood

    // Runs that need no screen: they use the offscreen platform when no display is set.
    bool headless() const { return !screenshotsDir.isEmpty() || quitWhenIdle; }
};

// `arguments` without the program name.
EditorCommandLine parseEditorCommandLine(const QStringList& arguments);

QString editorUsage();

}  // namespace kvn::ui
