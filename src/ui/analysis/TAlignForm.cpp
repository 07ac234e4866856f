#include "ui/analysis/TAlignForm.h"

#include "analysis/MeasurementFormats.h"
#include "config/DelayControls.h"
#include "ui/analysis/MeasurementImportService.h"
#include "ui/main/ConfigText.h"
#include "ui/main/UserDialogs.h"
#include "widgets/PanelBox.h"
#include "widgets/RealEdit.h"
#include "widgets/ResponseGraph.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <tuple>

namespace kvn::ui {

// One search, shared between the window and its worker thread.
struct TAlignForm::Job {
    ProcessorConfig config;
    analysis::MeasuredCurves measured{};
    analysis::AlignmentRequest request;
    std::atomic<std::int64_t> done{0};
    std::atomic<std::int64_t> total{1};
    std::atomic<bool> cancel{false};
    analysis::AlignmentResult result;  // read once the worker has finished
};

namespace {

constexpr double kGraphLimitDb = 20.0;
constexpr double kGraphStepDb = 5.0;
constexpr double kGraphMinHz = 20.0;
constexpr double kGraphMaxHz = 20000.0;
constexpr double kMarkBelowTopDb = 2.0;
constexpr int kProgressSteps = 1000;
constexpr int kProgressTimerMs = 50;

enum Column { kNowColumn, kSamplesColumn, kMsColumn, kCmColumn, kPolarityColumn, kColumns };

bool sameCurves(const analysis::MeasuredCurves& a, const analysis::MeasuredCurves& b) {
    for (std::size_t o = 0; o < a.size(); ++o) {
        if (a[o].MagDb != b[o].MagDb || a[o].PhaseRad != b[o].PhaseRad) {
            return false;
        }
    }
    return true;
}

QString polarityText(bool inverted) {
    return inverted ? QStringLiteral("Inverted") : QStringLiteral("Normal");
}

}  // namespace

TAlignForm::TAlignForm(EditorContext& context, const MeasurementImportService& service)
    : EditorForm(context, QStringLiteral("TAlignForm"), QStringLiteral("Align Outputs")),
      service_(service),
      polarity_(new QCheckBox(QStringLiteral("Polarity may change"), this)),
      low_(new widgets::RealEdit(this)),
      high_(new widgets::RealEdit(this)),
      find_(new QPushButton(QStringLiteral("Find"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      apply_(new QPushButton(QStringLiteral("Apply"), this)),
      progress_(new QProgressBar(this)),
      progressTimer_(new QTimer(this)),
      table_(new QTableWidget(kOutputCount, kColumns, this)),
      loss_(new QLabel(this)),
      state_(new QLabel(this)),
      graph_(new widgets::ResponseGraph(this, 2)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);

    auto* left = new QVBoxLayout;
    graph_->setObjectName(QStringLiteral("AlignGraph"));
    graph_->setMinimumSize(560, 320);
    graph_->setTitle(QStringLiteral("ADD now and aligned"));
    graph_->setYRange(-kGraphLimitDb, kGraphLimitDb);
    graph_->setYTickStep(kGraphStepDb);
    graph_->setSeriesPen(kNowSeries, QPen(Qt::gray, 1.0, Qt::DashLine));
    graph_->setSeriesName(kNowSeries, QStringLiteral("ADD now"));
    graph_->setSeriesPen(kAlignedSeries, QPen(widgets::ResponseGraph::defaultSeriesColor(4), 2.0));
    graph_->setSeriesName(kAlignedSeries, QStringLiteral("ADD aligned"));
    left->addWidget(graph_, 1);

    table_->setObjectName(QStringLiteral("ProposalTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Now"), QStringLiteral("Samples"),
                                       QStringLiteral("ms"), QStringLiteral("cm"),
                                       QStringLiteral("Polarity")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() * (kOutputCount + 1) +
                           2 * table_->frameWidth() + 6);
    for (int row = 0; row < kOutputCount; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            table_->setItem(row, column, item);
        }
    }
    left->addWidget(table_);
    loss_->setObjectName(QStringLiteral("LossLabel"));
    left->addWidget(loss_);
    layout->addLayout(left, 1);

    auto* side = new QVBoxLayout;
    auto* moveBox = new widgets::PanelBox(QStringLiteral("Move"), this);
    auto* moveColumn = new QVBoxLayout(moveBox);
    for (int n = 1; n <= kOutputCount; ++n) {
        auto* box = new QCheckBox(moveBox);
        box->setObjectName(QStringLiteral("Move%1").arg(n));
        box->setChecked(n == kSubOutput);
        move_[static_cast<std::size_t>(n - 1)] = box;
        moveColumn->addWidget(box);
    }
    polarity_->setObjectName(QStringLiteral("PolarityBox"));
    polarity_->setChecked(true);
    moveColumn->addWidget(polarity_);
    side->addWidget(moveBox);

    auto* rangeBox = new widgets::PanelBox(QStringLiteral("Range (Hz)"), this);
    auto* rangeGrid = new QGridLayout(rangeBox);
    const auto& hz = responseGrid().GridHz;
    for (auto [edit, name, label, row] : {std::tuple{low_, "RangeLowEdit", "From", 0},
                                          std::tuple{high_, "RangeHighEdit", "To", 1}}) {
        edit->setObjectName(QString::fromLatin1(name));
        edit->setFormat(QStringLiteral("0"));
        edit->setRange(hz.front(), hz.back());
        rangeGrid->addWidget(new QLabel(QString::fromLatin1(label), rangeBox), row, 0);
        rangeGrid->addWidget(edit, row, 1);
    }
    low_->setValue(hz.front());
    high_->setValue(hz.back());
    auto* crossoverRange = new QPushButton(QStringLiteral("Crossover Range"), rangeBox);
    crossoverRange->setObjectName(QStringLiteral("CrossoverRangeB"));
    connect(crossoverRange, &QPushButton::clicked, this, &TAlignForm::showDefaultRange);
    rangeGrid->addWidget(crossoverRange, 2, 0, 1, 2);
    side->addWidget(rangeBox);

    find_->setObjectName(QStringLiteral("FindB"));
    connect(find_, &QPushButton::clicked, this, [this] { find(); });
    side->addWidget(find_);
    progress_->setObjectName(QStringLiteral("AlignProgress"));
    progress_->setRange(0, kProgressSteps);
    progress_->setValue(0);
    side->addWidget(progress_);
    cancel_->setObjectName(QStringLiteral("CancelB"));
    cancel_->setEnabled(false);
    connect(cancel_, &QPushButton::clicked, this, &TAlignForm::cancel);
    side->addWidget(cancel_);
    state_->setObjectName(QStringLiteral("StateLabel"));
    state_->setWordWrap(true);
    state_->setMinimumWidth(180);
    side->addWidget(state_);
    apply_->setObjectName(QStringLiteral("ApplyB"));
    apply_->setEnabled(false);
    connect(apply_, &QPushButton::clicked, this, &TAlignForm::apply);
    side->addWidget(apply_);
    side->addStretch(1);
    side->addWidget(realTimeButton(), 0, Qt::AlignRight);
    layout->addLayout(side);

    progressTimer_->setInterval(kProgressTimerMs);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (job_) {
            const double total = std::max<std::int64_t>(job_->total.load(), 1);
            progress_->setValue(static_cast<int>(job_->done.load() / total * kProgressSteps));
        }
    });
    showOutputNames();
    showMutedOutputs();
    showProposal();
}

TAlignForm::~TAlignForm() {
    if (worker_) {
        job_->cancel = true;
        worker_->wait();
    }
}

void TAlignForm::openFor(int output) {
    (void)output;
    showOutputNames();
    showMutedOutputs();
    if (!proposal_ && !worker_) {
        showDefaultRange();
    }
    if (!worker_) {
        showProposal();
    }
    show();
    raise();
    activateWindow();
}

void TAlignForm::reloadFromConfig() {
    withdraw(QString());
    showOutputNames();
    showMutedOutputs();
    showDefaultRange();
}

std::array<bool, kOutputCount> TAlignForm::movable() const {
    std::array<bool, kOutputCount> movable{};
    for (int n = 1; n <= kOutputCount; ++n) {
        // A muted output's box is off whatever it shows.
        const auto o = static_cast<std::size_t>(n - 1);
        movable[o] = move_[o]->isChecked() && !config().output(n).Muted;
    }
    return movable;
}

analysis::AlignmentRequest TAlignForm::request() const {
    analysis::AlignmentRequest r;
    r.movable = movable();
    r.polarity = polarity_->isChecked();
    r.range = {low_->value(), high_->value()};
    return r;
}

analysis::MeasuredCurves TAlignForm::curves() const {
    return service_.curves();
}

ProcessorConfig TAlignForm::searchedConfig() const {
    ProcessorConfig c = config();
    c.ResponseView.fill(true);
    return c;
}

bool TAlignForm::outdated() const {
    return searchedConfig() != searched_ || !sameCurves(curves(), searchedCurves_);
}

void TAlignForm::showDefaultRange() {
    if (const auto range = analysis::defaultAlignmentRange(config(), movable())) {
        low_->setValue(range->lowHz);
        high_->setValue(range->highHz);
    } else if (!worker_) {
        showState(
            QStringLiteral("The crossover edges of the outputs do not meet: enter the range."));
    }
}

void TAlignForm::showMutedOutputs() {
    for (int n = 1; n <= kOutputCount; ++n) {
        move_[static_cast<std::size_t>(n - 1)]->setEnabled(!config().output(n).Muted);
    }
}

bool TAlignForm::find() {
    if (worker_) {
        return false;
    }
    const analysis::AlignmentRequest r = request();
    std::array<bool, kOutputCount> imported{};
    for (std::size_t o = 0; o < imported.size(); ++o) {
        imported[o] = service_.formats()[o] != analysis::kFormatAuto;
    }
    auto problem = analysis::alignmentRequestProblem(config(), r);
    if (!problem) {
        problem = analysis::alignmentMeasurementProblem(config(), curves(), imported, r.range);
    }
    if (problem) {
        context().dialogs.warn(QString::fromStdString(*problem));
        return false;
    }
    withdraw(QString());
    job_ = std::make_shared<Job>();
    job_->config = config();
    job_->measured = curves();
    job_->request = r;
    searched_ = searchedConfig();
    searchedCurves_ = job_->measured;
    worker_.reset(QThread::create([job = job_] {
        job->result = analysis::alignOutputs(job->config, job->measured, job->request,
                                             [&job](std::int64_t done, std::int64_t total) {
                                                 job->done = done;
                                                 job->total = total;
                                                 return !job->cancel.load();
                                             });
    }));
    // A search that waitForSearch() has shown already must not end the next one.
    connect(worker_.get(), &QThread::finished, this, [this, thread = worker_.get()] {
        if (worker_.get() == thread) {
            searchEnded();
        }
    });
    find_->setEnabled(false);
    cancel_->setEnabled(true);
    progress_->setValue(0);
    showState(QStringLiteral("Searching..."));
    progressTimer_->start();
    worker_->start();
    return true;
}

void TAlignForm::waitForSearch() {
    if (worker_) {
        searchEnded();
    }
}

void TAlignForm::searchEnded() {
    worker_->wait();
    worker_.reset();
    progressTimer_->stop();
    find_->setEnabled(true);
    cancel_->setEnabled(false);
    const std::shared_ptr<Job> job = std::move(job_);
    if (job->result.cancelled) {
        progress_->setValue(0);
        withdraw(QStringLiteral("Cancelled."));
        return;
    }
    progress_->setValue(kProgressSteps);
    if (outdated()) {
        withdraw(QStringLiteral("The configuration changed during the search: press Find again."));
        return;
    }
    proposal_ = job->result;
    showState(QString());
    showProposal();
}

void TAlignForm::cancel() {
    if (job_) {
        job_->cancel = true;
    }
}

void TAlignForm::apply() {
    if (!proposal_) {
        return;
    }
    const analysis::AlignmentResult result = *proposal_;
    std::vector<link::EditScope> scopes;
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto o = static_cast<std::size_t>(n - 1);
        if (result.delays[o] != config().output(n).DelaySamples) {
            scopes.push_back(link::EditScope::delay(n));
        }
        if (result.inverted[o] != config().output(n).Inverted) {
            scopes.push_back(link::EditScope::level(n));
        }
    }
    edit({QStringLiteral("Alignment"), scopes},
         [result](ProcessorConfig& c) { analysis::applyAlignment(c, result); });
    searched_ = searchedConfig();
    showState(QStringLiteral("Applied."));
    showProposal();
}

void TAlignForm::withdraw(const QString& why) {
    proposal_.reset();
    showState(why);
    showProposal();
}

void TAlignForm::showState(const QString& text) {
    state_->setText(text);
}

void TAlignForm::showProposal() {
    const bool shown = proposal_.has_value();
    bool differs = false;
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto o = static_cast<std::size_t>(n - 1);
        const OutputChannel& output = config().output(n);
        const auto set = [&](int column, const QString& text) {
            table_->item(n - 1, column)->setText(text);
        };
        set(kNowColumn, output.Muted ? QStringLiteral("muted")
                                     : QStringLiteral("%1, %2")
                                           .arg(output.DelaySamples)
                                           .arg(polarityText(output.Inverted)));
        if (!shown || output.Muted) {
            for (int column = kSamplesColumn; column < kColumns; ++column) {
                set(column, QString());
            }
            continue;
        }
        const int samples = proposal_->delays[o];
        const bool inverted = proposal_->inverted[o];
        differs = differs || samples != output.DelaySamples || inverted != output.Inverted;
        set(kSamplesColumn, QString::number(samples));
        set(kMsColumn, QString::number(delayMsFromSamples(samples), 'f', 2));
        set(kCmColumn, QString::number(delayCmFromSamples(samples, config().Temperature), 'f', 1));
        set(kPolarityColumn, polarityText(inverted));
    }
    apply_->setEnabled(shown && differs);
    graph_->clearMarks();
    if (!shown) {
        loss_->setText(QString());
        graph_->clearSeries(kNowSeries);
        graph_->clearSeries(kAlignedSeries);
        return;
    }
    loss_->setText(QStringLiteral("Summation loss over %1 to %2 Hz: %3 dB before, %4 dB aligned")
                       .arg(proposal_->range.lowHz)
                       .arg(proposal_->range.highHz)
                       .arg(proposal_->lossBeforeDb, 0, 'f', 2)
                       .arg(proposal_->lossAfterDb, 0, 'f', 2));
    const auto& hz = responseGrid().GridHz;
    graph_->setSeriesData(kNowSeries, hz, proposal_->addBeforeDb);
    graph_->setSeriesData(kAlignedSeries, hz, proposal_->addAfterDb);
    // The range widened by an octave either side, its ends marked.
    graph_->setXRange(std::max(kGraphMinHz, proposal_->range.lowHz / 2.0),
                      std::min(kGraphMaxHz, proposal_->range.highHz * 2.0));
    for (const double end : {proposal_->range.lowHz, proposal_->range.highHz}) {
        graph_->addMark(end, kGraphLimitDb - kMarkBelowTopDb, QStringLiteral("%1 Hz").arg(end));
    }
}

void TAlignForm::showOutputNames() {
    for (int n = 1; n <= kOutputCount; ++n) {
        const QString name = fromConfigText(config().output(n).Name);
        move_[static_cast<std::size_t>(n - 1)]->setText(name);
        table_->setVerticalHeaderItem(n - 1, new QTableWidgetItem(name));
    }
}

void TAlignForm::refresh(const ConfigChange& change) {
    if (change.whole) {
        showOutputNames();
    }
    showMutedOutputs();
    if (proposal_ && outdated()) {
        withdraw(QStringLiteral("The configuration changed: press Find again."));
    } else if (!worker_ && isVisible()) {
        // Hidden, the window only keeps its proposal honest; what it shows is drawn on opening.
        showProposal();
    }
}

}  // namespace kvn::ui
