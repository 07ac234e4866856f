#include "ui/main/TProgresionForm.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kvn::ui {

TProgresionForm::TProgresionForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      label1_(new QLabel(this)),
      infoL_(new QLabel(this)),
      progressBar1_(new QProgressBar(this)),
      label2_(new QLabel(QStringLiteral("Loading..."), this)) {
    setObjectName(QStringLiteral("TProgresionForm"));
    setWindowTitle(QStringLiteral("KVN 350"));
    label1_->setObjectName(QStringLiteral("Label1"));
    infoL_->setObjectName(QStringLiteral("InfoL"));
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    label2_->setObjectName(QStringLiteral("Label2"));
    QFont bold = label1_->font();
    bold.setBold(true);
    label1_->setFont(bold);
    label1_->setWordWrap(true);
    label2_->setFont(bold);
    label2_->setAlignment(Qt::AlignCenter);
    progressBar1_->setRange(0, 100);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(label1_);
    layout->addWidget(infoL_);
    layout->addWidget(progressBar1_);
    layout->addWidget(label2_);
    setMinimumWidth(380);
}

void TProgresionForm::present() {
    if (!isVisible()) {
        show();
    }
    raise();
}

void TProgresionForm::beginStages(const QString& title) {
    label1_->setText(title);
    infoL_->clear();
    progressBar1_->setValue(0);
    progressBar1_->setVisible(true);
    label2_->setVisible(true);
    present();
}

void TProgresionForm::setStage(int percent, const QString& text) {
    progressBar1_->setValue(std::clamp(percent, 0, 100));
    infoL_->setText(text);
    if (isVisible()) {
        repaint();
    }
}

void TProgresionForm::beginDecoding() {
    progressBar1_->setVisible(false);
    label1_->setText(QStringLiteral(" "));
    infoL_->setText(QStringLiteral(" "));
    label2_->setVisible(true);
    present();
    repaint();
}

void TProgresionForm::closeWindow() {
    label2_->setVisible(false);
    hide();
}

QString TProgresionForm::title() const {
    return label1_->text();
}

QString TProgresionForm::stepText() const {
    return infoL_->text();
}

int TProgresionForm::percent() const {
    return progressBar1_->value();
}

bool TProgresionForm::barVisible() const {
    return !progressBar1_->isHidden();
}

bool TProgresionForm::loadingLabelVisible() const {
    return !label2_->isHidden();
}

}  // namespace kvn::ui
