#include "ui/editors/TGainsForm.h"

#include "config/LevelControls.h"
#include "ui/editors/TrackScale.h"
#include "ui/main/ConfigText.h"
#include "widgets/CommitSlider.h"
#include "widgets/LedButton.h"
#include "widgets/RealEdit.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

QString numbered(const char* prefix, int output, const char* suffix = "") {
    return QString::fromLatin1(prefix) + QString::number(output) + QString::fromLatin1(suffix);
}

}  // namespace

TGainsForm::TGainsForm(EditorContext& context)
    : EditorForm(context, QStringLiteral("TGainsForm"), QStringLiteral("Output Gain Levels")) {
    auto* strips = new QHBoxLayout;
    strips->setSpacing(10);
    for (int output = 1; output <= kOutputCount; ++output) {
        strips->addWidget(buildStrip(output));
    }
    auto* header = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("OUTPUT LEVELS"), this);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    header->addWidget(title);
    header->addStretch();
    header->addWidget(realTimeButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addLayout(strips);
    setFixedSize(sizeHint());
    EditorForm::reloadFromConfig();
}

QWidget* TGainsForm::buildStrip(int output) {
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    Strip& s = strip(output);

    s.name = new QLabel(frame);
    s.name->setObjectName(numbered("Output", output, "NameL"));
    s.name->setAlignment(Qt::AlignCenter);
    QFont bold = s.name->font();
    bold.setBold(true);
    s.name->setFont(bold);

    s.track = new widgets::CommitSlider(Qt::Vertical, frame);
    s.track->setObjectName(numbered("Output", output, "Track"));
    s.track->setRange(0, kLevelTrackMax);
    s.track->setSingleStep(1);
    s.track->setPageStep(10);
    s.track->setMinimumHeight(260);
    s.track->setToolTip(QStringLiteral("Output level, 0.1 dB steps"));
    auto* scale = new TrackScale(0, kLevelTrackMax,
                                 {{0, QStringLiteral("+6 dB")},
                                  {kZeroDbLevelPosition, QStringLiteral("0 dB")},
                                  {kLevelTrackMax, QStringLiteral("-30 dB")}},
                                 frame);
    auto* trackRow = new QHBoxLayout;
    trackRow->addStretch();
    trackRow->addWidget(scale);
    trackRow->addWidget(s.track);
    trackRow->addStretch();

    s.level = new widgets::RealEdit(frame);
    s.level->setObjectName(numbered("Output", output, "dBL"));
    s.level->setFormat(QStringLiteral("0.0"));
    s.level->setRange(kLevelMinDb, kLevelMaxDb);
    s.level->setStep(0.1);
    s.level->setMaxTextLength(6);
    s.level->setAlignment(Qt::AlignRight);
    s.level->setFixedWidth(s.level->fontMetrics().horizontalAdvance(QStringLiteral("-30.00")) + 14);
    auto* levelRow = new QHBoxLayout;
    levelRow->addStretch();
    levelRow->addWidget(s.level);
    levelRow->addWidget(new QLabel(QStringLiteral("dB"), frame));
    levelRow->addStretch();

    s.mute = new widgets::LedButton(QStringLiteral("Mute"), frame);
    s.mute->setObjectName(numbered("MuteOutput", output));
    s.mute->setLitColor(QColor(0xe5, 0x39, 0x35));
    s.polarity = new widgets::LedButton(QStringLiteral("Inv"), frame);
    s.polarity->setObjectName(numbered("PolOutput", output));
    s.polarity->setLitColor(QColor(0xff, 0xa0, 0x00));
    s.polarity->setToolTip(QStringLiteral("Invert the polarity"));

    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(s.name);
    layout->addLayout(trackRow, 1);
    layout->addLayout(levelRow);
    layout->addWidget(s.mute, 0, Qt::AlignHCenter);
    layout->addWidget(s.polarity, 0, Qt::AlignHCenter);

    bindGesture(s.track);
    connect(s.track, &widgets::CommitSlider::positionChanged, this,
            [this, output](int position) { trackChanged(output, position); });
    connect(s.level, &widgets::RealEdit::committed, this,
            [this, output](double levelDb) { levelTyped(output, levelDb); });
    connect(s.polarity, &widgets::LedButton::clicked, this,
            [this, output](bool wasLit) { polarityClicked(output, wasLit); });
    connect(s.mute, &widgets::LedButton::clicked, this,
            [this, output](bool wasLit) { muteClicked(output, wasLit); });
    return frame;
}

void TGainsForm::openFor(int output) {
    show();
    raise();
    activateWindow();
    if (output >= 1 && output <= kOutputCount) {
        strip(output).track->setFocus();
    }
}

void TGainsForm::trackChanged(int output, int position) {
    edit({outputTitle(output) + QStringLiteral(" level"), {link::EditScope::level(output)}},
         [output, position](ProcessorConfig& c) { setLevelTrack(c.output(output), position); });
    strip(output).level->setValue(levelDbFromTrack(config().output(output).LevelPosition));
}

void TGainsForm::levelTyped(int output, double levelDb) {
    // The track takes the typed level; its change step stores the signed gain.
    strip(output).track->setPosition(levelTrackFromDb(levelDb));
}

void TGainsForm::polarityClicked(int output, bool wasLit) {
    edit({outputTitle(output) + QStringLiteral(" polarity"), {link::EditScope::level(output)}},
         [output, wasLit](ProcessorConfig& c) { setInverted(c.output(output), !wasLit); });
}

void TGainsForm::muteClicked(int output, bool wasLit) {
    edit({outputTitle(output) + QStringLiteral(" mute"), {link::EditScope::mute(output)}},
         [output, wasLit](ProcessorConfig& c) { setMuted(c, output, !wasLit); });
}

void TGainsForm::refresh(const ConfigChange& change) {
    showOutputNames();
    for (int output = 1; output <= kOutputCount; ++output) {
        if (change.touchesOutput(output)) {
            showOutput(output);
        }
    }
}

void TGainsForm::showOutput(int output) {
    const OutputChannel& out = config().output(output);
    Strip& s = strip(output);
    {
        const QSignalBlocker blocker(s.track);
        s.track->setPosition(out.LevelPosition);
    }
    s.level->setValue(levelDbFromTrack(out.LevelPosition));
    s.mute->setLit(out.Muted);
    s.polarity->setLit(out.Inverted);
}

void TGainsForm::showOutputNames() {
    for (int output = 1; output <= kOutputCount; ++output) {
        strip(output).name->setText(fromConfigText(config().output(output).Name));
    }
}

std::vector<ScreenshotStep> TGainsForm::screenshots() {
    return {{QStringLiteral("gains.png"), [this]() -> QWidget* {
                 struct Look {
                     const char* levelDb;
                     bool muted;
                     bool inverted;
                 };
                 constexpr std::array<Look, 3> kLooks{
                     {{"-3.5", false, false}, {"-1.0", true, false}, {"2.0", false, true}}};
                 openFor(0);
                 for (int output = 1; output <= kOutputCount; ++output) {
                     const Look& look = kLooks[static_cast<std::size_t>(output - 1)];
                     Strip& s = strip(output);
                     s.level->setText(QString::fromLatin1(look.levelDb));
                     s.level->commitText();
                     if (s.mute->isLit() != look.muted) {
                         s.mute->click();
                     }
                     if (s.polarity->isLit() != look.inverted) {
                         s.polarity->click();
                     }
                 }
                 return this;
             }}};
}

}  // namespace kvn::ui
