// The whole editor as the tests drive it: every window, the workflows and the device session,
// with scripted dialogs, a virtual processor on a virtual clock (a 2 s silence costs no time),
// pacing waits that return at once, and settings and state files in a temporary folder.
#pragma once

#include "emulator/VirtualProcessor.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorMain.h"
#include "ui/main/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QTemporaryDir>

#include <memory>

namespace kvn::ui::test {

class EditorHarness {
public:
    // `stateFile`: where the virtual processor keeps its memories; empty: in the harness's own
    // temporary folder. `install` adds editor windows before the program starts, as the
    // editor's main() does.
    explicit EditorHarness(const QString& stateFile = {}, const EditorInstaller& install = {});
    explicit EditorHarness(const EditorInstaller& install) : EditorHarness(QString(), install) {}
    ~EditorHarness();

    EditorApplication& app() { return *app_; }
    ScriptedDialogs& dialogs() { return dialogs_; }
    emu::VirtualProcessor& device() { return app_->virtualConnection().device(); }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // A child of any of the editor's windows, by object name.
    template <typename T>
    T* find(const QString& name) const {
        for (QWidget* window : windows()) {
            if (window->objectName() == name) {
                if (auto* self = qobject_cast<T*>(window)) {
                    return self;
                }
            }
            if (auto* child = window->findChild<T*>(name)) {
                return child;
            }
        }
        return nullptr;
    }
    // Clicks the button named `name` (a push, tool or LED button).
    void click(const QString& name);
    // Types `text` into the line edit `name` as the user would (after emptying it).
    void type(const QString& name, const QString& text);

    // COM 1..4 and USB lead to the same virtual processor, unless made absent here.
    void setPortsPresent(bool present) { portsPresent_ = present; }
    void setUsbPresent(bool present) { usbPresent_ = present; }

    // Chooses a link in the connection window and waits until it is settled.
    bool choose(int tag);
    bool connectVirtual();
    // Presses Real Time on the connected processor with no changes unsaved, answering its notice
    // (OK), and waits for the read it starts; true when real time is on.
    bool startRealTime();
    // Waits until no device operation runs or waits for its next step.
    bool waitIdle();
    // The main window's transfer controls are on.
    bool transferControlsEnabled() const;
    QString status() const;

    // The first box shown with `text`, or false.
    bool shown(const QString& text) const { return dialogs_.texts().contains(text); }

private:
    std::vector<QWidget*> windows() const;

    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<link::Sleeper> sleeper_;
    std::unique_ptr<EditorApplication> app_;
    bool portsPresent_ = true;
    bool usbPresent_ = true;
};

}  // namespace kvn::ui::test
