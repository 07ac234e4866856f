#include "EditorHarness.h"

#include "ui/main/MainWorkflow.h"

#include "link/DeviceSession.h"
#include "link/EmulatedD2xx.h"
#include "link/Sleeper.h"
#include "link/VirtualSerialChannel.h"
#include "ui/main/DeviceWorkflow.h"
#include "ui/main/TConnectForm.h"
#include "ui/main/TInputPassForm.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/TPasswordForm.h"
#include "ui/main/TProgresionForm.h"
#include "ui/main/TSystemInfoForm.h"
#include "ui/main/TW_Serial_Info_Form.h"
#include "widgets/LedButton.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace kvn::ui::test {

namespace {

class NoWait : public link::Sleeper {
public:
    void sleepMs(int) override {}
};

constexpr int kWaitMs = 20000;

}  // namespace

EditorHarness::EditorHarness(const QString& stateFile, const EditorInstaller& install)
    : sleeper_(std::make_unique<NoWait>()) {
    EditorOptions options;
    options.dialogs = &dialogs_;
    options.sleeper = sleeper_.get();
    options.settingsFile = dir_.filePath(QStringLiteral("settings.ini"));
    options.virtualProcessor.stateFile =
        (stateFile.isEmpty() ? dir_.filePath(QStringLiteral("virtual.state")) : stateFile)
            .toStdString();
    options.virtualProcessor.clock = link::ClockPolicy::Virtual;
    options.virtualProcessor.baud = 0;
    app_ = std::make_unique<EditorApplication>(options);
    app_->setLinkFactory([this](int tag) {
        emu::VirtualProcessor& processor = device();
        if (tag == TConnectForm::kUsb) {
            const bool present = usbPresent_;
            return link::LinkOption::usb([&processor, present] {
                auto converter =
                    std::make_unique<link::EmulatedD2xx>(processor, link::ClockPolicy::Virtual);
                converter->setDevicePresent(present);
                return converter;
            });
        }
        const int com = TConnectForm::comNumber(tag);
        if (com > 0) {
            const bool present = portsPresent_;
            return link::LinkOption::com(com, [&processor, present] {
                auto port = std::make_unique<link::VirtualSerialChannel>(
                    processor, link::ClockPolicy::Virtual);
                port->setPortPresent(present);
                return port;
            });
        }
        return app_->defaultLinkOption(tag);
    });
    if (install) {
        install(*app_);
    }
    app_->start();
}

EditorHarness::~EditorHarness() = default;

std::vector<QWidget*> EditorHarness::windows() const {
    return {&app_->mainMenu(),      &app_->connectForm(),   &app_->systemInfoForm(),
            &app_->passwordForm(),  &app_->inputPassForm(), &app_->progresionForm(),
            &app_->serialInfoForm()};
}

void EditorHarness::click(const QString& name) {
    if (auto* led = find<widgets::LedButton>(name)) {
        led->click();
        return;
    }
    auto* button = find<QAbstractButton>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    button->click();
}

void EditorHarness::type(const QString& name, const QString& text) {
    auto* edit = find<QLineEdit>(name);
    ASSERT_NE(edit, nullptr) << name.toStdString();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

bool EditorHarness::waitIdle() {
    return QTest::qWaitFor([this] { return app_->device().idle(); }, kWaitMs);
}

bool EditorHarness::choose(int tag) {
    app_->connectForm().indicator(tag)->click();
    return waitIdle();
}

bool EditorHarness::connectVirtual() {
    return choose(TConnectForm::kVirtual) &&
           status() == QStringLiteral("Status : Connected at Virtual");
}

bool EditorHarness::startRealTime() {
    dialogs_.answer(Answer::Ok);
    app_->workflow().requestRealTimeToggle();
    return waitIdle() && app_->workflow().realTimeMode();
}

bool EditorHarness::transferControlsEnabled() const {
    return find<QWidget>(QStringLiteral("WriteButton"))->isEnabled();
}

QString EditorHarness::status() const {
    return find<QLabel>(QStringLiteral("InfoLabel"))->text();
}

}  // namespace kvn::ui::test
