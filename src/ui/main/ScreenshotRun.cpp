#include "ui/main/ScreenshotRun.h"

#include "config/MemoryImage.h"
#include "config/PresetFile.h"
#include "config/ProcessorConfig.h"
#include "link/ImageCheck.h"
#include "ui/main/DeviceWorkflow.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/LinkSafetyCommands.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/PanelKeyButton.h"
#include "ui/main/TConnectForm.h"
#include "ui/main/TInputPassForm.h"
#include "ui/main/TLinkTrafficForm.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/TPasswordForm.h"
#include "ui/main/TProgresionForm.h"
#include "ui/main/TRigForm.h"
#include "ui/main/TSystemInfoForm.h"
#include "ui/main/TVerifyForm.h"
#include "ui/main/TW_Serial_Info_Form.h"
#include "widgets/LedButton.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace kvn::ui {

namespace {

// Time for a shown window to be laid out and painted before it is drawn to a file.
constexpr int kStepMs = 40;

void press(QWidget* form, const char* key, int times = 1) {
    auto* button = form->findChild<QAbstractButton*>(QString::fromLatin1(key));
    for (int i = 0; i < times && button != nullptr; ++i) {
        button->click();
    }
}

}  // namespace

ScreenshotRun::ScreenshotRun(EditorApplication& editor, QString folder)
    : editor_(editor), folder_(std::move(folder)) {}

void ScreenshotRun::start() {
    if (!QDir().mkpath(folder_)) {
        std::fprintf(stderr, "screenshots: cannot create %s\n", qPrintable(folder_));
        QTimer::singleShot(0, this, [this] { emit done(false); });
        return;
    }
    plan();
    QTimer::singleShot(kStepMs, this, &ScreenshotRun::next);
}

void ScreenshotRun::next() {
    if (waitingForConnection_) {
        return;
    }
    if (steps_.empty()) {
        emit done(!failed_);
        return;
    }
    const std::function<void()> step = steps_.front();
    steps_.pop_front();
    step();
    if (!waitingForConnection_) {
        QTimer::singleShot(kStepMs, this, &ScreenshotRun::next);
    }
}

void ScreenshotRun::shoot(QWidget* window, const QString& name) {
    save(window->grab().toImage(), name);
}

void ScreenshotRun::save(const QImage& picture, const QString& name) {
    const QString path = QDir(folder_).filePath(name);
    if (!picture.save(path)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
        failed_ = true;
        return;
    }
    written_ << name;
}

void ScreenshotRun::fillExample() {
    ProcessorConfig& config = editor_.config();
    config.SystemName = "Main Hall - Left Stack";
    config.InputName = {"Mix L", "Mix R"};
    config.output(1).Name = "Top L";
    config.output(2).Name = "Fill";
    config.output(3).Name = "Sub";
    config.output(2).Muted = true;
    config.ProjectName = "Spring Tour";
    config.Engineer = "A. Sound";
    config.Comments = "Tops crossed at 100 Hz.\nSub cardioid pair behind the stage.";
    editor_.workflow().configurationReplaced();
}

void ScreenshotRun::plan() {
    TConnectForm& connection = editor_.connectForm();
    TMainMenu& main = editor_.mainMenu();

    steps_.push_back([this, &connection] {
        connection.adjustSize();
        shoot(&connection, QStringLiteral("connection-window.png"));
    });
    steps_.push_back([this, &connection] {
        // Connect to the virtual processor the way a user does, then go on once it answered.
        waitingForConnection_ = true;
        auto settled = std::make_shared<QMetaObject::Connection>();
        *settled =
            connect(&editor_.device(), &DeviceWorkflow::connectionSettled, this, [this, settled] {
                disconnect(*settled);
                waitingForConnection_ = false;
                QTimer::singleShot(kStepMs, this, &ScreenshotRun::next);
            });
        connection.indicator(TConnectForm::kVirtual)->click();
    });
    steps_.push_back([this, &main] {
        fillExample();
        main.resize(main.sizeHint());
    });
    steps_.push_back([this, &main] { shoot(&main, QStringLiteral("main-window.png")); });

    steps_.push_back([this] {
        TProgresionForm& loading = editor_.progresionForm();
        loading.beginStages(QStringLiteral("Opening /home/user/presets/Main Hall.KV2"));
        loading.setStage(65, QStringLiteral("Updating Xover..."));
    });
    steps_.push_back([this] {
        shoot(&editor_.progresionForm(), QStringLiteral("loading-window.png"));
        editor_.progresionForm().closeWindow();
    });

    steps_.push_back([this] {
        TW_Serial_Info_Form& transfer = editor_.serialInfoForm();
        transfer.setPortText(QStringLiteral("Comunication Port : Virtual"));
        transfer.setGaugeMaximum(2046);
        transfer.setGaugePosition(1280);
        transfer.setInfo(QStringLiteral("Sending DATA... to Memory 21"));
        transfer.showWindow();
    });
    steps_.push_back([this] {
        shoot(&editor_.serialInfoForm(), QStringLiteral("transfer-window.png"));
        editor_.serialInfoForm().closeWindow();
    });

    steps_.push_back([this] {
        editor_.systemInfoForm().reload();
        editor_.systemInfoForm().show();
    });
    steps_.push_back([this] {
        shoot(&editor_.systemInfoForm(), QStringLiteral("system-info.png"));
        editor_.systemInfoForm().hide();
    });

    steps_.push_back([this] {
        editor_.inputPassForm().ask();
        editor_.inputPassForm()
            .findChild<QLineEdit*>(QStringLiteral("PasswordEdit"))
            ->setText(QStringLiteral("79"));
    });
    steps_.push_back([this] {
        shoot(&editor_.inputPassForm(), QStringLiteral("code-box.png"));
        editor_.inputPassForm().reject();
    });

    steps_.push_back([this] {
        TPasswordForm& password = editor_.passwordForm();
        password.ask(true);
        press(&password, "FARR_SpeedButton", 10);
        press(&password, "ENTER_SpeedButton");
        press(&password, "FABA_SpeedButton", 2);
        press(&password, "ENTER_SpeedButton");
        press(&password, "FARR_SpeedButton", 21);
    });
    steps_.push_back([this] {
        shoot(&editor_.passwordForm(), QStringLiteral("password-letters.png"));
        editor_.passwordForm().reject();
    });
    steps_.push_back([this] {
        TPasswordForm& password = editor_.passwordForm();
        password.ask(false);
        for (const char* key : {"FARR_SpeedButton", "FARR_SpeedButton", "FABA_SpeedButton",
                                "ENTER_SpeedButton", "ENTER_SpeedButton", "FABA_SpeedButton"}) {
            press(&password, key);
        }
        password.findChild<widgets::LedButton*>(QStringLiteral("PasswordLED"))->click();
    });
    steps_.push_back([this] {
        shoot(&editor_.passwordForm(), QStringLiteral("password-keys.png"));
        editor_.passwordForm().reject();
    });

    auto settings = std::make_shared<QWidget*>(nullptr);
    steps_.push_back([this, settings] { *settings = editor_.openPortSettings(); });
    steps_.push_back([this, settings] {
        shoot(*settings, QStringLiteral("port-settings.png"));
        (*settings)->close();
    });

    steps_.push_back([this] {
        // The check after a write when the processor gives back something else than it was sent.
        const ImageBuffer written = BuildImage(editor_.config());
        ProcessorConfig changed = editor_.config();
        changed.output(1).DelaySamples += 48;
        changed.output(3).Name = "Sub 2";
        const ImageBuffer readBack = BuildImage(changed);
        link::DeviceSequences::Verification result;
        result.memory = 21;
        result.check = link::compareImages(written, readBack);
        result.elapsedMs = 2870;
        editor_.safety().verifyWindow().showResult(result);
    });
    steps_.push_back([this] {
        shoot(&editor_.safety().verifyWindow(), QStringLiteral("verify-window.png"));
        editor_.safety().verifyWindow().hide();
    });
    steps_.push_back([this] {
        // The conversation so far: the connection's identification of the processor.
        TLinkTrafficForm& traffic = editor_.safety().trafficWindow();
        traffic.resize(640, 420);
        traffic.show();
        traffic.refresh();
    });
    steps_.push_back([this] {
        shoot(&editor_.safety().trafficWindow(), QStringLiteral("link-traffic.png"));
        editor_.safety().trafficWindow().hide();
    });

    steps_.push_back([this] {
        // A rig of four processors after a status check: two ready, one holding another preset,
        // one that does not answer.
        QTemporaryDir dir;
        SavePresetFile(dir.filePath(QStringLiteral("hall.KV2")).toStdString(), editor_.config());
        QFile rig(dir.filePath(QStringLiteral("rig.json")));
        if (!rig.open(QIODevice::WriteOnly)) {
            return;
        }
        rig.write(R"({"processors": [
            {"name": "Left hang", "port": "/dev/ttyUSB0", "memory": 30, "preset": "hall.KV2"},
            {"name": "Right hang", "port": "/dev/ttyUSB1", "memory": 30, "preset": "hall.KV2"},
            {"name": "Front fill", "port": "usb:FT4XYZ12", "memory": 31, "preset": "hall.KV2"},
            {"name": "Subs", "port": "COM1", "memory": 32, "preset": "hall.KV2"}]})");
        rig.close();
        TRigForm& form = editor_.rigForm();
        form.loadRig(rig.fileName());
        link::RigReport report;
        report.results.resize(4);
        for (std::size_t i = 0; i < 3; ++i) {
            link::RigResult& r = report.results[i];
            r.state = i < 2 ? link::RigResult::State::Succeeded : link::RigResult::State::Failed;
            r.answered = true;
            r.activeMemory = i < 2 ? 30 : 31;
            r.holds = i < 2 ? link::RigResult::Holds::Yes : link::RigResult::Holds::No;
        }
        report.results[2].failure = "memory 31 does not hold hall.KV2";
        report.results[3].state = link::RigResult::State::Failed;
        report.results[3].failure = "the processor did not answer";
        form.showReport(report, link::RigAction::Status);
        form.show();
    });
    steps_.push_back([this] {
        shoot(&editor_.rigForm(), QStringLiteral("rig.png"));
        editor_.rigForm().hide();
    });

    // The editor windows' own pictures.
    for (EditorWindow* window : editor_.editors().all()) {
        for (const ScreenshotStep& step : window->screenshots()) {
            auto shown = std::make_shared<QWidget*>(nullptr);
            steps_.push_back([step, shown] { *shown = step.prepare(); });
            steps_.push_back([this, step, shown] {
                if (*shown != nullptr) {
                    shoot(*shown, step.fileName);
                    (*shown)->hide();
                }
            });
        }
    }
    for (const ScreenshotPicture& picture : editor_.screenshots()) {
        steps_.push_back([this, picture] { save(picture.draw(), picture.fileName); });
    }
}

}  // namespace kvn::ui
