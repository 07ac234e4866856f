// What an editor window gets from the program when it is created: the one configuration, the
// dialogs, the main workflow (names, mute marks, routes, real-time state, the total-response
// notice), the device session for real-time sends, and the main window as its parent.
#pragma once

class QWidget;

namespace kvn {
struct ProcessorConfig;
}

namespace kvn::link {
class DeviceSession;
}

namespace kvn::ui {

class EditorRegistry;
class MainWorkflow;
class UserDialogs;

struct EditorContext {
    ProcessorConfig& config;
    UserDialogs& dialogs;
    MainWorkflow& workflow;
    // Real-time edits: DeviceSession::sendSection and friends send only while real time is on,
    // and keep only the latest value of a target while a message is on its way.
    link::DeviceSession& session;
    EditorRegistry& editors;
    QWidget* mainWindow;
};

}  // namespace kvn::ui
