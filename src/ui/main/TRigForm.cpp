#include "ui/main/TRigForm.h"

#include <QBrush>
#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include "link/Sleeper.h"
#include "link/SystemLinks.h"
#include "ui/main/UserDialogs.h"

namespace kvn::ui {
namespace {

const char* const kBusyText = "busy";

QColor stateColour(const QString& state) {
    if (state == QLatin1String("ready") || state == QLatin1String("written") ||
        state == QLatin1String("backed up") || state == QLatin1String("restored")) {
        return {0xc8, 0xe6, 0xc9};
    }
    if (state == QLatin1String("differs") || state == QLatin1String("wrong memory") ||
        state == QLatin1String("cancelled")) {
        return {0xff, 0xe0, 0xb2};
    }
    if (state == QLatin1String("failed") || state == QLatin1String("no answer")) {
        return {0xff, 0xcd, 0xd2};
    }
    if (state == QLatin1String(kBusyText) || state == QLatin1String("waiting")) {
        return {0xe0, 0xe0, 0xe0};
    }
    return {0xbb, 0xde, 0xfb};  // working
}

// Passes the workers' reports to the window's thread.
class RowListener final : public link::RigListener {
public:
    RowListener(TRigForm* form, std::vector<std::size_t> rows,
                std::function<void(std::size_t, QString)> step)
        : form_(form), rows_(std::move(rows)), step_(std::move(step)) {}

    void started(std::size_t index) override { post(index, QStringLiteral("working")); }
    void progress(std::size_t index, const std::string& step, int position, int maximum) override {
        QString text = QString::fromStdString(step);
        if (maximum > 0) {
            text += QStringLiteral("  %1/%2 bytes").arg(position).arg(maximum);
        }
        post(index, text);
    }

private:
    void post(std::size_t index, QString text) {
        QMetaObject::invokeMethod(
            form_, [step = step_, row = rows_[index], text] { step(row, text); },
            Qt::QueuedConnection);
    }

    QPointer<TRigForm> form_;
    std::vector<std::size_t> rows_;
    std::function<void(std::size_t, QString)> step_;
};

}  // namespace

TRigForm::TRigForm(UserDialogs& dialogs, Options options, QWidget* parent)
    : QWidget(parent, Qt::Window),
      dialogs_(dialogs),
      options_(std::move(options)),
      rigLabel_(new QLabel(QStringLiteral("No rig file loaded"), this)),
      table_(new QTableWidget(0, kColumns, this)),
      summary_(new QLabel(this)),
      open_(new QPushButton(QStringLiteral("Open Rig..."), this)),
      refresh_(new QPushButton(QStringLiteral("Refresh"), this)),
      writeAll_(new QPushButton(QStringLiteral("Write all"), this)),
      backupAll_(new QPushButton(QStringLiteral("Back up all..."), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Rig"));
    setObjectName(QStringLiteral("TRigForm"));
    if (!options_.ports) {
        options_.ports = [] { return link::PortMap::defaults(); };
    }
    rigLabel_->setObjectName(QStringLiteral("RigFileLabel"));
    table_->setObjectName(QStringLiteral("RigTable"));
    summary_->setObjectName(QStringLiteral("SummaryLabel"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    open_->setObjectName(QStringLiteral("OpenRigButton"));
    refresh_->setObjectName(QStringLiteral("RefreshButton"));
    writeAll_->setObjectName(QStringLiteral("WriteAllButton"));
    backupAll_->setObjectName(QStringLiteral("BackupAllButton"));
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Port"),
                                       QStringLiteral("Answers"), QStringLiteral("Runs"),
                                       QStringLiteral("Memory"), QStringLiteral("Holds preset"),
                                       QStringLiteral("State")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {open_, refresh_, writeAll_, backupAll_}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rigLabel_);
    layout->addWidget(table_, 1);
    layout->addWidget(summary_);
    layout->addLayout(buttons);
    resize(760, 320);

    connect(open_, &QPushButton::clicked, this, &TRigForm::openRig);
    connect(refresh_, &QPushButton::clicked, this, &TRigForm::refresh);
    connect(writeAll_, &QPushButton::clicked, this, &TRigForm::writeAll);
    connect(backupAll_, &QPushButton::clicked, this, &TRigForm::backupAll);
    connect(cancel_, &QPushButton::clicked, this, &TRigForm::cancel);
    setRunning(false);
}

TRigForm::~TRigForm() {
    if (worker_) {
        run_->cancel();
        worker_->wait();
    }
}

QString TRigForm::summary() const {
    return summary_->text();
}

bool TRigForm::loadRig(const QString& path) {
    if (running()) {
        return false;
    }
    std::string error;
    std::optional<link::RigFile> rig =
        link::RigFile::load(path.toStdString(), options_.ports(), error);
    if (!rig) {
        dialogs_.error(
            QStringLiteral("The rig file cannot be used: %1").arg(QString::fromStdString(error)));
        return false;
    }
    processors_ = std::move(rig->processors);
    rigLabel_->setText(QStringLiteral("Rig: %1").arg(path));
    table_->setRowCount(static_cast<int>(processors_.size()));
    for (std::size_t row = 0; row < processors_.size(); ++row) {
        const link::RigProcessor& p = processors_[row];
        const QStringList cells = {QString::fromStdString(p.name),
                                   QString::fromStdString(p.portText),
                                   QString(),
                                   QString(),
                                   QString::number(p.memory),
                                   QStringLiteral("unknown"),
                                   QStringLiteral("waiting")};
        for (int c = 0; c < kColumns; ++c) {
            table_->setItem(static_cast<int>(row), c, new QTableWidgetItem(cells[c]));
        }
        table_->item(static_cast<int>(row), kState)->setBackground(stateColour(cells[kState]));
    }
    summary_->setText(
        QStringLiteral("%1 processors. Refresh checks them.").arg(processors_.size()));
    setRunning(false);
    return true;
}

void TRigForm::openRig() {
    if (const auto path = dialogs_.openFile(
            {QStringLiteral("Open Rig"),
             QStringLiteral("Rig Files *.json|*.json|All Files *.*|*.*"), QString()})) {
        loadRig(*path);
    }
}

void TRigForm::refresh() {
    start(link::RigAction::Status, {});
}

void TRigForm::writeAll() {
    if (processors_.empty() || running()) {
        return;
    }
    const QString question =
        QStringLiteral(
            "Do you want to write the rig's presets to its %1 processors? They "
            "overwrite what those memories hold.")
            .arg(processors_.size());
    if (dialogs_.message(MessageKind::Warning, question, MessageButtons::YesNo) == Answer::Yes) {
        start(link::RigAction::Write, {});
    }
}

void TRigForm::backupAll() {
    if (processors_.empty() || running()) {
        return;
    }
    if (const auto folder =
            dialogs_.chooseFolder({QStringLiteral("Back up the rig into"), QString(), QString()})) {
        start(link::RigAction::Backup, *folder);
    }
}

void TRigForm::cancel() {
    if (run_ && running()) {
        run_->cancel();
        summary_->setText(QStringLiteral("Cancelling after each processor's current step..."));
    }
}

void TRigForm::start(link::RigAction action, const QString& folder) {
    if (processors_.empty() || running()) {
        return;
    }
    action_ = action;
    const link::PortMap ports = options_.ports();
    const std::string held = options_.heldPort ? options_.heldPort() : std::string();
    busy_.clear();
    runRows_.clear();
    std::vector<link::RigProcessor> work;
    for (std::size_t row = 0; row < processors_.size(); ++row) {
        if (!held.empty() && link::portIdentity(processors_[row].port, ports) == held) {
            busy_.insert(row);
        } else {
            runRows_.push_back(row);
            work.push_back(processors_[row]);
        }
        showStep(row, busy_.count(row) != 0 ? QString::fromLatin1(kBusyText)
                                            : QStringLiteral("waiting"));
    }
    run_ = std::make_unique<link::RigRun>(
        options_.systemLinks ? options_.systemLinks : link::systemLinks(ports), ports,
        link::Sleeper::system(), link::qtWorkerThreads());
    summary_->setText(QStringLiteral("Working..."));
    auto listener = std::make_shared<RowListener>(
        this, runRows_, [this](std::size_t row, const QString& step) { showStep(row, step); });
    link::RigRun* run = run_.get();
    const std::string where = folder.toStdString();
    worker_.reset(QThread::create([this, run, listener, work = std::move(work), action, where] {
        link::RigReport report = run->run(work, action, where, *listener);
        QMetaObject::invokeMethod(
            this,
            [this, report = std::move(report)] {
                report_ = report;
                finishRun();
            },
            Qt::QueuedConnection);
    }));
    setRunning(true);
    worker_->start();
}

void TRigForm::finishRun() {
    worker_->wait();
    worker_.reset();
    // Merge the rows that ran with those left alone.
    link::RigReport whole;
    whole.error = report_.error;
    whole.results.resize(processors_.size());
    for (std::size_t i = 0; i < runRows_.size() && i < report_.results.size(); ++i) {
        whole.results[runRows_[i]] = report_.results[i];
    }
    for (const std::size_t row : busy_) {
        whole.results[row].state = link::RigResult::State::Failed;
        whole.results[row].failure = "busy: the editor's own connection holds this port";
    }
    showReport(whole, action_);
    setRunning(false);
    emit runFinished();
}

void TRigForm::showReport(const link::RigReport& report, link::RigAction action) {
    std::size_t done = 0;
    for (std::size_t row = 0; row < report.results.size() && row < processors_.size(); ++row) {
        showRow(row, report.results[row], action);
        done += report.results[row].succeeded() ? 1 : 0;
    }
    QString text = QStringLiteral("%1 of %2 processors %3.")
                       .arg(done)
                       .arg(processors_.size())
                       .arg(QString::fromStdString(link::rigDoneText(action)));
    for (const std::string& line : report.failures(processors_)) {
        text += QStringLiteral("\n") + QString::fromStdString(line);
    }
    summary_->setText(text);
}

void TRigForm::showRow(std::size_t row, const link::RigResult& r, link::RigAction action) {
    const int at = static_cast<int>(row);
    const bool busy = busy_.count(row) != 0;
    table_->item(at, kAnswers)->setText(busy ? QString() : r.answered ? "yes" : "no");
    table_->item(at, kRuns)->setText(r.activeMemory ? QString::number(*r.activeMemory) : QString());
    table_->item(at, kHolds)->setText(QString::fromStdString(link::holdsText(r.holds)));
    showStep(row, busy ? QString::fromLatin1(kBusyText)
                       : QString::fromStdString(link::rigStateText(r, action)));
    table_->item(at, kState)->setToolTip(QString::fromStdString(r.failureText()));
}

void TRigForm::showStep(std::size_t row, const QString& step) {
    QTableWidgetItem* item = table_->item(static_cast<int>(row), kState);
    if (item == nullptr) {
        return;
    }
    item->setText(step);
    item->setBackground(stateColour(step));
}

void TRigForm::setRunning(bool running) {
    const bool loaded = !processors_.empty();
    open_->setEnabled(!running);
    refresh_->setEnabled(!running && loaded);
    writeAll_->setEnabled(!running && loaded);
    backupAll_->setEnabled(!running && loaded);
    cancel_->setEnabled(running);
}

}  // namespace kvn::ui
