#include "ui/editors/TDelayFinoForm.h"

#include "config/DelayControls.h"
#include "ui/editors/AlignmentPicture.h"
#include "ui/editors/TrackScale.h"
#include "ui/main/ConfigText.h"
#include "widgets/CommitSlider.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/NumberFormat.h"
#include "widgets/PanelBox.h"
#include "widgets/RealEdit.h"
#include "widgets/SpinButtons.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kvn::ui {

namespace {

constexpr std::array<const char*, 3> kDistanceEditNames{"DistOut1Edit", "DistOut2Edit",
                                                        "DistOutSub1Edit"};

// What the fields say when they hold an entry to the delays the track reaches.
const widgets::EntryLimits kDelayMsLimits{" ms", "is below the shortest delay",
                                          "is past the longest delay"};
const widgets::EntryLimits kDelayCmLimits{" cm", "is below the shortest delay",
                                          "is past the longest delay"};
const widgets::EntryLimits kDistanceLimits{" cm", "is below the shortest distance",
                                           "is past the longest distance"};

QString number(double value, const char* pattern) {
    return QString::fromStdString(widgets::formatPattern(value, pattern));
}

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

widgets::RealEdit* field(const QString& name, const char* format, double maximum, QWidget* parent) {
    auto* edit = new widgets::RealEdit(parent);
    edit->setObjectName(name);
    edit->setFormat(QString::fromLatin1(format));
    edit->setRange(0.0, maximum);
    edit->setMaxTextLength(7);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000.00")) + 14);
    return edit;
}

// Step buttons as tall as the field they step.
widgets::SpinButtons* steps(const QString& name, const QWidget* field, QWidget* parent) {
    auto* buttons = new widgets::SpinButtons(Qt::Vertical, parent);
    buttons->setObjectName(name);
    buttons->setToolTip(QStringLiteral("One sample"));
    buttons->setFixedSize(18, field->sizeHint().height());
    return buttons;
}

// A field with its unit and its step buttons on one row.
QHBoxLayout* fieldRow(QWidget* edit, const QString& unit, QWidget* buttons, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    row->addStretch();
    row->addWidget(edit);
    auto* label = new QLabel(unit, parent);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("ms")) + 4);
    row->addWidget(label);
    row->addWidget(buttons);
    row->addStretch();
    return row;
}

}  // namespace

TDelayFinoForm::TDelayFinoForm(EditorContext& context)
    : EditorForm(context, QStringLiteral("TDelayFinoForm"), QStringLiteral("Output Delay")) {
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("InfoLabel"));
    auto* delays = new widgets::PanelBox(QStringLiteral("Output Delay"), this);
    auto* strips = new QHBoxLayout(delays);
    for (int output = 1; output <= kOutputCount; ++output) {
        strips->addWidget(buildDelayStrip(output));
    }
    auto* left = new QVBoxLayout;
    left->addWidget(delays, 1);
    left->addWidget(buildTemperature());

    auto* right = new QVBoxLayout;
    auto* header = new QHBoxLayout;
    header->addStretch();
    header->addWidget(realTimeButton());
    right->addLayout(header);
    right->addWidget(buildDistances(), 1);
    right->addWidget(status_);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);
    setFixedSize(sizeHint());
    EditorForm::reloadFromConfig();
}

QWidget* TDelayFinoForm::buildDelayStrip(int output) {
    auto* strip = new QWidget(this);
    Strip& s = this->strip(output);
    const QString n = QString::number(output);

    s.name = boldLabel(QString(), strip);
    s.name->setObjectName(QStringLiteral("Output%1NameL").arg(n));
    s.name->setAlignment(Qt::AlignCenter);

    s.track = new widgets::CommitSlider(Qt::Vertical, strip);
    s.track->setObjectName(QStringLiteral("Del%1track").arg(n));
    s.track->setRange(0, kDelayTrackMax);
    s.track->setSingleStep(1);
    s.track->setPageStep(10);
    s.track->setMinimumHeight(234);
    s.track->setToolTip(QStringLiteral("Delay, one sample (20.8 microseconds) per step"));
    auto* scale = new TrackScale(
        0, kDelayTrackMax,
        {{0, QStringLiteral("4.88 msec")}, {kDelayTrackMax, QStringLiteral("0 msec")}}, strip);
    auto* trackRow = new QHBoxLayout;
    trackRow->addStretch();
    trackRow->addWidget(scale);
    trackRow->addWidget(s.track);
    trackRow->addStretch();

    // The fields reach exactly the longest delay, so that what they hold is what the track
    // holds (the centimetres follow the temperature, see showDelay).
    s.ms = field(QStringLiteral("msegdel%1").arg(n), "0.00", delayMsFromSamples(kDelayTrackMax),
                 strip);
    s.msSteps = steps(QStringLiteral("UpDown0%1msTSpin").arg(n), s.ms, strip);
    s.cm = field(QStringLiteral("Del%1L").arg(n), "0.0", kDelayCmMax, strip);
    s.cmSteps = steps(QStringLiteral("UpDown0%1cmTSpin").arg(n), s.cm, strip);
    s.ms->setEntryLimits(kDelayMsLimits);
    s.cm->setEntryLimits(kDelayCmLimits);
    // The count the processor is sent (its delay word carries one more).
    s.samples = new QLabel(strip);
    s.samples->setObjectName(QStringLiteral("Del%1SamplesL").arg(n));
    s.samples->setAlignment(Qt::AlignCenter);
    s.samples->setToolTip(QStringLiteral("The delay in samples at 48 kHz"));

    auto* layout = new QVBoxLayout(strip);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(s.name);
    layout->addLayout(trackRow, 1);
    layout->addLayout(fieldRow(s.ms, QStringLiteral("ms"), s.msSteps, strip));
    layout->addLayout(fieldRow(s.cm, QStringLiteral("cm"), s.cmSteps, strip));
    layout->addWidget(s.samples);

    bindGesture(s.track);
    connect(s.track, &widgets::CommitSlider::positionChanged, this,
            [this, output](int position) { trackChanged(output, position); });
    connect(s.ms, &widgets::RealEdit::committed, this,
            [this, output](double ms) { delayTyped(output, delaySamplesFromMs(ms)); });
    connect(s.cm, &widgets::RealEdit::committed, this, [this, output](double cm) {
        delayTyped(output, delaySamplesFromCm(cm, config().Temperature));
    });
    for (widgets::SpinButtons* buttons : {s.msSteps, s.cmSteps}) {
        connect(buttons, &widgets::SpinButtons::up, this, [this, output] { stepDelay(output, 1); });
        connect(buttons, &widgets::SpinButtons::down, this,
                [this, output] { stepDelay(output, -1); });
    }
    for (widgets::RealEdit* edit : {s.ms, s.cm}) {
        fieldSteps_[edit] = [this, output](int direction) { stepDelay(output, direction); };
        edit->installEventFilter(this);
        connect(edit, &widgets::RealEdit::entryReported, status_, &QLabel::setText);
    }
    return strip;
}

QWidget* TDelayFinoForm::buildTemperature() {
    auto* box = new widgets::PanelBox(QStringLiteral("Temperature"), this);
    celsius_ = new widgets::IntSpinEdit(box);
    celsius_->setObjectName(QStringLiteral("TemperaturaSpin"));
    celsius_->setRange(kTemperatureMinC, kTemperatureMaxC);
    celsius_->setSuffix(QStringLiteral(" \u00BAC"));
    fahrenheit_ = new widgets::IntSpinEdit(box);
    fahrenheit_->setObjectName(QStringLiteral("TemperaturaFSpin"));
    fahrenheit_->setRange(kTemperatureMinF, kTemperatureMaxF);
    fahrenheit_->setSuffix(QStringLiteral(" \u00BAF"));
    speed_ = new QLabel(box);
    speed_->setObjectName(QStringLiteral("SoundSpeedL"));
    auto* row = new QHBoxLayout(box);
    row->addWidget(celsius_);
    row->addWidget(fahrenheit_);
    row->addSpacing(12);
    row->addWidget(speed_, 1);

    connect(celsius_, &widgets::IntSpinEdit::valueChanged, this, &TDelayFinoForm::celsiusChanged);
    // Degrees F become whole degrees C, whose change shows F again as the Celsius value gives it.
    connect(fahrenheit_, &widgets::IntSpinEdit::valueChanged, this,
            [this](int fahrenheit) { celsius_->setValue(celsiusFromFahrenheit(fahrenheit)); });
    return box;
}

QWidget* TDelayFinoForm::buildDistances() {
    auto* box = new widgets::PanelBox(QStringLiteral("Relative Distance Between Speakers"), this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    for (int output = 1; output <= kOutputCount; ++output) {
        Strip& s = strip(output);
        const int row = output - 1;
        s.name2 = boldLabel(QString(), box);
        s.name2->setObjectName(QStringLiteral("Output%1Name2L").arg(output));
        s.distance = field(QString::fromLatin1(kDistanceEditNames[static_cast<std::size_t>(row)]),
                           "0.0", kDelayCmMax, box);
        s.distanceSteps = steps(QStringLiteral("DistSpinButton%1").arg(output), s.distance, box);
        s.distance->setEntryLimits(kDistanceLimits);
        connect(s.distance, &widgets::RealEdit::entryReported, status_, &QLabel::setText);
        grid->addWidget(s.name2, row, 0);
        grid->addWidget(s.distance, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("cm"), box), row, 2);
        grid->addWidget(s.distanceSteps, row, 3);

        connect(s.distance, &widgets::RealEdit::committed, this,
                [this, output] { distanceEntered(output, 0); });
        connect(s.distanceSteps, &widgets::SpinButtons::up, this,
                [this, output] { distanceEntered(output, 1); });
        connect(s.distanceSteps, &widgets::SpinButtons::down, this,
                [this, output] { distanceEntered(output, -1); });
        fieldSteps_[s.distance] = [this, output](int direction) {
            distanceEntered(output, direction);
        };
        s.distance->installEventFilter(this);
    }
    grid->setColumnStretch(4, 1);

    autoAlign_ = new QPushButton(QStringLiteral("Auto Align"), box);
    autoAlign_->setObjectName(QStringLiteral("AutoAlignB"));
    autoAlign_->setToolTip(QStringLiteral("Set the three delays from the relative distances"));
    connect(autoAlign_, &QPushButton::clicked, this, &TDelayFinoForm::autoAlign);
    lookAhead_ = new QLabel(box);
    lookAhead_->setObjectName(QStringLiteral("LookAheadL"));
    auto* alignRow = new QHBoxLayout;
    alignRow->addWidget(autoAlign_);
    alignRow->addSpacing(8);
    alignRow->addWidget(lookAhead_, 1);

    picture_ = new AlignmentPicture(box);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(alignRow);
    layout->addSpacing(6);
    layout->addWidget(picture_, 0, Qt::AlignHCenter);
    layout->addStretch();
    return box;
}

void TDelayFinoForm::openFor(int output) {
    show();
    raise();
    activateWindow();
    if (output >= 1 && output <= kOutputCount) {
        strip(output).track->setFocus();
    }
}

bool TDelayFinoForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const auto step = fieldSteps_.find(watched);
        if (step != fieldSteps_.end() && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            step->second(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return EditorForm::eventFilter(watched, event);
}

void TDelayFinoForm::trackChanged(int output, int position) {
    status_->clear();
    edit({outputTitle(output) + QStringLiteral(" delay"), {link::EditScope::delay(output)}},
         [output, position](ProcessorConfig& c) {
             c.output(output).DelaySamples = delayFromTrack(position);
         });
    showDelay(output);
    showPicture();
}

void TDelayFinoForm::stepDelay(int output, int direction) {
    const int now = config().output(output).DelaySamples;
    const int next = kvn::stepDelay(now, direction);
    if (next == now) {
        showDelay(output);  // a refused step drops what was typed
        return;
    }
    delayTyped(output, next);
}

void TDelayFinoForm::delayTyped(int output, int samples) {
    // The track takes the delay; its change step stores and shows it.
    strip(output).track->setPosition(trackFromDelay(samples));
}

void TDelayFinoForm::celsiusChanged(int celsius) {
    edit({QStringLiteral("Temperature"), {link::EditScope::quiet()}},
         [celsius](ProcessorConfig& c) {
             c.Temperature = std::clamp(celsius, kTemperatureMinC, kTemperatureMaxC);
         });
    // The delays in samples stay; their distances follow the new speed of sound.
    showTemperature();
    showDelays();
}

void TDelayFinoForm::distanceEntered(int output, int direction) {
    status_->clear();
    const int temperature = config().Temperature;
    widgets::RealEdit* entered = strip(output).distance;
    {
        // What was typed before an arrow key or a step button counts as entered.
        const QSignalBlocker blocker(entered);
        entered->commitText();
    }
    std::array<int, 3> counts{};
    for (int n = 1; n <= kOutputCount; ++n) {
        counts[static_cast<std::size_t>(n - 1)] =
            distanceSamplesFromCm(strip(n).distance->value(), temperature);
    }
    int& own = counts[static_cast<std::size_t>(output - 1)];
    own = stepDistance(own, direction);
    // The field shows its distance quantised to whole samples; the others keep what they show.
    entered->setValue(distanceCmFromSamples(own, temperature));
    edit({QStringLiteral("Relative distances"), {link::EditScope::quiet()}},
         [counts](ProcessorConfig& c) { setRelativeDistances(c, counts); });
    showPicture();
}

void TDelayFinoForm::autoAlign() {
    const std::array<int, 3> delays = autoAlignDelays(config());
    edit({QStringLiteral("Auto Align"),
          {link::EditScope::delay(1), link::EditScope::delay(2), link::EditScope::delay(3)}},
         [delays](ProcessorConfig& c) {
             for (int n = 1; n <= kOutputCount; ++n) {
                 c.output(n).DelaySamples = delays[static_cast<std::size_t>(n - 1)];
             }
         });
    showDelays();
    showPicture();
}

void TDelayFinoForm::refresh(const ConfigChange& change) {
    (void)change;  // everything here is cheap to show again, the look-ahead included
    showOutputNames();
    showDelays();
    showTemperature();
    showDistances(false);
    showLookAhead();
    showPicture();
}

void TDelayFinoForm::reloadFromConfig() {
    showDistances(true);
    EditorForm::reloadFromConfig();
}

void TDelayFinoForm::showDelays() {
    for (int output = 1; output <= kOutputCount; ++output) {
        showDelay(output);
    }
}

void TDelayFinoForm::showDelay(int output) {
    const int samples = config().output(output).DelaySamples;
    Strip& s = strip(output);
    {
        const QSignalBlocker blocker(s.track);
        s.track->setPosition(trackFromDelay(samples));
    }
    s.ms->setValue(delayMsFromSamples(samples));
    s.cm->setRange(0.0, delayCmFromSamples(kDelayTrackMax, config().Temperature));
    s.cm->setValue(delayCmFromSamples(samples, config().Temperature));
    s.samples->setText(samples == 1 ? QStringLiteral("1 sample")
                                    : QStringLiteral("%1 samples").arg(samples));
}

void TDelayFinoForm::showTemperature() {
    const int celsius = config().Temperature;
    {
        const QSignalBlocker blockC(celsius_);
        const QSignalBlocker blockF(fahrenheit_);
        celsius_->setValue(celsius);
        fahrenheit_->setValue(fahrenheitFromCelsius(celsius));
    }
    speed_->setText(
        QStringLiteral("Speed of sound %1 m/s").arg(number(speedOfSound(celsius), "0.00")));
}

void TDelayFinoForm::showDistances(bool force) {
    const int temperature = config().Temperature;
    std::array<int, 3> shown{};
    std::array<int, 3> stored{};
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        shown[i] = distanceSamplesFromCm(strip(n).distance->value(), temperature);
        stored[i] = config().output(n).RelativeDistanceSamples;
    }
    // The fields keep the distances as typed while they still give the stored counts.
    if (!force && relativeDistances(shown) == stored) {
        return;
    }
    for (int n = 1; n <= kOutputCount; ++n) {
        strip(n).distance->setValue(
            distanceCmFromSamples(stored[static_cast<std::size_t>(n - 1)], temperature));
    }
}

void TDelayFinoForm::showLookAhead() {
    const int samples = lookAheadOffset(config());
    lookAhead_->setText(QStringLiteral("Dynamics look-ahead: %1 samples (%2 ms)")
                            .arg(samples)
                            .arg(number(delayMsFromSamples(samples), "0.00")));
}

void TDelayFinoForm::showPicture() {
    picture_->setLines(alignmentLines(config()));
}

void TDelayFinoForm::showOutputNames() {
    for (int output = 1; output <= kOutputCount; ++output) {
        const QString name = fromConfigText(config().output(output).Name);
        strip(output).name->setText(name);
        strip(output).name2->setText(name);
    }
}

std::vector<ScreenshotStep> TDelayFinoForm::screenshots() {
    return {{QStringLiteral("delay.png"), [this]() -> QWidget* {
                 openFor(0);
                 celsius_->setValue(22);
                 constexpr std::array<const char*, 3> kDistances{"118.0", "86.5", "12.0"};
                 for (int output = 1; output <= kOutputCount; ++output) {
                     widgets::RealEdit* distance = strip(output).distance;
                     distance->setText(
                         QString::fromLatin1(kDistances[static_cast<std::size_t>(output - 1)]));
                     distance->commitText();
                 }
                 autoAlign_->click();
                 return this;
             }}};
}

}  // namespace kvn::ui
