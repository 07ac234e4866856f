// What an editor window gets from the program when it is created: the one configuration, the
// change path every edit goes through, the dialogs, the main workflow (names, mute marks, routes,
// real-time state), the device session, the main window as its parent, and the program's
// settings (where window positions are kept).
#pragma once

class QSettings;
class QWidget;

namespace kvn {
struct ProcessorConfig;
}

namespace kvn::link {
class DeviceSession;
}

namespace kvn::ui {

class ConfigEdits;
class EditorRegistry;
class MainWorkflow;
class UserDialogs;

struct EditorContext {
    // Read it freely; change it only through `edits`.
    ProcessorConfig& config;
    // Every edit: ConfigEdits::apply (real-time messages, views, modified mark, undo).
    ConfigEdits& edits;
    UserDialogs& dialogs;
    MainWorkflow& workflow;
    // The link: its real-time mode, its bank (DspSelect), its busy state. Edits reach it through
    // `edits`, not by sending themselves.
    link::DeviceSession& session;
    EditorRegistry& editors;
    QWidget* mainWindow;
    // Window positions between runs; null keeps none. Not owned.
    QSettings* settings = nullptr;
};

}  // namespace kvn::ui
