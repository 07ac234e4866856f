// The rack window: the amplifiers with their channels' names and threshold meters.
#include "ui/editors/TAmpRackForm.h"

#include "config/PowerCheck.h"
#include "ui/editors/TDynamicform.h"
#include "widgets/LedMeter.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

struct Channel {
    const char* nameLabel;
    const char* meter;
    int output;
};
// Amplifier 1 carries Output 1 and Output 2 (unit 1); amplifier 2 carries SUB on both channels.
constexpr std::array<Channel, 4> kChannels{{
    {"Output1NameL", "LEDMeter1", 1},
    {"Output2NameL", "LEDMeter2", 2},
    {"Output5NameL", "LEDMeter5", kSubOutput},
    {"Output6NameL", "LEDMeter6", kSubOutput},
}};

// The rack unit's front: a dark panel with light text.
QFrame* amplifierPanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2f, 0x36));
    palette.setColor(QPalette::WindowText, QColor(0xe8, 0xea, 0xed));
    panel->setPalette(palette);
    return panel;
}

}  // namespace

TAmpRackForm::TAmpRackForm(EditorContext& context, std::function<void(int)> openSpeaker)
    : EditorForm(context, QStringLiteral("TAmpRackForm"), QStringLiteral("Rack Amplifier")),
      openSpeaker_(std::move(openSpeaker)) {
    auto* top = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    header->addStretch();
    header->addWidget(realTimeButton());
    top->addLayout(header);

    for (int amp = 1; amp <= kDynamicsUnits; ++amp) {
        QFrame* panel = amplifierPanel(this);
        auto* row = new QHBoxLayout(panel);
        auto* title = new QLabel(dynamicsUnitTitle(amp), panel);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setMinimumWidth(130);
        row->addWidget(title);
        for (int ch = 0; ch < 2; ++ch) {
            const auto i = static_cast<std::size_t>((amp - 1) * 2 + ch);
            auto* channel = new QGridLayout;
            names_[i] = new QLabel(panel);
            names_[i]->setObjectName(QString::fromLatin1(kChannels[i].nameLabel));
            meters_[i] = new widgets::LedMeter(Qt::Horizontal, panel);
            meters_[i]->setObjectName(QString::fromLatin1(kChannels[i].meter));
            meters_[i]->setMaximum(kRackMeterMax);
            meters_[i]->setThresholds(kRackMeterMax * 70 / 100, kRackMeterMax * 95 / 100);
            meters_[i]->setSegmentCount(24);
            meters_[i]->setMinimumWidth(220);
            channel->addWidget(names_[i], 0, 0);
            channel->addWidget(meters_[i], 0, 1);
            channel->addWidget(new QLabel(QStringLiteral("CLIP"), panel), 0, 2);
            row->addLayout(channel);
            row->addSpacing(12);
        }
        auto* parameters = new QPushButton(QStringLiteral("Parameters"), panel);
        parameters->setObjectName(QStringLiteral("Parameters%1B").arg(amp));
        connect(parameters, &QPushButton::clicked, this, [this, amp] {
            if (openSpeaker_) {
                openSpeaker_(amp);
            }
        });
        row->addWidget(parameters);
        top->addWidget(panel);
    }
    showOutputNames();
    showMeters();
}

void TAmpRackForm::openFor(int output) {
    (void)output;
    showOutputNames();
    showMeters();
    show();
    raise();
    activateWindow();
}

void TAmpRackForm::refresh(const ConfigChange& change) {
    if (isVisible() &&
        (change.touches(link::EditPart::DynamicsTable) || change.touches(link::EditPart::Quiet))) {
        showMeters();
        showOutputNames();
    }
}

void TAmpRackForm::showOutputNames() {
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        names_[i]->setText(QString::fromStdString(config().output(kChannels[i].output).Name));
    }
}

void TAmpRackForm::showMeters() {
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        const int unit = dynamicsUnitOf(kChannels[i].output);
        meters_[i]->setPosition(rackMeterPosition(config().unit(unit).thresholdDbfs));
    }
}

}  // namespace kvn::ui
