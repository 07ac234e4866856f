// The speaker window: the box and amplifier settings of the unit of the chosen output.
#include "ui/editors/TSpeakerForm.h"

#include "config/PowerCheck.h"
#include "ui/editors/TDynamicform.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/LedButton.h"
#include "widgets/LedGroup.h"
#include "widgets/NumberFormat.h"
#include "widgets/PanelBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kvn::ui {

namespace {

struct OutputButton {
    const char* name;
    const char* caption;
};
// Tags 1, 2, 3: Output 1 and Output 2 use unit 1, SUB unit 2.
constexpr std::array<OutputButton, kOutputCount> kOutputButtons{{
    {"Output1B", "OUTPUT 1:"},
    {"Output2B", "OUTPUT 2:"},
    {"OutputS1B", "OUT SUB   "},
}};

widgets::IntSpinEdit* spin(const QString& name, int minimum, int maximum, const QString& suffix,
                           QWidget* parent) {
    auto* s = new widgets::IntSpinEdit(parent);
    s->setObjectName(name);
    s->setRange(minimum, maximum);
    s->setSuffix(suffix);
    s->setMinimumWidth(96);
    return s;
}

void setSpin(widgets::IntSpinEdit* spin, int value, int step) {
    const QSignalBlocker blocker(spin);
    spin->setValue(value);
    spin->setSingleStep(step);
}

// Stored singles as the whole numbers the spins hold (NaN from a file shows the minimum).
int spinValue(float value) {
    return std::isnan(value) ? 0 : static_cast<int>(std::lround(std::clamp(value, -1e6f, 1e6f)));
}

}  // namespace

TSpeakerForm::TSpeakerForm(EditorContext& context, std::function<int()> currentUnit,
                           std::function<void(int)> chooseUnit)
    : EditorForm(context, QStringLiteral("TSpeakerForm"),
                 QStringLiteral("Speaker and Amplifier Parameters")),
      currentUnit_(std::move(currentUnit)),
      chooseUnit_(std::move(chooseUnit)) {
    setWindowModality(Qt::ApplicationModal);
    auto* top = new QVBoxLayout(this);

    auto* header = new QHBoxLayout;
    outputs_ = new widgets::LedGroup(this);
    for (const OutputButton& b : kOutputButtons) {
        auto* button = new widgets::LedButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(QString::fromLatin1(b.name));
        outputs_->addButton(button);
        header->addWidget(button);
    }
    header->addStretch();
    header->addWidget(realTimeButton());
    top->addLayout(header);

    auto* chosen = new QHBoxLayout;
    outputCaption_ = new QLabel(this);
    outputCaption_->setObjectName(QStringLiteral("Label5"));
    outputName_ = new QLabel(this);
    outputName_->setObjectName(QStringLiteral("OutputLabel"));
    QFont bold = outputCaption_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    outputCaption_->setFont(bold);
    outputName_->setFont(bold);
    chosen->addWidget(outputCaption_);
    chosen->addWidget(outputName_);
    chosen->addStretch();
    top->addLayout(chosen);

    auto* speaker = new widgets::PanelBox(QStringLiteral("Speaker"), this);
    auto* speakerGrid = new QGridLayout(speaker);
    impedance_ = new QComboBox(speaker);
    impedance_->setObjectName(QStringLiteral("Zload"));
    for (const char* text : kImpedanceTexts) {
        impedance_->addItem(QString::fromLatin1(text));
    }
    boxPower_ = spin(QStringLiteral("PowerMaxLoadSpin"), kBoxPowerMinW, kBoxPowerMaxW,
                     QStringLiteral(" W"), speaker);
    speakerGrid->addWidget(new QLabel(QStringLiteral("Box Impedance"), speaker), 0, 0);
    speakerGrid->addWidget(impedance_, 0, 1);
    speakerGrid->addWidget(new QLabel(QStringLiteral("ohm"), speaker), 0, 2);
    speakerGrid->addWidget(new QLabel(QStringLiteral("Maximum Box Power"), speaker), 1, 0);
    speakerGrid->addWidget(boxPower_, 1, 1);
    speakerGrid->setColumnStretch(2, 1);
    top->addWidget(speaker);

    auto* amplifier = new widgets::PanelBox(QStringLiteral("Amplifier"), this);
    auto* ampGrid = new QGridLayout(amplifier);
    ampPower_ = spin(QStringLiteral("PowerAmpMaxSpin"), kAmpPowerMinW, kAmpPowerMaxW,
                     QStringLiteral(" W"), amplifier);
    ampPower_->setValue(800);
    ampGain_ = spin(QStringLiteral("AmpGainSpin"), kAmpGainMin, kAmpGainMax, QString(), amplifier);
    ampGainDb_ = new QLabel(amplifier);
    ampGainDb_->setObjectName(QStringLiteral("AmpGainDbLabel"));
    balanced_ = new widgets::LedButton(QStringLiteral("Balanced Signal"), amplifier);
    balanced_->setObjectName(QStringLiteral("BalanceadoCheck"));
    ampGrid->addWidget(new QLabel(QStringLiteral("Maximum Amplifier Power"), amplifier), 0, 0);
    ampGrid->addWidget(ampPower_, 0, 1);
    ampGrid->addWidget(new QLabel(QStringLiteral("Amplifier Gain (linear)"), amplifier), 1, 0);
    ampGrid->addWidget(ampGain_, 1, 1);
    ampGrid->addWidget(ampGainDb_, 1, 2);
    ampGrid->addWidget(balanced_, 2, 0, 1, 2);
    ampGrid->setColumnStretch(2, 1);
    top->addWidget(amplifier);

    connect(outputs_, &widgets::LedGroup::selected, this,
            [this](int index) { chooseOutput(index + 1); });
    connect(impedance_, &QComboBox::activated, this, [this](int item) {
        if (item < 0 || item >= kImpedanceItems) {
            return;
        }
        const float ohm = kImpedanceOhms[static_cast<std::size_t>(item)];
        editSpeaker(QStringLiteral("box impedance"),
                    [ohm](DynamicsUnit& u) { u.loadImpedanceOhm = ohm; });
    });
    connect(boxPower_, &widgets::IntSpinEdit::valueChanged, this, [this](int watts) {
        editSpeaker(QStringLiteral("box power"),
                    [watts](DynamicsUnit& u) { u.boxPowerW = static_cast<float>(watts); });
    });
    connect(ampPower_, &widgets::IntSpinEdit::valueChanged, this, [this](int watts) {
        editSpeaker(QStringLiteral("amplifier power"),
                    [watts](DynamicsUnit& u) { u.ampPowerW = static_cast<float>(watts); });
    });
    connect(ampGain_, &widgets::IntSpinEdit::valueChanged, this, [this](int gain) {
        editSpeaker(QStringLiteral("amplifier gain"),
                    [gain](DynamicsUnit& u) { u.ampGain = static_cast<float>(gain); });
    });
    // After the click the LED shows the new state: lit before the click gives 0, else 1.
    connect(balanced_, &widgets::LedButton::litToggled, this, [this](bool lit) {
        editSpeaker(QStringLiteral("balanced signal"),
                    [lit](DynamicsUnit& u) { u.balanced = lit ? 1 : 0; });
    });
    outputs_->select(0);
    showOutput();
}

void TSpeakerForm::openFor(int output) {
    if (output < 1 || output > kOutputCount) {
        output = currentUnit_() == 2 ? kSubOutput : 1;
    }
    outputs_->select(output - 1);
    chooseOutput(output);
    show();
    raise();
    activateWindow();
}

int TSpeakerForm::unit() const {
    return dynamicsUnitOf(output_);
}

void TSpeakerForm::chooseOutput(int output) {
    output_ = output;
    if (chooseUnit_) {
        chooseUnit_(unit());
    }
    showOutput();
}

void TSpeakerForm::showOutput() {
    outputCaption_->setText(
        QString::fromLatin1(kOutputButtons[static_cast<std::size_t>(output_ - 1)].caption));
    showOutputNames();
    showUnit();
}

void TSpeakerForm::showOutputNames() {
    outputName_->setText(QString::fromStdString(config().output(output_).Name));
}

void TSpeakerForm::refresh(const ConfigChange& change) {
    if (isVisible() && (change.whole || change.touches(link::EditPart::Quiet))) {
        showUnit();
        showOutputNames();
    }
}

void TSpeakerForm::showUnit() {
    const DynamicsUnit& u = config().unit(unit());
    {
        const QSignalBlocker blocker(impedance_);
        impedance_->setCurrentIndex(impedanceItemFor(u.loadImpedanceOhm));
    }
    setSpin(boxPower_, spinValue(u.boxPowerW), boxPowerStep(u.boxPowerW));
    setSpin(ampPower_, spinValue(u.ampPowerW), ampPowerStep(u.ampPowerW));
    setSpin(ampGain_, spinValue(u.ampGain), 1);
    ampGainDb_->setText(QString::fromStdString(widgets::formatGeneral(ampGainDb(u.ampGain), 4)) +
                        QStringLiteral(" dB"));
    balanced_->setLit(u.balanced != 0);
}

void TSpeakerForm::editSpeaker(const QString& what,
                               const std::function<void(DynamicsUnit&)>& change) {
    const int n = unit();
    ConfigEdits::Edit e{dynamicsUnitTitle(n) + QLatin1Char(' ') + what, {link::EditScope::quiet()}};
    // Stepping a spin several times is one undo step.
    e.mergeable = true;
    edit(e, [n, &change](ProcessorConfig& c) { change(c.unit(n)); });
    showUnit();
}

}  // namespace kvn::ui
