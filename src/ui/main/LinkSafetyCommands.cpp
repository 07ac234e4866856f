#include "ui/main/LinkSafetyCommands.h"

#include "link/DeviceSession.h"
#include "ui/main/DeviceWorkflow.h"
#include "ui/main/TLinkTrafficForm.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/TVerifyForm.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

namespace kvn::ui {

namespace {

constexpr const char* kVerifyKey = "link/verifyWrites";

}  // namespace

LinkSafetyCommands::LinkSafetyCommands(TMainMenu& main, DeviceWorkflow& device,
                                       link::DeviceSession& session, UserDialogs& dialogs,
                                       QSettings& settings, QObject* parent)
    : QObject(parent),
      device_(device),
      settings_(settings),
      traffic_(new TLinkTrafficForm(session.trafficLog(), dialogs, &main)),
      verify_(new TVerifyForm(&main)),
      outOfStep_(new QLabel(&main)) {
    QMenu* file = main.menu(TMainMenu::Menu::File);
    file->addSeparator();
    backup_ = file->addAction(QStringLiteral("Back up processor..."), &device,
                              &DeviceWorkflow::backupProcessor);
    backup_->setObjectName(QStringLiteral("BackupAction"));
    backup_->setToolTip(QStringLiteral("Read every memory into a folder of preset files"));
    restore_ = file->addAction(QStringLiteral("Restore processor..."), &device,
                               &DeviceWorkflow::restoreProcessor);
    restore_->setObjectName(QStringLiteral("RestoreAction"));
    QAction* verify = file->addAction(QStringLiteral("Verify Memory After Write"));
    verify->setObjectName(QStringLiteral("VerifyWritesAction"));
    verify->setCheckable(true);
    verify->setToolTip(QStringLiteral("Read every written memory back and compare it"));
    verify->setChecked(settings_.value(QString::fromLatin1(kVerifyKey), true).toBool());
    device_.setVerifyWrites(verify->isChecked());
    connect(verify, &QAction::toggled, this, [this](bool on) {
        device_.setVerifyWrites(on);
        settings_.setValue(QString::fromLatin1(kVerifyKey), on);
    });
    const bool enabled = device_.transferControlsEnabled();
    backup_->setEnabled(enabled);
    restore_->setEnabled(enabled);
    connect(&device_, &DeviceWorkflow::transferControlsEnabledChanged, this, [this](bool on) {
        backup_->setEnabled(on);
        restore_->setEnabled(on);
    });

    QAction* traffic =
        main.menu(TMainMenu::Menu::View)->addAction(QStringLiteral("Link traffic"), this, [this] {
            traffic_->show();
            traffic_->raise();
        });
    traffic->setObjectName(QStringLiteral("LinkTrafficAction"));

    outOfStep_->setObjectName(QStringLiteral("OutOfStepLabel"));
    QPalette palette = outOfStep_->palette();
    palette.setColor(QPalette::WindowText, QColor(0xd3, 0x2f, 0x2f));
    outOfStep_->setPalette(palette);
    QFont bold = outOfStep_->font();
    bold.setBold(true);
    outOfStep_->setFont(bold);
    outOfStep_->hide();
    main.statusBar()->addPermanentWidget(outOfStep_);
    connect(&device_, &DeviceWorkflow::outOfStepChanged, this, &LinkSafetyCommands::showOutOfStep);

    connect(&device_, &DeviceWorkflow::verificationFailed, verify_, &TVerifyForm::showResult);
    connect(verify_, &TVerifyForm::writeAgainRequested, &device_, &DeviceWorkflow::writeAgain);
}

LinkSafetyCommands::~LinkSafetyCommands() = default;

void LinkSafetyCommands::showOutOfStep(bool outOfStep, int missedEdits) {
    outOfStep_->setVisible(outOfStep);
    outOfStep_->setText(
        missedEdits == 1
            ? QStringLiteral("Processor out of step: 1 edit did not reach it")
            : QStringLiteral("Processor out of step: %1 edits did not reach it").arg(missedEdits));
    outOfStep_->setToolTip(QStringLiteral(
        "The link was lost during real-time editing. The editor kept every edit; when you "
        "connect again it offers to write the present configuration to the processor."));
}

}  // namespace kvn::ui
