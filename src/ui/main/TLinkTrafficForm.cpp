#include "ui/main/TLinkTrafficForm.h"

#include "link/TrafficLog.h"
#include "ui/main/Artwork.h"
#include "ui/main/UserDialogs.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

// Often enough to look live, rarely enough that a real-time drag costs nothing.
constexpr int kRefreshMs = 200;
// The view keeps the latest lines; the record itself keeps many more, and Save writes them all.
constexpr int kShownLines = 20000;

}  // namespace

TLinkTrafficForm::TLinkTrafficForm(link::TrafficLog& log, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      log_(log),
      dialogs_(dialogs),
      view_(new QPlainTextEdit(this)),
      record_(new QCheckBox(QStringLiteral("Record"), this)),
      count_(new QLabel(this)),
      timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("TLinkTrafficForm"));
    setWindowTitle(QStringLiteral("Link traffic"));
    setWindowIcon(art::applicationIcon());
    view_->setObjectName(QStringLiteral("TrafficText"));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setMaximumBlockCount(kShownLines);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    record_->setObjectName(QStringLiteral("RecordB"));
    record_->setChecked(log_.recording());
    record_->setToolTip(
        QStringLiteral("Record every byte sent to and received from the processor"));
    count_->setObjectName(QStringLiteral("TrafficCount"));

    auto* clear = new QPushButton(QStringLiteral("Clear"), this);
    clear->setObjectName(QStringLiteral("ClearB"));
    auto* saveButton =
        new QPushButton(art::glyph(art::Glyph::Save), QStringLiteral("Save..."), this);
    saveButton->setObjectName(QStringLiteral("SaveB"));
    saveButton->setToolTip(
        QStringLiteral("Save the record as a conversation the link tests can replay"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(record_);
    bar->addWidget(count_, 1);
    bar->addWidget(clear);
    bar->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(view_, 1);
    layout->addLayout(bar);
    resize(640, 460);

    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &TLinkTrafficForm::refresh);
    connect(record_, &QCheckBox::toggled, this, [this](bool on) { log_.setRecording(on); });
    connect(clear, &QPushButton::clicked, this, [this] {
        log_.clear();
        view_->clear();
        shown_ = 0;
        refresh();
    });
    connect(saveButton, &QPushButton::clicked, this, &TLinkTrafficForm::save);

    // The view follows new lines unless the user scrolled up to read older ones. The range also
    // grows after the lines went in (a line wider than the view brings the horizontal bar, which
    // takes a line's height): a view that follows goes to the end again then.
    QScrollBar* scroll = view_->verticalScrollBar();
    connect(scroll, &QScrollBar::valueChanged, this,
            [this, scroll](int value) { following_ = value >= scroll->maximum(); });
    connect(scroll, &QScrollBar::rangeChanged, this, [this, scroll](int, int maximum) {
        if (following_) {
            scroll->setValue(maximum);
        }
    });
}

void TLinkTrafficForm::refresh() {
    const std::vector<std::string> lines = log_.linesFrom(shown_, &shown_);
    if (!lines.empty()) {
        QStringList text;
        for (const std::string& line : lines) {
            text << QString::fromStdString(line);
        }
        const bool following = following_;
        view_->appendPlainText(text.join(QLatin1Char('\n')));
        if (following) {
            view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
        }
    }
    count_->setText(QStringLiteral("%1 lines recorded").arg(shown_));
}

bool TLinkTrafficForm::save() {
    const std::optional<QString> path =
        dialogs_.saveFile({QStringLiteral("Save Link Traffic"),
                           QStringLiteral("Link traffic *.txt|*.txt|All Files *.*|*.*"),
                           QStringLiteral("kvn350-link-traffic")});
    if (!path) {
        return false;
    }
    std::string error;
    if (!log_.save(path->toStdString(), error)) {
        dialogs_.error(QStringLiteral("The link traffic was not saved to %1: %2")
                           .arg(*path, QString::fromStdString(error)));
        return false;
    }
    return true;
}

void TLinkTrafficForm::showEvent(QShowEvent* event) {
    refresh();
    timer_->start();
    QWidget::showEvent(event);
}

void TLinkTrafficForm::hideEvent(QHideEvent* event) {
    timer_->stop();
    QWidget::hideEvent(event);
}

}  // namespace kvn::ui
