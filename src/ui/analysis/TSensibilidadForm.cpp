#include "ui/analysis/TSensibilidadForm.h"

#include "ui/analysis/MeasurementImportService.h"
#include "widgets/RealEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvn::ui {

TSensibilidadForm::TSensibilidadForm(MeasurementImportService& service, QWidget* parent)
    : QDialog(parent), service_(service), field_(new widgets::RealEdit(this)) {
    setObjectName(QStringLiteral("TSensibilidadForm"));
    setWindowTitle(QStringLiteral("Input Sensitivity"));
    setWindowModality(Qt::ApplicationModal);
    field_->setObjectName(QStringLiteral("SensibilidadEdit"));
    field_->setFormat(QStringLiteral("0"));
    field_->setRange(analysis::kMicMvPerPaMin, analysis::kMicMvPerPaMax);
    field_->setValue(service_.micMvPerPa());
    field_->setAlignment(Qt::AlignRight);
    field_->setMaximumWidth(70);
    connect(field_, &widgets::RealEdit::committed, this, &TSensibilidadForm::apply);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("SensibilidadOkB"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        field_->commitText();
        apply();
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Microphone sensitivity"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(field_);
    row->addWidget(new QLabel(QStringLiteral("mV/Pa"), this));
    row->addStretch(1);
    layout->addLayout(row);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

void TSensibilidadForm::openModal() {
    field_->setValue(service_.micMvPerPa());
    open();
}

void TSensibilidadForm::apply() {
    service_.setMicMvPerPa(field_->value());
}

}  // namespace kvn::ui
