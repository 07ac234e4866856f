#include "ui/analysis/TImpDataForm.h"

#include "analysis/MeasurementFormats.h"
#include "ui/analysis/MeasurementImportService.h"
#include "ui/analysis/TSensibilidadForm.h"
#include "ui/main/ConfigText.h"
#include "ui/main/UserDialogs.h"
#include "widgets/LedButton.h"
#include "widgets/LedGroup.h"
#include "widgets/RealEdit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kvn::ui {

namespace {

const QString kDialogTitle = QStringLiteral("Select File with Frequency Response");
constexpr int kButtonsPerRow = 5;

bool anyPath(const ProcessorConfig& config) {
    return std::any_of(config.MeasurementFile.begin(), config.MeasurementFile.end(),
                       [](const std::string& p) { return !p.empty(); });
}

}  // namespace

TImpDataForm::TImpDataForm(EditorContext& context, MeasurementImportService& service)
    : EditorForm(context, QStringLiteral("TImpDataForm"), QStringLiteral("Import Speaker Data")),
      service_(service),
      sensitivity_(new TSensibilidadForm(service, this)),
      formats_(new widgets::LedGroup(this)),
      reference_(new widgets::RealEdit(this)),
      format_(analysis::kFormatAuto) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);

    auto* files = new QGroupBox(QStringLiteral("Speaker Data Files"), this);
    auto* grid = new QGridLayout(files);
    grid->setColumnStretch(1, 1);
    for (int output = 1; output <= kOutputCount; ++output) {
        addOutputRow(grid, output);
    }
    layout->addWidget(files);

    auto* formatBox = new QGroupBox(QStringLiteral("Format"), this);
    auto* formatGrid = new QGridLayout(formatBox);
    const auto addFormat = [&](int code, const QString& label, const QString& name) {
        auto* button = new widgets::LedButton(label, formatBox);
        button->setObjectName(name);
        const int index = formats_->addButton(button);
        buttonCodes_.push_back(code);
        formatGrid->addWidget(button, index / kButtonsPerRow, index % kButtonsPerRow);
        // The dBu format's button is kept hidden, as the processor program has it.
        button->setVisible(code != analysis::kFormatMinilyzerDbu);
    };
    addFormat(analysis::kFormatAuto, QStringLiteral("Auto"), QStringLiteral("AutoFormatB"));
    int previous = analysis::kFormatAuto;
    for (const analysis::MeasurementLayout& layout : analysis::measurementLayouts()) {
        const QString label = QString::fromLatin1(layout.buttonLabel);
        const bool dbu = layout.code == analysis::kFormatMinilyzerDbu;
        if (layout.code != previous && (!label.isEmpty() || dbu)) {
            addFormat(layout.code, dbu ? QStringLiteral("Minilyzer (dBu)") : label,
                      QStringLiteral("FormatB%1").arg(layout.code));
        }
        previous = layout.code;
    }
    connect(formats_, &widgets::LedGroup::selected, this,
            [this](int index) { chooseFormat(buttonCodes_[static_cast<std::size_t>(index)]); });
    layout->addWidget(formatBox);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Reference level (0 dB)"), this));
    reference_->setObjectName(QStringLiteral("dBspl"));
    reference_->setFormat(QStringLiteral("0.0"));
    reference_->setRange(analysis::kReferenceDbMin, analysis::kReferenceDbMax);
    reference_->setValue(analysis::kDefaultReferenceDb);
    reference_->setAlignment(Qt::AlignRight);
    reference_->setMaximumWidth(70);
    bottom->addWidget(reference_);
    bottom->addWidget(new QLabel(QStringLiteral("dB SPL"), this));
    bottom->addStretch(1);
    bottom->addWidget(realTimeButton());
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("OkB"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &TImpDataForm::ok);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelB"));
    connect(cancelButton, &QPushButton::clicked, this, &TImpDataForm::cancel);
    bottom->addWidget(okButton);
    bottom->addWidget(cancelButton);
    layout->addLayout(bottom);

    showSettings();
    showOutputNames();
}

void TImpDataForm::addOutputRow(QGridLayout* grid, int output) {
    const auto o = static_cast<std::size_t>(output - 1);
    names_[o] = new QLabel(grid->parentWidget());
    names_[o]->setObjectName(QStringLiteral("Out%1L").arg(output));
    names_[o]->setMinimumWidth(60);
    paths_[o] = new QLineEdit(grid->parentWidget());
    paths_[o]->setObjectName(QStringLiteral("Edit%1").arg(output));
    paths_[o]->setReadOnly(true);
    paths_[o]->setMinimumWidth(360);
    auto* choose = new QPushButton(QStringLiteral("..."), grid->parentWidget());
    choose->setObjectName(QStringLiteral("data%1B").arg(output));
    choose->setMaximumWidth(36);
    connect(choose, &QPushButton::clicked, this, [this, output] { chooseFile(output); });
    auto* clear = new QPushButton(QStringLiteral("Clear"), grid->parentWidget());
    clear->setObjectName(QStringLiteral("Clear%1B").arg(output));
    connect(clear, &QPushButton::clicked, this, [this, o] { paths_[o]->clear(); });
    grid->addWidget(names_[o], output - 1, 0);
    grid->addWidget(paths_[o], output - 1, 1);
    grid->addWidget(choose, output - 1, 2);
    grid->addWidget(clear, output - 1, 3);
}

QString TImpDataForm::fileFilter() const {
    return QString::fromStdString(analysis::measurementFileFilter(format_));
}

void TImpDataForm::chooseFile(int output) {
    const std::optional<QString> path =
        context().dialogs.openFile({kDialogTitle, fileFilter(), {}});
    if (!path) {
        return;
    }
    // The preset keeps 100 characters of each path: a longer one would name another file later.
    if (static_cast<std::size_t>(path->size()) > kMeasurementFileMax) {
        context().dialogs.warn(*path +
                               QStringLiteral(" is longer than the 100 characters a "
                                              "preset keeps. Please choose a shorter path."));
        return;
    }
    paths_[static_cast<std::size_t>(output - 1)]->setText(*path);
}

void TImpDataForm::chooseFormat(int code) {
    if (code == analysis::kFormatMinilyzerDbu) {
        sensitivity_->openModal();
    }
    selectFormat(code);
}

void TImpDataForm::selectFormat(int code) {
    format_ = code;
    const auto it = std::find(buttonCodes_.begin(), buttonCodes_.end(), code);
    formats_->select(it == buttonCodes_.end() ? -1 : static_cast<int>(it - buttonCodes_.begin()));
}

void TImpDataForm::ok() {
    reference_->commitText();
    std::array<std::string, kOutputCount> paths;
    for (std::size_t o = 0; o < paths.size(); ++o) {
        paths[o] = toConfigText(paths_[o]->text(), kMeasurementFileMax);
    }
    const double referenceDb = reference_->value();
    const int stored =
        service_.importFromWindow(paths, format_, referenceDb, config().MeasurementFormat);
    edit({QStringLiteral("Speaker data import"), {link::EditScope::quiet()}},
         [&](ProcessorConfig& c) {
             c.MeasurementFile = paths;
             c.MeasurementFormat = stored;
             c.MeasurementSpl = static_cast<float>(referenceDb);
         });
    selectFormat(stored);
    showSettings();
    hide();
}

void TImpDataForm::cancel() {
    showSettings();
    hide();
}

void TImpDataForm::showSettings() {
    const ProcessorConfig& c = config();
    for (std::size_t o = 0; o < paths_.size(); ++o) {
        paths_[o]->setText(fromConfigText(c.MeasurementFile[o]));
    }
    reference_->setValue(c.MeasurementSpl);
    // Until a file is named, Auto is offered; afterwards the format the files were read with.
    selectFormat(anyPath(c) ? c.MeasurementFormat : analysis::kFormatAuto);
}

void TImpDataForm::showOutputNames() {
    for (int output = 1; output <= kOutputCount; ++output) {
        names_[static_cast<std::size_t>(output - 1)]->setText(
            fromConfigText(config().output(output).Name));
    }
}

void TImpDataForm::openFor(int output) {
    (void)output;
    showSettings();
    showOutputNames();
    show();
    raise();
    activateWindow();
}

void TImpDataForm::refresh(const ConfigChange& change) {
    // Choices waiting for OK are kept through the quiet edits of other windows (names, view
    // switches); an undo, New or Open shows the configuration's settings.
    if (change.whole || (!isVisible() && change.touches(link::EditPart::Quiet))) {
        showSettings();
    }
}

}  // namespace kvn::ui
