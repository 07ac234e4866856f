#include "ui/main/EditorApplication.h"

#include "link/DeviceSession.h"
#include "link/LibFtdiD2xx.h"
#include "link/PortTarget.h"
#include "link/SerialPortList.h"
#include "link/TCommPortDriver.h"
#include "ui/main/DeviceWorkflow.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/LinkSafetyCommands.h"
#include "ui/main/MainMenuActions.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/PortSettings.h"
#include "ui/main/PortSettingsDialog.h"
#include "ui/main/QtUserDialogs.h"
#include "ui/main/TConnectForm.h"
#include "ui/main/TInputPassForm.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/TPasswordForm.h"
#include "ui/main/TProgresionForm.h"
#include "ui/main/TRigForm.h"
#include "ui/main/TSystemInfoForm.h"
#include "ui/main/TW_Serial_Info_Form.h"
#include "ui/main/WorkflowTexts.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include <cstdio>

namespace kvn::ui {

namespace {

using Operation = link::DeviceSession::Operation;

}  // namespace

EditorApplication::EditorApplication(EditorOptions options) : options_(std::move(options)) {
    QApplication::setApplicationName(QString::fromLatin1(text::kApplicationTitle));
    if (options_.dialogs == nullptr) {
        ownDialogs_ = std::make_unique<QtUserDialogs>();
        dialogs_ = ownDialogs_.get();
    } else {
        dialogs_ = options_.dialogs;
    }
    settings_ = options_.settingsFile.isEmpty()
                    ? std::make_unique<QSettings>()
                    : std::make_unique<QSettings>(options_.settingsFile, QSettings::IniFormat);
    virtual_ = std::make_unique<VirtualConnection>(options_.virtualProcessor);
    session_ = options_.sleeper != nullptr
                   ? std::make_unique<link::DeviceSession>(*options_.sleeper)
                   : std::make_unique<link::DeviceSession>();
    editors_ = std::make_unique<EditorRegistry>();
    createWindows();
    wire();
    linkFactory_ = [this](int tag) { return defaultLinkOption(tag); };
}

EditorApplication::~EditorApplication() {
    std::string error;
    if (virtualChosen_ && !virtual_->saveState(error)) {
        std::fprintf(stderr, "kvn350-editor: the virtual processor's memories were not kept: %s\n",
                     error.c_str());
    }
    // Editors first (they use everything else), then the windows the main window parents, then
    // the main window itself, before the workflows they show.
    ownedEditors_.clear();
    context_.reset();
    safety_.reset();
    passwordForm_.reset();
    systemInfoForm_.reset();
    serialInfoForm_.reset();
    inputPassForm_.reset();
    progresionForm_.reset();
    device_.reset();
    mainMenu_.reset();
    connectForm_.reset();
}

void EditorApplication::createWindows() {
    // The connection window first: it is the program's main window. Then the loading window
    // and the code box, then the main window and the windows it opens.
    connectForm_ = std::make_unique<TConnectForm>();
    progresionForm_ = std::make_unique<TProgresionForm>();
    inputPassForm_ = std::make_unique<TInputPassForm>();
    workflow_ = std::make_unique<MainWorkflow>(config_, *dialogs_, *editors_, *progresionForm_);
    mainMenu_ = std::make_unique<TMainMenu>(*workflow_, *editors_);
    device_ = std::make_unique<DeviceWorkflow>(*session_, *workflow_);
    serialInfoForm_ = std::make_unique<TW_Serial_Info_Form>(mainMenu_.get());
    systemInfoForm_ = std::make_unique<TSystemInfoForm>(workflow_->edits(), mainMenu_.get());
    passwordForm_ = std::make_unique<TPasswordForm>(mainMenu_.get());
    inputPassForm_->setParent(mainMenu_.get(), inputPassForm_->windowFlags());
    progresionForm_->setParent(mainMenu_.get(), progresionForm_->windowFlags());
    mainMenu_->rememberPlacement(settings_.get());
    menuActions_ = new MainMenuActions(*mainMenu_, *workflow_, settings_.get());
    context_ = std::make_unique<EditorContext>(EditorContext{config_, workflow_->edits(), *dialogs_,
                                                             *workflow_, *session_, *editors_,
                                                             mainMenu_.get(), settings_.get()});
    refreshPortLocations();
    wireSafety();
    TRigForm::Options rig;
    rig.ports = [this] { return loadPortMap(*settings_); };
    rig.heldPort = [this] { return heldPortIdentity(); };
    rigForm_ = new TRigForm(*dialogs_, std::move(rig), mainMenu_.get());
    connect(menuActions_, &MainMenuActions::rigRequested, this, [this] {
        rigForm_->show();
        rigForm_->raise();
        rigForm_->activateWindow();
    });
}

std::string EditorApplication::heldPortIdentity() const {
    if (device_->offline()) {
        return {};
    }
    const link::LinkOption& option = device_->chosenLink();
    link::PortAddress port;
    if (option.connectionMode == VirtualConnection::kConnectionMode) {
        port.kind = link::PortAddress::Kind::Virtual;
        port.location = virtual_->options().stateFile.string();
    } else if (option.kind == link::LinkOption::Kind::Usb) {
        port.kind = link::PortAddress::Kind::Usb;
    } else if (!option.portPath.empty()) {
        port.location = option.portPath;
    } else {
        return {};
    }
    return link::portIdentity(port, loadPortMap(*settings_));
}

void EditorApplication::wireSafety() {
    safety_ = std::make_unique<LinkSafetyCommands>(*mainMenu_, *device_, *session_, *dialogs_,
                                                   *settings_);
    // The doctor's finding goes where the user chose the link.
    connect(device_.get(), &DeviceWorkflow::diagnosisReady, this,
            [this](const QString& diagnosis, const QStringList& checks) {
                connectForm_->setDiagnosis(diagnosis, checks);
                showConnectionWindow();
            });
}

void EditorApplication::wire() {
    TConnectForm* connection = connectForm_.get();
    TMainMenu* main = mainMenu_.get();
    MainWorkflow* workflow = workflow_.get();
    DeviceWorkflow* device = device_.get();

    connection->setCloseGuard([workflow] { return workflow->confirmClose(); });
    connect(connection, &TConnectForm::closing, this, &EditorApplication::finished);
    connect(connection, &TConnectForm::choiceMade, this, &EditorApplication::choose);
    connect(connection, &TConnectForm::portSettingsRequested, this,
            &EditorApplication::openPortSettings);
    connect(main, &TMainMenu::closeRequested, connection, &QWidget::close);
    connect(main, &TMainMenu::connectRequested, this, &EditorApplication::showConnectionWindow);

    connect(device, &DeviceWorkflow::connectionSettled, this, &EditorApplication::showMainWindow);
    connect(device, &DeviceWorkflow::portInUse, this, [connection] {
        connection->lightIndicator(TConnectForm::kOffline);
        connection->setChoicesEnabled(true);
        connection->setNote({});
    });
    connect(device, &DeviceWorkflow::linkLost, connection,
            [connection] { connection->lightIndicator(TConnectForm::kOffline); });
    connect(device, &DeviceWorkflow::connectionWindowRequested, this,
            &EditorApplication::showConnectionWindow);
    connect(device, &DeviceWorkflow::transferControlsEnabledChanged, main,
            &TMainMenu::setTransferControlsEnabled);
    connect(device, &DeviceWorkflow::statusTextChanged, main, &TMainMenu::setStatusText);
    connect(device, &DeviceWorkflow::operationFinished, this,
            [this](Operation, bool) { saveVirtualState(); });

    connect(main, &TMainMenu::readRequested, device, &DeviceWorkflow::read);
    connect(main, &TMainMenu::writeRequested, device, &DeviceWorkflow::write);
    connect(main, &TMainMenu::changeRequested, device, &DeviceWorkflow::change);
    connect(main, &TMainMenu::realTimeRequested, device, &DeviceWorkflow::toggleRealTime);
    connect(workflow, &MainWorkflow::realTimeToggleRequested, device,
            &DeviceWorkflow::toggleRealTime);
    connect(main, &TMainMenu::keyboardLockRequested, device, &DeviceWorkflow::keyboardLock);
    connect(main, &TMainMenu::firmwareRequested, device, &DeviceWorkflow::updateFirmware);
    connect(main, &TMainMenu::copyToAllRequested, device, &DeviceWorkflow::copyToAllMemories);
    connect(main, &TMainMenu::passwordRequested, this, [this, device] {
        if (device->beginPassword()) {
            passwordForm_->ask(device->letterPassword());
        }
    });
    connect(passwordForm_.get(), &QDialog::finished, device, [this, device](int result) {
        device->finishPassword(result == QDialog::Accepted ? std::optional(passwordForm_->block())
                                                           : std::nullopt);
    });
    connect(main, &TMainMenu::codeBoxRequested, inputPassForm_.get(), &TInputPassForm::ask);
    connect(main, &TMainMenu::dspSelectRequested, this,
            [this](int bank) { session_->setDspSelect(bank); });
    connect(inputPassForm_.get(), &TInputPassForm::codeEntered, workflow,
            &MainWorkflow::applyAccessCode);
    connect(main, &TMainMenu::systemInfoRequested, systemInfoForm_.get(), &QDialog::open);

    // The two preset-name fields always hold the same text.
    connect(workflow, &MainWorkflow::systemNameChanged, systemInfoForm_.get(),
            &TSystemInfoForm::showSystemName);
    connect(systemInfoForm_.get(), &TSystemInfoForm::systemNameEdited, workflow,
            &MainWorkflow::setSystemName);
    connect(workflow, &MainWorkflow::configurationReloaded, systemInfoForm_.get(),
            &TSystemInfoForm::reload);

    TW_Serial_Info_Form* transfer = serialInfoForm_.get();
    connect(device, &DeviceWorkflow::portTextChanged, transfer, &TW_Serial_Info_Form::setPortText);
    connect(session_.get(), &link::DeviceSession::infoChanged, transfer,
            &TW_Serial_Info_Form::setInfo);
    connect(session_.get(), &link::DeviceSession::gaugeMaximumChanged, transfer,
            &TW_Serial_Info_Form::setGaugeMaximum);
    connect(session_.get(), &link::DeviceSession::gaugePositionChanged, transfer,
            &TW_Serial_Info_Form::setGaugePosition);
    connect(session_.get(), &link::DeviceSession::windowShown, transfer,
            &TW_Serial_Info_Form::showWindow);
    connect(session_.get(), &link::DeviceSession::windowClosed, transfer,
            &TW_Serial_Info_Form::closeWindow);
}

void EditorApplication::addEditor(EditorKind kind, std::unique_ptr<EditorWindow> window) {
    editors_->add(kind, window.get());
    ownedEditors_.push_back(std::move(window));
}

void EditorApplication::start() {
    std::string error;
    if (!virtual_->loadState(error)) {
        dialogs_->warn(QStringLiteral("The virtual processor's memories from the last run could "
                                      "not be read (%1). It starts with fresh memories.")
                           .arg(QString::fromStdString(error)));
    }
    // Every other part of the program has added its menu entries.
    menuActions_->finishMenus();
    connectForm_->show();
    // Every window exists now: the choices become usable.
    connectForm_->setChoicesEnabled(true);
    if (options_.chooseVirtual) {
        QTimer::singleShot(0, this, [this] {
            connectForm_->lightIndicator(TConnectForm::kVirtual);
            choose(TConnectForm::kVirtual);
        });
    }
}

link::LinkOption EditorApplication::defaultLinkOption(int tag) {
    if (tag == TConnectForm::kVirtual) {
        return virtual_->linkOption();
    }
    if (tag == TConnectForm::kUsb) {
        return link::LinkOption::usb([] { return std::make_unique<link::LibFtdiD2xx>(); });
    }
    const int com = TConnectForm::comNumber(tag);
    if (com > 0) {
        const link::PortMap ports = loadPortMap(*settings_);
        link::LinkOption option = link::LinkOption::com(
            com, [com, ports] { return link::TCommPortDriver::forProcessor(com, ports); });
        option.portPath = ports.path(com);
        return option;
    }
    return link::LinkOption::offline();
}

void EditorApplication::choose(int tag) {
    connectForm_->setChoicesEnabled(false);
    connectForm_->setNote(tag == TConnectForm::kOffline ? QString()
                                                        : QStringLiteral("Connecting..."));
    if (!device_->chooseLink(linkFactory_(tag))) {
        connectForm_->setChoicesEnabled(true);
        connectForm_->setNote(
            QStringLiteral("The processor is busy. Choose again once the transfer has ended."));
        return;
    }
    // Once used, the virtual processor's memories are kept after every operation.
    virtualChosen_ = virtualChosen_ || tag == TConnectForm::kVirtual;
}

void EditorApplication::showMainWindow(bool hideConnectionWindow) {
    connectForm_->setChoicesEnabled(true);
    connectForm_->setNote({});
    mainMenu_->show();
    mainMenu_->raise();
    mainMenu_->activateWindow();
    if (hideConnectionWindow) {
        connectForm_->hide();
    }
}

void EditorApplication::showConnectionWindow() {
    connectForm_->show();
    connectForm_->raise();
    connectForm_->activateWindow();
}

QWidget* EditorApplication::openPortSettings() {
    auto* dialog = new PortSettingsDialog(loadPortMap(*settings_), link::availableSerialPorts(),
                                          connectForm_.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        savePortMap(*settings_, dialog->portMap());
        refreshPortLocations();
    });
    dialog->open();
    return dialog;
}

void EditorApplication::refreshPortLocations() {
    const link::PortMap ports = loadPortMap(*settings_);
    std::array<QString, 4> locations;
    for (int number = 1; number <= link::PortMap::kPorts; ++number) {
        locations[static_cast<std::size_t>(number - 1)] =
            QString::fromStdString(ports.path(number));
    }
    connectForm_->setPortLocations(locations);
}

void EditorApplication::saveVirtualState() {
    if (!virtualChosen_) {
        return;
    }
    std::string error;
    if (!virtual_->saveState(error) && !virtualSaveWarned_) {
        virtualSaveWarned_ = true;
        dialogs_->warn(QStringLiteral("The virtual processor's memories could not be kept for "
                                      "the next run (%1).")
                           .arg(QString::fromStdString(error)));
    }
}

}  // namespace kvn::ui
