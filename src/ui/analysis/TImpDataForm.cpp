#include "ui/analysis/TImpDataForm.h"

#include "analysis/MeasurementFormats.h"
#include "analysis/MeasurementImport.h"
#include "ui/analysis/MeasurementImportService.h"
#include "ui/analysis/TSensibilidadForm.h"
#include "ui/main/ConfigText.h"
#include "ui/main/UserDialogs.h"
#include "widgets/LedButton.h"
#include "widgets/LedGroup.h"
#include "widgets/PanelBox.h"
#include "widgets/RealEdit.h"

#include <QComboBox>
#include <QFileInfo>
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
      status_(new QLabel(this)),
      reference_(new widgets::RealEdit(this)),
      format_(analysis::kFormatAuto),
      autoChosen_(!anyPath(context.config)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);

    auto* files = new widgets::PanelBox(QStringLiteral("Speaker Data Files"), this);
    auto* grid = new QGridLayout(files);
    grid->setColumnStretch(1, 1);
    for (int output = 1; output <= kOutputCount; ++output) {
        addOutputRow(grid, output);
    }
    layout->addWidget(files);

    auto* formatBox = new widgets::PanelBox(QStringLiteral("Format"), this);
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

    status_->setObjectName(QStringLiteral("ImportStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);

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
    paths_[o]->setMinimumWidth(360);
    connect(paths_[o], &QLineEdit::editingFinished, this, [this, o] { pathEdited(o); });
    auto* choose = new QPushButton(QStringLiteral("..."), grid->parentWidget());
    choose->setObjectName(QStringLiteral("data%1B").arg(output));
    choose->setMaximumWidth(36);
    connect(choose, &QPushButton::clicked, this, [this, output] { chooseFile(output); });
    auto* clear = new QPushButton(QStringLiteral("Clear"), grid->parentWidget());
    clear->setObjectName(QStringLiteral("Clear%1B").arg(output));
    connect(clear, &QPushButton::clicked, this, [this, o] {
        paths_[o]->clear();
        pathEdited(o);
    });
    columns_[o] = new QComboBox(grid->parentWidget());
    columns_[o]->setObjectName(QStringLiteral("Column%1").arg(output));
    columns_[o]->setMinimumWidth(120);
    columns_[o]->setToolTip(QStringLiteral("Magnitude column"));
    columns_[o]->setEnabled(false);
    grid->addWidget(names_[o], output - 1, 0);
    grid->addWidget(paths_[o], output - 1, 1);
    grid->addWidget(choose, output - 1, 2);
    grid->addWidget(columns_[o], output - 1, 3);
    grid->addWidget(clear, output - 1, 4);
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
    const auto o = static_cast<std::size_t>(output - 1);
    paths_[o]->setText(*path);
    pathEdited(o);
}

void TImpDataForm::pathEdited(std::size_t index) {
    QLineEdit* edit = paths_[index];
    const QString path = edit->text().trimmed();
    if (path == checkedPaths_[index]) {
        edit->setText(path);
        return;
    }
    // The preset keeps 100 characters of each path: a longer one would name another file later.
    if (static_cast<std::size_t>(path.size()) > kMeasurementFileMax) {
        context().dialogs.warn(path +
                               QStringLiteral(" is longer than the 100 characters a "
                                              "preset keeps. Please choose a shorter path."));
        edit->setText(checkedPaths_[index]);
        return;
    }
    edit->setText(path);
    checkedPaths_[index] = path;
    showColumns(index);
    const QFileInfo file(path);
    if (!path.isEmpty() && !(file.isFile() && file.isReadable())) {
        status_->setText(names_[index]->text() + QStringLiteral(": ") +
                         QString::fromStdString(analysis::unreadableText(path.toStdString())));
    }
}

void TImpDataForm::showColumns(std::size_t index) {
    QComboBox* box = columns_[index];
    const QSignalBlocker block(box);
    box->clear();
    const std::string path = toConfigText(paths_[index]->text(), kMeasurementFileMax);
    if (!path.empty()) {
        for (const std::string& name : analysis::readMagnitudeColumns(path)) {
            box->addItem(QString::fromStdString(name));
        }
    }
    const QString chosen = QString::fromStdString(service_.column(index, path));
    box->setCurrentIndex(std::max(0, chosen.isEmpty() ? 0 : box->findText(chosen)));
    box->setEnabled(box->count() > 1);
}

void TImpDataForm::showStatus() {
    QStringList lines;
    for (std::size_t o = 0; o < names_.size(); ++o) {
        QStringList told;
        for (const std::string& text : service_.told()[o]) {
            told << QString::fromStdString(text);
        }
        if (!told.isEmpty()) {
            lines << names_[o]->text() + QStringLiteral(": ") + told.join(QStringLiteral("; "));
        }
    }
    status_->setText(lines.join(QLatin1Char('\n')));
}

void TImpDataForm::chooseFormat(int code) {
    autoChosen_ = code == analysis::kFormatAuto;
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
    std::array<std::string, kOutputCount> columns;
    for (std::size_t o = 0; o < paths.size(); ++o) {
        pathEdited(o);
        paths[o] = toConfigText(paths_[o]->text(), kMeasurementFileMax);
        // The first magnitude column is the default: no choice to keep.
        if (columns_[o]->currentIndex() > 0) {
            columns[o] = columns_[o]->currentText().toStdString();
        }
    }
    const double referenceDb = reference_->value();
    const MeasurementImportService::WindowImport imported =
        service_.importFromWindow(paths, columns, format_, referenceDb);
    edit({QStringLiteral("Speaker data import"), {link::EditScope::quiet()}},
         [&](ProcessorConfig& c) {
             c.MeasurementFile = imported.paths;
             c.MeasurementFormat = imported.format;
             c.MeasurementSpl = static_cast<float>(referenceDb);
         });
    showSettings();
    // A refusal, like anything else the import has to tell, keeps the window open.
    const auto& told = service_.told();
    if (std::all_of(told.begin(), told.end(),
                    [](const std::vector<std::string>& t) { return t.empty(); })) {
        hide();
    }
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
    checkedPaths_ = {};
    for (std::size_t o = 0; o < paths_.size(); ++o) {
        checkedPaths_[o] = paths_[o]->text();
    }
    // Until a file is named, and while the user keeps Auto, Auto is offered; otherwise the
    // format the files were read with.
    selectFormat(anyPath(c) && !autoChosen_ ? c.MeasurementFormat : analysis::kFormatAuto);
    // The choosers read the files' headers: only for a window the user sees.
    if (isVisible()) {
        for (std::size_t o = 0; o < columns_.size(); ++o) {
            showColumns(o);
        }
        showStatus();
    }
}

void TImpDataForm::showOutputNames() {
    for (int output = 1; output <= kOutputCount; ++output) {
        names_[static_cast<std::size_t>(output - 1)]->setText(
            fromConfigText(config().output(output).Name));
    }
}

void TImpDataForm::openFor(int output) {
    (void)output;
    showOutputNames();
    show();
    showSettings();
    raise();
    activateWindow();
}

void TImpDataForm::refresh(const ConfigChange& change) {
    // A loaded configuration (New, Open, Read) starts the format choice afresh.
    if (change.whole && change.description.isEmpty()) {
        autoChosen_ = !anyPath(config());
    }
    // Choices waiting for OK are kept through the quiet edits of other windows (names, view
    // switches); an undo, New or Open shows the configuration's settings.
    if (change.whole || (!isVisible() && change.touches(link::EditPart::Quiet))) {
        showSettings();
    } else if (isVisible() && change.origin == &service_) {
        showStatus();
    }
}

}  // namespace kvn::ui
