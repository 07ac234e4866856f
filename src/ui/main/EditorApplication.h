// The editor program put together: the configuration, the windows in their start-up order, the
// workflows and the device session, and the wiring between them. The connection window comes
// first and is the program's main window: when it is allowed to close, finished() is emitted and
// the program ends. Editor windows of other libraries are added with addEditor() before start().
#pragma once

#include "config/ProcessorConfig.h"
#include "link/LinkOption.h"
#include "ui/main/EditorContext.h"
#include "ui/main/EditorWindow.h"
#include "ui/main/VirtualConnection.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QSettings;

namespace kvn::link {
class DeviceSession;
class Sleeper;
}  // namespace kvn::link

namespace kvn::ui {

class DeviceWorkflow;
class EditorRegistry;
class LinkSafetyCommands;
class MainMenuActions;
class MainWorkflow;
class TConnectForm;
class TInputPassForm;
class TMainMenu;
class TPasswordForm;
class TProgresionForm;
class TRigForm;
class TSystemInfoForm;
class TW_Serial_Info_Form;
class UserDialogs;

// A picture for the documentation that is drawn rather than grabbed from a window.
struct ScreenshotPicture {
    QString fileName;  // "report-page1.png"
    std::function<QImage()> draw;
};

struct EditorOptions {
    // Choose the Virtual connection as soon as the program runs (--virtual).
    bool chooseVirtual = false;
    VirtualConnection::Options virtualProcessor{VirtualConnection::defaultStateFile()};
    // Settings file (port map); empty: the user's settings.
    QString settingsFile;
    // The dialogs to use; null: the desktop's. Not owned.
    UserDialogs* dialogs = nullptr;
    // Where the link's pacing waits go; null: real sleeps. Not owned.
    link::Sleeper* sleeper = nullptr;
};

class EditorApplication : public QObject {
    Q_OBJECT

public:
    explicit EditorApplication(EditorOptions options);
    ~EditorApplication() override;

    // For editor windows of other libraries, valid for the program's life.
    EditorContext& context() { return *context_; }
    // Takes `window` and registers it under `kind`.
    void addEditor(EditorKind kind, std::unique_ptr<EditorWindow> window);
    // A picture for `make screenshots` that belongs to no window (drawn after the windows').
    void addScreenshot(ScreenshotPicture picture) { screenshots_.push_back(std::move(picture)); }
    const std::vector<ScreenshotPicture>& screenshots() const { return screenshots_; }

    // Shows the connection window; with chooseVirtual, the Virtual connection is then chosen.
    void start();

    // Makes the link for a connection-window tag (COM ports, USB, Virtual); tests replace it.
    using LinkFactory = std::function<link::LinkOption(int tag)>;
    void setLinkFactory(LinkFactory factory) { linkFactory_ = std::move(factory); }
    link::LinkOption defaultLinkOption(int tag);

    ProcessorConfig& config() { return config_; }
    UserDialogs& dialogs() { return *dialogs_; }
    EditorRegistry& editors() { return *editors_; }
    MainWorkflow& workflow() { return *workflow_; }
    DeviceWorkflow& device() { return *device_; }
    link::DeviceSession& session() { return *session_; }
    VirtualConnection& virtualConnection() { return *virtual_; }
    TConnectForm& connectForm() { return *connectForm_; }
    TMainMenu& mainMenu() { return *mainMenu_; }
    // The main window's own menu entries (files, undo, windows, help).
    MainMenuActions& menuActions() { return *menuActions_; }
    TProgresionForm& progresionForm() { return *progresionForm_; }
    TInputPassForm& inputPassForm() { return *inputPassForm_; }
    TW_Serial_Info_Form& serialInfoForm() { return *serialInfoForm_; }
    TSystemInfoForm& systemInfoForm() { return *systemInfoForm_; }
    TPasswordForm& passwordForm() { return *passwordForm_; }
    // Backup, restore, the check after writes, the link traffic window, the out-of-step mark.
    LinkSafetyCommands& safety() { return *safety_; }
    // File > Rig...: the processors of a rig file.
    TRigForm& rigForm() { return *rigForm_; }
    // The port the editor's own connection holds, as link::portIdentity gives it; empty while
    // offline.
    std::string heldPortIdentity() const;
    // Opens the port settings dialog (window-modal, without waiting) and returns it.
    QWidget* openPortSettings();

signals:
    // The connection window closed: the program ends.
    void finished();

private:
    void createWindows();
    void wire();
    void choose(int tag);
    void showMainWindow(bool hideConnectionWindow);
    void showConnectionWindow();
    void saveVirtualState();
    void refreshPortLocations();
    void wireSafety();

    EditorOptions options_;
    ProcessorConfig config_;
    std::unique_ptr<UserDialogs> ownDialogs_;
    UserDialogs* dialogs_ = nullptr;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<VirtualConnection> virtual_;
    std::unique_ptr<link::DeviceSession> session_;
    std::unique_ptr<EditorRegistry> editors_;
    std::unique_ptr<TConnectForm> connectForm_;
    std::unique_ptr<TProgresionForm> progresionForm_;
    std::unique_ptr<TInputPassForm> inputPassForm_;
    std::unique_ptr<MainWorkflow> workflow_;
    std::unique_ptr<TMainMenu> mainMenu_;
    MainMenuActions* menuActions_ = nullptr;  // owned by the main window
    TRigForm* rigForm_ = nullptr;             // owned by the main window
    std::unique_ptr<DeviceWorkflow> device_;
    std::unique_ptr<TW_Serial_Info_Form> serialInfoForm_;
    std::unique_ptr<TSystemInfoForm> systemInfoForm_;
    std::unique_ptr<TPasswordForm> passwordForm_;
    std::unique_ptr<LinkSafetyCommands> safety_;
    std::unique_ptr<EditorContext> context_;
    std::vector<std::unique_ptr<EditorWindow>> ownedEditors_;
    std::vector<ScreenshotPicture> screenshots_;
    LinkFactory linkFactory_;
    bool virtualChosen_ = false;
    bool virtualSaveWarned_ = false;
};

}  // namespace kvn::ui
