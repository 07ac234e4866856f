#include "ui/main/TPasswordForm.h"

#include "ui/main/PanelKeyButton.h"
#include "widgets/LedButton.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

QLabel* keyCaption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xc9, 0xd2, 0xdc));
    label->setPalette(palette);
    return label;
}

}  // namespace

TPasswordForm::TPasswordForm(QWidget* parent)
    : QDialog(parent),
      passwordEdit_(new QLineEdit(this)),
      down_(new PanelKeyButton(art::PanelKey::Down, this)),
      up_(new PanelKeyButton(art::PanelKey::Up, this)),
      enter_(new PanelKeyButton(art::PanelKey::Enter, this)),
      clear_(new QPushButton(QStringLiteral("Clear"), this)),
      activeLed_(new widgets::LedButton(QStringLiteral("Password Active"), this)),
      ok_(nullptr),
      cancel_(nullptr) {
    setObjectName(QStringLiteral("TPasswordForm"));
    setWindowTitle(QStringLiteral("Set Password"));
    setModal(true);
    passwordEdit_->setObjectName(QStringLiteral("Password_Edit"));
    passwordEdit_->setReadOnly(true);
    passwordEdit_->setAlignment(Qt::AlignCenter);
    passwordEdit_->setFocusPolicy(Qt::NoFocus);
    QFont editFont = passwordEdit_->font();
    editFont.setPointSizeF(editFont.pointSizeF() * 1.6);
    editFont.setBold(true);
    editFont.setLetterSpacing(QFont::PercentageSpacing, 140);
    passwordEdit_->setFont(editFont);
    down_->setObjectName(QStringLiteral("FABA_SpeedButton"));
    down_->setToolTip(QStringLiteral("DOWN"));
    up_->setObjectName(QStringLiteral("FARR_SpeedButton"));
    up_->setToolTip(QStringLiteral("UP"));
    enter_->setObjectName(QStringLiteral("ENTER_SpeedButton"));
    enter_->setToolTip(QStringLiteral("ENTER"));
    clear_->setObjectName(QStringLiteral("SpeedButton1"));
    activeLed_->setObjectName(QStringLiteral("PasswordLED"));
    activeLed_->setLitColor(QColor(0xe5, 0x39, 0x35));

    // The keys sit on a dark strip, as on the processor's front panel.
    auto* panel = new QFrame(this);
    panel->setAutoFillBackground(true);
    QPalette panelPalette = panel->palette();
    panelPalette.setColor(QPalette::Window, QColor(0x1e, 0x25, 0x2e));
    panel->setPalette(panelPalette);
    auto* keys = new QGridLayout(panel);
    keys->setContentsMargins(18, 12, 18, 10);
    keys->setHorizontalSpacing(18);
    keys->addWidget(down_, 0, 0, Qt::AlignCenter);
    keys->addWidget(up_, 0, 1, Qt::AlignCenter);
    keys->addWidget(enter_, 0, 2, Qt::AlignCenter);
    keys->addWidget(keyCaption(QStringLiteral("DOWN"), panel), 1, 0);
    keys->addWidget(keyCaption(QStringLiteral("UP"), panel), 1, 1);
    keys->addWidget(keyCaption(QStringLiteral("ENTER"), panel), 1, 2);
    for (PanelKeyButton* key : {down_, up_, enter_}) {
        key->setFixedSize(key->sizeHint());
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    ok_->setObjectName(QStringLiteral("OKButton"));
    cancel_->setObjectName(QStringLiteral("CancelButton"));

    auto* row = new QHBoxLayout;
    row->addWidget(activeLed_);
    row->addStretch(1);
    row->addWidget(clear_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->setSpacing(12);
    layout->addWidget(passwordEdit_);
    layout->addWidget(panel);
    layout->addLayout(row);
    layout->addWidget(buttons);

    connect(down_, &QAbstractButton::clicked, this, [this] { press(&link::PasswordEntry::down); });
    connect(up_, &QAbstractButton::clicked, this, [this] { press(&link::PasswordEntry::up); });
    connect(enter_, &QAbstractButton::clicked, this,
            [this] { press(&link::PasswordEntry::enter); });
    connect(clear_, &QPushButton::clicked, this, &TPasswordForm::clearEntry);
    connect(activeLed_, &widgets::LedButton::clicked, this,
            [this](bool) { entry_.toggleActive(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    clearEntry();
}

void TPasswordForm::ask(bool letterScheme) {
    entry_ = link::PasswordEntry(letterScheme);
    clearEntry();
    open();
}

void TPasswordForm::clearEntry() {
    entry_.clear();
    activeLed_->setLit(false);
    showEntry(false);
}

void TPasswordForm::press(void (link::PasswordEntry::*key)()) {
    if (entry_.complete()) {
        return;
    }
    (entry_.*key)();
    showEntry(key == &link::PasswordEntry::enter);
}

void TPasswordForm::showEntry(bool entered) {
    passwordEdit_->setText(QString::fromStdString(entry_.displayText()));
    const bool done = entry_.complete();
    QPalette palette = passwordEdit_->palette();
    palette.setColor(QPalette::Text,
                     done && entered ? QColor(0x2e, 0x9d, 0x4f) : QColor(0xd3, 0x2f, 0x2f));
    passwordEdit_->setPalette(palette);
    ok_->setEnabled(done);
}

}  // namespace kvn::ui
