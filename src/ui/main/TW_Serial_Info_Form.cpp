#include "ui/main/TW_Serial_Info_Form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kvn::ui {

TW_Serial_Info_Form::TW_Serial_Info_Form(QWidget* parent)
    : QWidget(parent, Qt::Tool),
      infoComLabel_(new QLabel(this)),
      info_(new QLabel(this)),
      progressBar_(new QProgressBar(this)),
      closeButton_(new QPushButton(QStringLiteral("Close"), this)) {
    setObjectName(QStringLiteral("TW_Serial_Info_Form"));
    setWindowTitle(QStringLiteral("Serial Interface"));
    infoComLabel_->setObjectName(QStringLiteral("Info_Com_Label"));
    info_->setObjectName(QStringLiteral("Info"));
    progressBar_->setObjectName(QStringLiteral("ProgressBar"));
    QFont bold = infoComLabel_->font();
    bold.setBold(true);
    infoComLabel_->setFont(bold);
    info_->setMinimumHeight(info_->fontMetrics().height() * 2);
    info_->setWordWrap(true);
    progressBar_->setTextVisible(false);
    setGaugeMaximum(0);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(infoComLabel_);
    layout->addWidget(info_);
    layout->addWidget(progressBar_);
    layout->addLayout(buttons);
    setMinimumWidth(400);
    connect(closeButton_, &QPushButton::clicked, this, &TW_Serial_Info_Form::closeWindow);
}

QString TW_Serial_Info_Form::portText() const {
    return infoComLabel_->text();
}

QString TW_Serial_Info_Form::infoText() const {
    return info_->text();
}

int TW_Serial_Info_Form::gaugeMaximum() const {
    return progressBar_->maximum();
}

int TW_Serial_Info_Form::gaugePosition() const {
    return progressBar_->value();
}

void TW_Serial_Info_Form::setPortText(const QString& text) {
    infoComLabel_->setText(text);
}

void TW_Serial_Info_Form::setInfo(const QString& text) {
    info_->setText(text);
}

void TW_Serial_Info_Form::setGaugeMaximum(int maximum) {
    // A zero-length transfer would turn the bar into a busy indicator; keep it empty instead.
    progressBar_->setRange(0, std::max(1, maximum));
    progressBar_->setValue(0);
}

void TW_Serial_Info_Form::setGaugePosition(int position) {
    progressBar_->setValue(std::clamp(position, 0, progressBar_->maximum()));
}

void TW_Serial_Info_Form::showWindow() {
    if (!isVisible()) {
        show();
    }
    raise();
}

void TW_Serial_Info_Form::closeWindow() {
    hide();
}

}  // namespace kvn::ui
