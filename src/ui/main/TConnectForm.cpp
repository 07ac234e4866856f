#include "ui/main/TConnectForm.h"

#include "ui/main/Artwork.h"
#include "widgets/LedButton.h"
#include "widgets/LedGroup.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

struct Choice {
    int tag;
    const char* name;
    const char* caption;
    const char* description;
};

// Laid out in two columns: the ways without a cable on the left, the ports on the right.
constexpr std::array<Choice, TConnectForm::kChoices> kChoiceList{{
    {TConnectForm::kOffline, "OffLineB", "Offline", "Work on presets without a processor"},
    {TConnectForm::kVirtual, "VirtualB", "Virtual", "The built-in virtual KVN 350"},
    {TConnectForm::kUsb, "USBButton", "USB", "FTDI USB serial converter"},
    {TConnectForm::kCom1, "Com1B", "COM 1", ""},
    {TConnectForm::kCom2, "Com2B", "COM 2", ""},
    {TConnectForm::kCom3, "Com3B", "COM 3", ""},
    {TConnectForm::kCom4, "Com4B", "COM 4", ""},
}};

QLabel* smallLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setIndent(28);
    return label;
}

}  // namespace

TConnectForm::TConnectForm(QWidget* parent)
    : QWidget(parent),
      group_(new widgets::LedGroup(this)),
      settingsButton_(new QPushButton(art::glyph(art::Glyph::Settings),
                                      QStringLiteral("Port Settings..."), this)),
      note_(new QLabel(this)),
      diagnosis_(new QLabel(this)) {
    setObjectName(QStringLiteral("TConnectForm"));
    setWindowTitle(QStringLiteral("KVN 350 Connection"));
    setWindowIcon(art::applicationIcon());

    auto* logo = new QLabel(this);
    const QSize logoSize(206, 58);
    logo->setPixmap(art::logo(logoSize, devicePixelRatioF()));
    logo->setFixedSize(logoSize);
    auto* heading = new QLabel(QStringLiteral("Choose how to reach the processor"), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.1);
    heading->setFont(headingFont);

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(28);
    choices->setVerticalSpacing(2);
    int localRow = 0;
    int portRow = 0;
    for (const Choice& choice : kChoiceList) {
        auto* led = new widgets::LedButton(QString::fromLatin1(choice.caption), this);
        led->setObjectName(QString::fromLatin1(choice.name));
        led->setProperty("Tag", choice.tag);
        group_->addButton(led);
        indicators_[static_cast<std::size_t>(choice.tag)] = led;
        QLabel* description = smallLabel(QString::fromLatin1(choice.description), this);
        const int com = comNumber(choice.tag);
        const bool port = com > 0;
        const int column = port ? 1 : 0;
        int& row = port ? portRow : localRow;
        choices->addWidget(led, row++, column);
        choices->addWidget(description, row++, column);
        choices->setRowMinimumHeight(row, 8);
        ++row;
        if (port) {
            portLabels_[static_cast<std::size_t>(com - 1)] = description;
        }
        connect(led, &widgets::LedButton::clicked, this, [this, tag = choice.tag](bool) {
            setDiagnosis({});
            emit choiceMade(tag);
        });
    }

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    note_->setObjectName(QStringLiteral("ConnectNote"));
    note_->setWordWrap(true);
    diagnosis_->setObjectName(QStringLiteral("DiagnosisLabel"));
    diagnosis_->setWordWrap(true);
    diagnosis_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    diagnosis_->setFrameShape(QFrame::StyledPanel);
    diagnosis_->setMargin(8);
    diagnosis_->setAutoFillBackground(true);
    QPalette warning = diagnosis_->palette();
    warning.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xe5));
    warning.setColor(QPalette::WindowText, QColor(0x5d, 0x40, 0x37));
    diagnosis_->setPalette(warning);
    diagnosis_->hide();
    settingsButton_->setObjectName(QStringLiteral("PortSettingsB"));
    settingsButton_->setToolTip(QStringLiteral("Choose the serial ports behind COM 1 to COM 4"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(note_, 1);
    bottom->addWidget(settingsButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(logo, 0, Qt::AlignHCenter);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    layout->addLayout(choices);
    layout->addWidget(diagnosis_);
    layout->addWidget(line);
    layout->addLayout(bottom);
    setMinimumWidth(480);

    connect(settingsButton_, &QPushButton::clicked, this, &TConnectForm::portSettingsRequested);
    setChoicesEnabled(false);
}

int TConnectForm::comNumber(int tag) {
    switch (tag) {
        case kCom1:
            return 1;
        case kCom2:
            return 2;
        case kCom3:
            return 3;
        case kCom4:
            return 4;
        default:
            return 0;
    }
}

void TConnectForm::setChoicesEnabled(bool enabled) {
    for (widgets::LedButton* led : indicators_) {
        led->setEnabled(enabled);
    }
    settingsButton_->setEnabled(enabled);
}

void TConnectForm::lightIndicator(int tag) {
    group_->select(group_->indexOf(indicator(tag)));
}

int TConnectForm::litIndicator() const {
    for (std::size_t tag = 0; tag < indicators_.size(); ++tag) {
        if (indicators_[tag]->isLit()) {
            return static_cast<int>(tag);
        }
    }
    return -1;
}

void TConnectForm::setPortLocations(const std::array<QString, 4>& locations) {
    for (std::size_t i = 0; i < portLabels_.size(); ++i) {
        portLabels_[i]->setText(locations[i].isEmpty() ? QStringLiteral("(no port chosen)")
                                                       : locations[i]);
    }
}

void TConnectForm::setNote(const QString& text) {
    note_->setText(text);
}

void TConnectForm::setDiagnosis(const QString& text, const QStringList& checks) {
    // "Port: passed - /dev/ttyUSB0 exists" -> "Port: passed"; the whole lines go to the tip.
    QStringList outcomes;
    for (const QString& check : checks) {
        outcomes << check.section(QStringLiteral(" - "), 0, 0);
    }
    diagnosis_->setText(outcomes.isEmpty() ? text
                                           : text + QStringLiteral("\n\nChecks made: ") +
                                                 outcomes.join(QStringLiteral(", ")));
    diagnosis_->setToolTip(checks.join(QLatin1Char('\n')));
    diagnosis_->setVisible(!text.isEmpty());
}

QString TConnectForm::diagnosis() const {
    return diagnosis_->text();
}

widgets::LedButton* TConnectForm::indicator(int tag) const {
    if (tag < 0 || tag >= kChoices) {
        return nullptr;
    }
    return indicators_[static_cast<std::size_t>(tag)];
}

void TConnectForm::closeEvent(QCloseEvent* event) {
    if (closeGuard_ && !closeGuard_()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closing();
}

}  // namespace kvn::ui
