#include "ui/main/TInputPassForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kvn::ui {

TInputPassForm::TInputPassForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      passwordEdit_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TInputPassForm"));
    setWindowTitle(QStringLiteral("KVN 350"));
    setModal(true);
    auto* label = new QLabel(QStringLiteral("P a s s W o r d"), this);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    passwordEdit_->setObjectName(QStringLiteral("PasswordEdit"));
    passwordEdit_->setEchoMode(QLineEdit::Password);
    passwordEdit_->setMaxLength(4);
    passwordEdit_->setAlignment(Qt::AlignCenter);
    passwordEdit_->setFixedWidth(passwordEdit_->fontMetrics().averageCharWidth() * 14);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(label);
    layout->addWidget(passwordEdit_, 0, Qt::AlignHCenter);
    setMinimumWidth(260);
    connect(passwordEdit_, &QLineEdit::returnPressed, this, [this] {
        const QString code = passwordEdit_->text();
        passwordEdit_->clear();
        accept();
        emit codeEntered(code);
    });
}

void TInputPassForm::ask() {
    passwordEdit_->clear();
    open();
}

void TInputPassForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    passwordEdit_->setFocus();
}

}  // namespace kvn::ui
