#include "ui/editors/TAutoEqForm.h"

#include "analysis/MeasurementImport.h"
#include "config/EqualizerControls.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/UserDialogs.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/PanelBox.h"
#include "widgets/RealEdit.h"
#include "widgets/ResponseGraph.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <atomic>

namespace kvn::ui {

namespace {

constexpr int kNowSeries = 1;
constexpr int kFittedSeries = 2;
constexpr int kTargetSeries = 3;
constexpr double kGraphHalfSpanDb = 20.0;
constexpr int kProgressPollMs = 50;
const QColor kTargetColor(0xC0, 0xC0, 0xC0);
const QString kSelectTitle = QStringLiteral("Select File with Frequency Response");

QString outputCaption(int output) {
    return output == kSubOutput ? QStringLiteral("SUB") : QStringLiteral("OUT %1").arg(output);
}

widgets::RealEdit* realEdit(const QString& name, const QString& format, double minimum,
                            double maximum, double value, QWidget* parent) {
    auto* edit = new widgets::RealEdit(parent);
    edit->setObjectName(name);
    edit->setFormat(format);
    edit->setRange(minimum, maximum);
    edit->setValue(value);
    edit->setFixedWidth(edit->fontMetrics().averageCharWidth() * 9);
    return edit;
}

QLineEdit* fileEdit(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 24);
    return edit;
}

}  // namespace

// One fit: copies of everything it needs, read and fitted on the worker; the window reads the
// results after the thread has finished.
struct TAutoEqForm::Job {
    ProcessorConfig config;
    analysis::EqualiserFitOptions options;
    std::string measurementPath;
    bool imported = true;  // the output's imported file, looked for in the fallback folder too
    std::string fallbackFolder;
    analysis::MeasurementSettings settings;
    std::string targetPath;  // empty: flat
    double tiltDbPerOctave = 0.0;
    int generation = 0;

    ResponseCurve measured;
    int measuredFormat = analysis::kFormatAuto;
    analysis::TargetCurve target;
    analysis::EqualiserFit fit;
    std::string error;
    std::atomic<bool> stop{false};
    std::atomic<int> percent{0};

    void run();
};

void TAutoEqForm::Job::run() {
    const auto o = static_cast<std::size_t>(options.output - 1);
    if (imported) {
        std::array<std::string, kOutputCount> paths{};
        paths[o] = measurementPath;
        const analysis::MeasurementImport read =
            analysis::importMeasurements(paths, settings, fallbackFolder);
        if (read.statuses[o] != analysis::MeasurementStatus::Imported) {
            error = read.messages.empty() ? measurementPath + ": cannot be read" : read.messages[0];
            return;
        }
        measured = read.curves[o];
        measuredFormat = read.formats[o];
    } else {
        const analysis::MeasurementResult read =
            analysis::readMeasurement(measurementPath, settings);
        if (read.status != analysis::MeasurementStatus::Imported) {
            error = read.status == analysis::MeasurementStatus::Unreadable
                        ? measurementPath + ": cannot be read"
                        : read.message;
            return;
        }
        measured = read.curve;
        measuredFormat = read.format;
    }
    if (targetPath.empty()) {
        target = analysis::flatTarget(tiltDbPerOctave);
    } else {
        analysis::TargetRead read = analysis::readTargetCurve(targetPath, tiltDbPerOctave);
        if (!read.ok) {
            error = read.message;
            return;
        }
        target = std::move(read.target);
    }
    struct Progress : analysis::FitProgress {
        explicit Progress(Job& job) : job(job) {}
        bool advance(double fraction) override {
            job.percent = static_cast<int>(fraction * 100.0);
            return !job.stop;
        }
        Job& job;
    } progress(*this);
    fit = analysis::fitEqualiser(config, measured, target, options, &progress);
}

TAutoEqForm::TAutoEqForm(EditorContext& context)
    : EditorForm(context, QStringLiteral("TAutoEqForm"), QStringLiteral("Auto EQ")) {
    graph_ = new widgets::ResponseGraph(this, 3);
    graph_->setObjectName(QStringLiteral("AutoEqGraph"));
    graph_->setMinimumSize(560, 340);
    graph_->setYTickStep(5.0);
    graph_->setYTitle(QStringLiteral("dB"));
    graph_->setSeriesName(kNowSeries, QStringLiteral("Now"));
    graph_->setSeriesName(kFittedSeries, QStringLiteral("Fitted"));
    graph_->setSeriesName(kTargetSeries, QStringLiteral("Target"));
    graph_->setSeriesColor(kTargetSeries, kTargetColor);

    bandsTable_ = new QTableWidget(0, 5, this);
    bandsTable_->setObjectName(QStringLiteral("BandsTable"));
    bandsTable_->setHorizontalHeaderLabels({QStringLiteral("Band"), QStringLiteral("Type"),
                                            QStringLiteral("Hz"), QStringLiteral("Q"),
                                            QStringLiteral("Gain dB")});
    bandsTable_->verticalHeader()->hide();
    bandsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bandsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    bandsTable_->setMinimumHeight(150);

    resultLabel_ = new QLabel(this);
    resultLabel_->setObjectName(QStringLiteral("ResultLabel"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("FitProgress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    fitButton_ = new QPushButton(QStringLiteral("Fit"), this);
    fitButton_->setObjectName(QStringLiteral("FitB"));
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelB"));
    applyButton_ = new QPushButton(QStringLiteral("Apply"), this);
    applyButton_->setObjectName(QStringLiteral("ApplyB"));
    connect(fitButton_, &QPushButton::clicked, this, &TAutoEqForm::startFit);
    connect(cancelButton_, &QPushButton::clicked, this, &TAutoEqForm::cancelFit);
    connect(applyButton_, &QPushButton::clicked, this, &TAutoEqForm::applyFit);
    progressTimer_ = new QTimer(this);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (job_) {
            progress_->setValue(job_->percent);
        }
    });

    auto* legend = new QLabel(
        QStringLiteral("<span style='color:%1'>&#9632;</span> Now &nbsp; "
                       "<span style='color:%2'>&#9632;</span> Fitted &nbsp; "
                       "<span style='color:%3'>&#9632;</span> Target (at the fitted level)")
            .arg(widgets::ResponseGraph::defaultSeriesColor(kNowSeries).name(),
                 widgets::ResponseGraph::defaultSeriesColor(kFittedSeries).name(),
                 kTargetColor.name()),
        this);
    auto* right = new QVBoxLayout;
    right->addWidget(graph_, 1);
    right->addWidget(legend);
    right->addWidget(bandsTable_);
    right->addWidget(resultLabel_);
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildOptions());
    middle->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progress_, 1);
    buttons->addWidget(fitButton_);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(applyButton_);
    buttons->addWidget(realTimeButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    chooseOutput(1);
    setFitting(false);
    resize(sizeHint());
}

TAutoEqForm::~TAutoEqForm() {
    if (thread_) {
        job_->stop = true;
        thread_->wait();
    }
}

QWidget* TAutoEqForm::buildOptions() {
    auto* box = new widgets::PanelBox(QStringLiteral("Fit"), this);
    auto* grid = new QGridLayout(box);
    int row = 0;
    const auto add = [&](const QString& label, QWidget* a, QWidget* b = nullptr) {
        grid->addWidget(new QLabel(label, box), row, 0);
        grid->addWidget(a, row, 1, 1, b == nullptr ? 2 : 1);
        if (b != nullptr) {
            grid->addWidget(b, row, 2);
        }
        ++row;
    };
    outputCombo_ = new QComboBox(box);
    outputCombo_->setObjectName(QStringLiteral("OutputCombo"));
    for (int k = 1; k <= kOutputCount; ++k) {
        outputCombo_->addItem(outputCaption(k));
    }
    connect(outputCombo_, &QComboBox::activated, this, [this](int i) { chooseOutput(i + 1); });
    add(QStringLiteral("Output"), outputCombo_);

    measurementEdit_ = fileEdit(QStringLiteral("MeasurementEdit"), box);
    auto* measurementButton = new QToolButton(box);
    measurementButton->setObjectName(QStringLiteral("MeasurementB"));
    measurementButton->setText(QStringLiteral("..."));
    connect(measurementButton, &QToolButton::clicked, this, &TAutoEqForm::chooseMeasurement);
    add(QStringLiteral("Measurement"), measurementEdit_, measurementButton);

    targetCombo_ = new QComboBox(box);
    targetCombo_->setObjectName(QStringLiteral("TargetCombo"));
    targetCombo_->addItems({QStringLiteral("Flat"), QStringLiteral("Target file")});
    connect(targetCombo_, &QComboBox::activated, this, [this](int i) {
        if (i == 1 && targetFile_.isEmpty()) {
            chooseTarget();
        }
        dropProposal({});
    });
    add(QStringLiteral("Target"), targetCombo_);
    targetEdit_ = fileEdit(QStringLiteral("TargetEdit"), box);
    auto* targetButton = new QToolButton(box);
    targetButton->setObjectName(QStringLiteral("TargetB"));
    targetButton->setText(QStringLiteral("..."));
    connect(targetButton, &QToolButton::clicked, this, &TAutoEqForm::chooseTarget);
    add(QStringLiteral("Target file"), targetEdit_, targetButton);
    tiltEdit_ = realEdit(QStringLiteral("TiltEdit"), QStringLiteral("0.0"),
                         -analysis::kMaxTiltDbPerOctave, analysis::kMaxTiltDbPerOctave, 0.0, box);
    add(QStringLiteral("Tilt dB/octave"), tiltEdit_);

    lowEdit_ = realEdit(QStringLiteral("LowEdit"), QStringLiteral("0"), kPeqMinFrequencyHz, 23999.0,
                        40.0, box);
    highEdit_ = realEdit(QStringLiteral("HighEdit"), QStringLiteral("0"), kPeqMinFrequencyHz,
                         23999.0, 16000.0, box);
    add(QStringLiteral("Range Hz"), lowEdit_, highEdit_);
    bandsSpin_ = new widgets::IntSpinEdit(box);
    bandsSpin_->setObjectName(QStringLiteral("BandsSpin"));
    add(QStringLiteral("Bands"), bandsSpin_);
    boostEdit_ = realEdit(QStringLiteral("MaxBoostEdit"), QStringLiteral("0.0"), 0.0,
                          analysis::kMaxBoostLimitDb, analysis::kDefaultMaxBoostDb, box);
    add(QStringLiteral("Max boost dB"), boostEdit_);
    cutOnlyCheck_ = new QCheckBox(QStringLiteral("Cut only"), box);
    cutOnlyCheck_->setObjectName(QStringLiteral("CutOnlyCheck"));
    shelvesCheck_ = new QCheckBox(QStringLiteral("Shelves"), box);
    shelvesCheck_->setObjectName(QStringLiteral("ShelvesCheck"));
    shelvesCheck_->setChecked(true);
    grid->addWidget(cutOnlyCheck_, row, 1);
    grid->addWidget(shelvesCheck_, row++, 2);

    auto* keep = new widgets::PanelBox(QStringLiteral("Keep bands"), box);
    auto* keepRow = new QHBoxLayout(keep);
    for (int b = 1; b <= kPeqBands; ++b) {
        auto* check = new QCheckBox(QString::number(b), keep);
        check->setObjectName(QStringLiteral("Keep%1").arg(b));
        keepRow->addWidget(check);
        keepChecks_[static_cast<std::size_t>(b - 1)] = check;
    }
    grid->addWidget(keep, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    return box;
}

void TAutoEqForm::openFor(int output) {
    if (output >= 1 && output <= kOutputCount && output != output_) {
        chooseOutput(output);
    }
    show();
    raise();
    activateWindow();
}

void TAutoEqForm::chooseOutput(int output) {
    output_ = output;
    outputCombo_->setCurrentIndex(output - 1);
    const analysis::FitRange range = analysis::defaultFitRange(output);
    lowEdit_->setValue(range.lowHz);
    highEdit_->setValue(range.highHz);
    bandsSpin_->setRange(1, peqBandCount(output));
    bandsSpin_->setValue(peqBandCount(output));
    chosenMeasurement_.clear();
    dropProposal({});
    showKeepChecks();
}

void TAutoEqForm::chooseMeasurement() {
    const auto path = context().dialogs.openFile(
        {kSelectTitle,
         QString::fromStdString(analysis::measurementFileFilter(analysis::kFormatAuto)),
         {}});
    if (path) {
        chosenMeasurement_ = *path;
        dropProposal({});
        showKeepChecks();
    }
}

void TAutoEqForm::chooseTarget() {
    const auto path = context().dialogs.openFile(
        {kSelectTitle,
         QString::fromStdString(analysis::measurementFileFilter(analysis::kFormatAuto)),
         {}});
    if (path) {
        targetFile_ = *path;
        targetCombo_->setCurrentIndex(1);
    } else if (targetFile_.isEmpty()) {
        targetCombo_->setCurrentIndex(0);
    }
    targetEdit_->setText(QFileInfo(targetFile_).fileName());
    targetEdit_->setToolTip(targetFile_);
    dropProposal({});
}

std::shared_ptr<TAutoEqForm::Job> TAutoEqForm::makeJob() {
    // A value typed and not yet entered counts, as Enter would enter it.
    for (widgets::RealEdit* field : {lowEdit_, highEdit_, boostEdit_, tiltEdit_}) {
        field->commitText();
    }
    auto job = std::make_shared<Job>();
    job->config = config();
    job->generation = generation_;
    job->options.output = output_;
    job->options.range = {lowEdit_->value(), highEdit_->value()};
    job->options.bands = bandsSpin_->value();
    for (int b = 1; b <= peqBandCount(output_); ++b) {
        if (keepChecks_[static_cast<std::size_t>(b - 1)]->isChecked()) {
            job->options.keptBands.push_back(b);
        }
    }
    job->options.maxBoostDb = boostEdit_->value();
    job->options.cutOnly = cutOnlyCheck_->isChecked();
    job->options.shelves = shelvesCheck_->isChecked();
    job->imported = chosenMeasurement_.isEmpty();
    job->measurementPath = job->imported
                               ? config().MeasurementFile[static_cast<std::size_t>(output_ - 1)]
                               : chosenMeasurement_.toStdString();
    job->settings =
        job->imported
            ? analysis::measurementSettings(config(), analysis::kDefaultMicMvPerPa)
            : analysis::MeasurementSettings(analysis::kFormatAuto, config().MeasurementSpl);
    const QString preset = context().workflow.openDialogFileName();
    job->fallbackFolder =
        preset.isEmpty() ? std::string() : QFileInfo(preset).absolutePath().toStdString();
    job->targetPath = targetCombo_->currentIndex() == 1 ? targetFile_.toStdString() : std::string();
    job->tiltDbPerOctave = tiltEdit_->value();
    return job;
}

void TAutoEqForm::startFit() {
    if (thread_) {
        return;
    }
    job_ = makeJob();
    if (job_->measurementPath.empty()) {
        job_.reset();
        dropProposal(QStringLiteral("%1 has no imported measurement: import one or choose a file.")
                         .arg(outputCaption(output_)));
        return;
    }
    dropProposal(QStringLiteral("Fitting..."));
    thread_.reset(QThread::create([job = job_] { job->run(); }));
    connect(thread_.get(), &QThread::finished, this, &TAutoEqForm::fitFinished);
    setFitting(true);
    thread_->start();
}

void TAutoEqForm::cancelFit() {
    if (job_) {
        job_->stop = true;
    }
}

void TAutoEqForm::fitFinished() {
    thread_->wait();
    thread_.reset();
    setFitting(false);
    finishJob();
}

void TAutoEqForm::finishJob() {
    const std::shared_ptr<Job> job = std::move(job_);
    if (job->generation != generation_) {
        dropProposal(QStringLiteral("The output changed while fitting: fit again."));
    } else if (!job->error.empty() || job->fit.status == analysis::FitStatus::Refused) {
        const QString text =
            QString::fromStdString(job->error.empty() ? job->fit.message : job->error);
        dropProposal(text);
        context().dialogs.message(MessageKind::Warning, text, MessageButtons::Ok);
    } else if (job->fit.status == analysis::FitStatus::Cancelled) {
        dropProposal(QStringLiteral("The fit was cancelled."));
    } else {
        proposal_ = job;
        showProposal();
    }
    progress_->setValue(proposal_ ? 100 : 0);
    emit fitEnded();
}

void TAutoEqForm::showProposal() {
    const Job& job = *proposal_;
    const analysis::FitCurves curves =
        analysis::fitCurves(job.config, job.measured, job.target, job.fit);
    const auto& hz = responseGrid().GridHz;
    graph_->setYRange(curves.levelDb - kGraphHalfSpanDb, curves.levelDb + kGraphHalfSpanDb);
    graph_->setSeriesData(kNowSeries, hz, curves.beforeDb);
    graph_->setSeriesData(kFittedSeries, hz, curves.afterDb);
    graph_->setSeriesData(kTargetSeries, hz, curves.targetDb);
    graph_->setTitle(QStringLiteral("%1 Auto EQ").arg(outputCaption(job.fit.output)));

    bandsTable_->setRowCount(static_cast<int>(job.fit.fittedBands.size()));
    int row = 0;
    for (const int number : job.fit.fittedBands) {
        const PeqBand& band = job.fit.bands[static_cast<std::size_t>(number - 1)];
        const QStringList cells = {
            QString::number(number), QString::fromLatin1(filterTypeName(band.FilterType)),
            QString::number(band.FrequencyHz, 'f', 0), QString::number(band.Q, 'f', 1),
            QString::number(band.GainDb, 'f', 1)};
        for (int c = 0; c < cells.size(); ++c) {
            bandsTable_->setItem(row, c, new QTableWidgetItem(cells[c]));
        }
        ++row;
    }
    resultLabel_->setText(QStringLiteral("RMS deviation over %1-%2 Hz: %3 dB before, %4 dB after")
                              .arg(job.fit.range.lowHz)
                              .arg(job.fit.range.highHz)
                              .arg(job.fit.rmsBeforeDb, 0, 'f', 2)
                              .arg(job.fit.rmsAfterDb, 0, 'f', 2));
    applyButton_->setEnabled(true);
}

void TAutoEqForm::dropProposal(const QString& why) {
    proposal_.reset();
    applyButton_->setEnabled(false);
    if (!why.isNull()) {
        resultLabel_->setText(why);
    }
    const std::string& imported = config().MeasurementFile[static_cast<std::size_t>(output_ - 1)];
    const QString shown =
        chosenMeasurement_.isEmpty() ? QString::fromStdString(imported) : chosenMeasurement_;
    measurementEdit_->setText(shown.isEmpty() ? QStringLiteral("(none imported)")
                                              : QFileInfo(shown).fileName());
    measurementEdit_->setToolTip(shown);
}

void TAutoEqForm::applyFit() {
    if (!proposal_ || proposal_->generation != generation_) {
        return;
    }
    const std::shared_ptr<Job> job = std::move(proposal_);
    const int output = job->fit.output;
    ConfigEdits::Edit e{QStringLiteral("%1 Auto EQ").arg(outputTitle(output)), {}};
    for (int b = 1; b <= peqBandCount(output); ++b) {
        e.scopes.push_back(link::EditScope::peqBand(output, b));
    }
    const bool store = !job->imported;
    if (store) {
        e.scopes.push_back(link::EditScope::quiet(output));
    }
    edit(e, [&job, store, output](ProcessorConfig& c) {
        analysis::applyEqualiserFit(c, job->fit);
        if (store) {
            c.MeasurementFile[static_cast<std::size_t>(output - 1)] = job->measurementPath;
            c.MeasurementFormat = job->measuredFormat;
        }
    });
    chosenMeasurement_.clear();
    applyButton_->setEnabled(false);
    resultLabel_->setText(resultLabel_->text() + QStringLiteral(" (applied)"));
    showKeepChecks();
}

void TAutoEqForm::showKeepChecks() {
    const OutputChannel& output = config().output(output_);
    for (int b = 1; b <= kPeqBands; ++b) {
        QCheckBox* check = keepChecks_[static_cast<std::size_t>(b - 1)];
        const bool inUse = b <= peqBandCount(output_) && b <= output.PeqBandsInUse &&
                           output.band(b).FilterType != kBypass;
        check->setVisible(b <= peqBandCount(output_));
        check->setEnabled(inUse);
        if (!inUse) {
            check->setChecked(false);
        }
    }
}

void TAutoEqForm::setFitting(bool on) {
    fitButton_->setEnabled(!on);
    cancelButton_->setEnabled(on);
    if (on) {
        progress_->setValue(0);
        progressTimer_->start(kProgressPollMs);
    } else {
        progressTimer_->stop();
    }
}

void TAutoEqForm::refresh(const ConfigChange& change) {
    if (change.touchesOutput(output_)) {
        ++generation_;
        if (proposal_) {
            dropProposal(QStringLiteral("The output changed: fit again."));
        } else {
            dropProposal({});
        }
    }
    showKeepChecks();
}

std::vector<ScreenshotStep> TAutoEqForm::screenshots() {
    return {{QStringLiteral("auto-eq.png"), [this]() -> QWidget* {
                 chooseOutput(1);
                 // Above the top's high-pass of the sample system.
                 lowEdit_->setValue(120.0);
                 chosenMeasurement_ =
                     QStringLiteral(KVN_SAMPLE_MEASUREMENTS) + QStringLiteral("/top.frd");
                 // Fitted here and now, so that the picture shows a proposal.
                 job_ = makeJob();
                 job_->run();
                 finishJob();
                 openFor(0);
                 return this;
             }}};
}

}  // namespace kvn::ui
