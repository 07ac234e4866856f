#include "ui/editors/TShowCoeffForm.h"

#include "config/Encodings.h"
#include "config/EqualizerControls.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

constexpr std::array<const char*, 5> kNames{"b0", "b1", "b2", "a1", "a2"};
// Enough digits to see every one of the processor's 20 fraction bits.
constexpr int kShownDecimals = 10;

QLineEdit* readOnlyField(const QString& name, int characters, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    field->setAlignment(Qt::AlignRight);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * characters);
    return field;
}

}  // namespace

TShowCoeffForm::TShowCoeffForm(EditorContext& context)
    : EditorForm(context, QStringLiteral("TShowCoeffForm"),
                 QStringLiteral("Show Filter Coefficients")) {
    bandLabel_ = new QLabel(this);
    bandLabel_->setObjectName(QStringLiteral("BandLabel"));
    QFont bold = bandLabel_->font();
    bold.setBold(true);
    bandLabel_->setFont(bold);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Coefficient"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Word"), this), 0, 2);
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const QString name = QString::fromLatin1(kNames[i]);
        const int row = static_cast<int>(i) + 1;
        values_[i] = readOnlyField(name + QStringLiteral("Edit"), 15, this);
        words_[i] = readOnlyField(name + QStringLiteral("Word"), 10, this);
        grid->addWidget(new QLabel(name, this), row, 0);
        grid->addWidget(values_[i], row, 1);
        grid->addWidget(words_[i], row, 2);
    }

    auto* convention = new QLabel(
        QStringLiteral("y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] + a1 y[n-1] + a2 y[n-2]"), this);
    convention->setForegroundRole(QPalette::PlaceholderText);

    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setObjectName(QStringLiteral("CopyButton"));
    copy->setToolTip(QStringLiteral("Copies every section of this output, with its words"));
    connect(copy, &QPushButton::clicked, this, &TShowCoeffForm::copySections);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(realTimeButton());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bandLabel_);
    layout->addLayout(grid);
    layout->addWidget(convention);
    layout->addLayout(buttons);
    showValues();
    setFixedSize(sizeHint());
}

void TShowCoeffForm::openFor(int) {
    showValues();
    show();
    raise();
    activateWindow();
}

void TShowCoeffForm::showBand(int output, int band) {
    output_ = std::clamp(output, 1, kOutputCount);
    band_ = std::clamp(band, 1, peqBandCount(output_));
    showValues();
}

void TShowCoeffForm::refresh(const ConfigChange& change) {
    if (change.touches(link::EditPart::PeqBand, output_)) {
        showValues();
    }
}

void TShowCoeffForm::showEvent(QShowEvent* event) {
    showValues();
    EditorForm::showEvent(event);
}

void TShowCoeffForm::showValues() {
    // Laying out ten fields of text costs more than the whole redesign of a band under a drag:
    // a hidden window is brought up to date when it is shown.
    if (!isVisible()) {
        return;
    }
    const PeqBand& band = config().output(output_).band(band_);
    const char* type = filterTypeName(band.FilterType);
    bandLabel_->setText(QStringLiteral("%1 band %2: %3, slot %4")
                            .arg(outputTitle(output_))
                            .arg(band_)
                            .arg(*type != '\0' ? QString::fromLatin1(type)
                                               : QStringLiteral("type %1").arg(band.FilterType))
                            .arg(band.CoeffSlot));
    for (std::size_t i = 0; i < values_.size(); ++i) {
        const double value = band.coefficient(static_cast<int>(i));
        values_[i]->setText(QString::number(value, 'f', kShownDecimals));
        words_[i]->setText(QString::fromStdString(wordText(encodeFixedWord(value))));
    }
}

void TShowCoeffForm::copySections() {
    QApplication::clipboard()->setText(
        QString::fromStdString(equaliserSectionsText(config(), output_)));
}

std::vector<ScreenshotStep> TShowCoeffForm::screenshots() {
    // A presence boost on Output 1, band 3, as the equaliser's picture has it.
    return {{QStringLiteral("coefficients.png"), [this] {
                 edit({QStringLiteral("Example band"), {link::EditScope::peqBand(1, 3)}},
                      [](ProcessorConfig& c) {
                          PeqBand& band = bandInUse(c, 1, 3);
                          band.FilterType = kParametric;
                          band.FrequencyHz = 2800.0;
                          band.Q = 3.5;
                          band.GainDb = 3.0;
                          loadBandControls(band, false);
                      });
                 showBand(1, 3);
                 openFor(0);
                 return static_cast<QWidget*>(this);
             }}};
}

}  // namespace kvn::ui
