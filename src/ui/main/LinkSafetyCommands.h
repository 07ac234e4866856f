// The editor's commands for safe work with the processor, added to the main window from outside
// it: "Back up processor..." and "Restore processor..." and the switch for the check after every
// write in the File menu, "Link traffic" in the View menu, the out-of-step mark in the status
// bar, and the window listing what a write's check found different.
#pragma once

#include <QObject>

class QAction;
class QLabel;
class QSettings;

namespace kvn::link {
class DeviceSession;
}

namespace kvn::ui {

class DeviceWorkflow;
class TLinkTrafficForm;
class TMainMenu;
class TVerifyForm;
class UserDialogs;

class LinkSafetyCommands : public QObject {
    Q_OBJECT

public:
    // Everything must outlive the commands. The check setting is kept in `settings`.
    LinkSafetyCommands(TMainMenu& main, DeviceWorkflow& device, link::DeviceSession& session,
                       UserDialogs& dialogs, QSettings& settings, QObject* parent = nullptr);
    ~LinkSafetyCommands() override;

    TLinkTrafficForm& trafficWindow() { return *traffic_; }
    TVerifyForm& verifyWindow() { return *verify_; }
    QLabel& outOfStepMark() { return *outOfStep_; }

private:
    void showOutOfStep(bool outOfStep, int missedEdits);

    DeviceWorkflow& device_;
    QSettings& settings_;
    TLinkTrafficForm* traffic_;
    TVerifyForm* verify_;
    QLabel* outOfStep_;
    QAction* backup_;
    QAction* restore_;
};

}  // namespace kvn::ui
