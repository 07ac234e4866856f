// The dynamics window: its controls and their handlers, the curve and the power readout.
#include "ui/editors/TDynamicform.h"

#include "config/DynamicsControls.h"
#include "config/PowerCheck.h"
#include "dsp/DynamicsMath.h"
#include "ui/editors/TAmpRackForm.h"
#include "ui/editors/TSpeakerForm.h"
#include "ui/main/ClickLabel.h"
#include "widgets/CommitSlider.h"
#include "widgets/LedButton.h"
#include "widgets/LedGroup.h"
#include "widgets/LedMeter.h"
#include "widgets/PanelBox.h"
#include "widgets/RealEdit.h"
#include "widgets/ResponseGraph.h"
#include "widgets/SpinButtons.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

const QColor kRed(0xd3, 0x2f, 0x2f);

QLabel* label(const QString& text, QWidget* parent, const QString& name = {}) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) {
        l->setObjectName(name);
    }
    return l;
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* l = label(text, parent);
    QFont font = l->font();
    font.setBold(true);
    l->setFont(font);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

widgets::RealEdit* field(const QString& name, const QString& format, double minimum, double maximum,
                         double step, QWidget* parent) {
    auto* f = new widgets::RealEdit(parent);
    f->setObjectName(name);
    f->setFormat(format);
    f->setRange(minimum, maximum);
    f->setStep(step);
    f->setAlignment(Qt::AlignRight);
    f->setFixedWidth(52);
    return f;
}

widgets::CommitSlider* track(const QString& name, int maximum, QWidget* parent) {
    auto* t = new widgets::CommitSlider(Qt::Vertical, parent);
    t->setObjectName(name);
    t->setRange(0, maximum);
    t->setPageStep(maximum > 20 ? 10 : 1);
    t->setMinimumHeight(150);
    return t;
}

widgets::SpinButtons* spin(const QString& name, QWidget* parent) {
    auto* s = new widgets::SpinButtons(Qt::Vertical, parent);
    s->setObjectName(name);
    return s;
}

// A field's value stepped by its step as its up/down buttons do, then applied like Enter.
void stepField(widgets::RealEdit* f, int direction) {
    f->setValue(f->value() + direction * f->step());
    f->commitText();
}

void setTextColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

void setPosition(widgets::CommitSlider* slider, int position) {
    const QSignalBlocker blocker(slider);
    slider->setPosition(position);
}

}  // namespace

QString dynamicsUnitTitle(int unit) {
    return unit == 2 ? QStringLiteral("Dynamic SUB") : QStringLiteral("Dynamic OUT 1-2");
}

TDynamicform::TDynamicform(EditorContext& context)
    : EditorForm(context, QStringLiteral("TDynamicform"), QStringLiteral("Dynamic Configuration")) {
    auto* top = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    header->addWidget(buildSelectors());
    header->addStretch();
    header->addWidget(realTimeButton());
    top->addLayout(header);

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildLevels());
    left->addWidget(buildTiming());
    left->addWidget(buildGate());
    left->addStretch();
    body->addLayout(left);
    auto* right = new QVBoxLayout;
    right->addWidget(buildGraph(), 1);
    right->addWidget(buildPower());
    body->addLayout(right, 1);
    top->addLayout(body);

    speaker_ = std::make_unique<TSpeakerForm>(
        context, [this] { return unit_; }, [this](int unit) { setCurrentUnit(unit); });
    rack_ = std::make_unique<TAmpRackForm>(context, [this](int unit) {
        setCurrentUnit(unit);
        openSpeakerWindow();
    });
    wire();
    units_->select(0);
    showUnit();
}

TDynamicform::~TDynamicform() = default;

QWidget* TDynamicform::buildSelectors() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    output1B_ = new widgets::LedButton(QStringLiteral("Out 1-2"), box);
    output1B_->setObjectName(QStringLiteral("Output1B"));
    output2B_ = new widgets::LedButton(QStringLiteral("Sub Sub"), box);
    output2B_->setObjectName(QStringLiteral("Output2B"));
    units_ = new widgets::LedGroup(this);
    units_->addButton(output1B_);
    units_->addButton(output2B_);
    unitLabel_ = caption(QString(), box);
    unitLabel_->setObjectName(QStringLiteral("UnitLabel"));
    QFont font = unitLabel_->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    unitLabel_->setFont(font);
    unitLabel_->setMinimumWidth(180);
    row->addWidget(output1B_);
    row->addWidget(output2B_);
    row->addSpacing(16);
    row->addWidget(unitLabel_);
    return box;
}

QWidget* TDynamicform::buildLevels() {
    auto* box = new widgets::PanelBox(QStringLiteral("Dynamics"), this);
    auto* grid = new QGridLayout(box);

    thresholdCaption_ = caption(QString(), box);
    thresholdCaption_->setObjectName(QStringLiteral("th_lim_label"));
    threshold_ = track(QStringLiteral("threstrack"), kThresholdTrackMax, box);
    thresholdEdit_ = field(QStringLiteral("ThdEdit"), QStringLiteral("0.0"), -32.0, 20.0, 0.5, box);
    grid->addWidget(thresholdCaption_, 0, 0, 1, 2);
    grid->addWidget(label(QStringLiteral("+18 dB u"), box), 1, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(threshold_, 2, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(label(QStringLiteral("-32 dB u"), box), 3, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(thresholdEdit_, 4, 0, Qt::AlignRight);
    grid->addWidget(label(QStringLiteral("dB u"), box), 4, 1);

    auto* ratioCaption = caption(QStringLiteral("Ratio"), box);
    ratio_ = track(QStringLiteral("RatioTrack"), kRatioTrackMax, box);
    ratioLabel_ = label(QString(), box, QStringLiteral("RatioLabel"));
    ratioLabel_->setAlignment(Qt::AlignCenter);
    auto* ratioTop = label(QStringLiteral("10 : 1"), box);
    auto* ratioBottom = label(QStringLiteral("1 : 1"), box);
    ratioLabels_ = {ratioCaption, ratioTop, ratioBottom, ratioLabel_};
    grid->addWidget(ratioCaption, 0, 2);
    grid->addWidget(ratioTop, 1, 2, Qt::AlignCenter);
    grid->addWidget(ratio_, 2, 2, Qt::AlignHCenter);
    grid->addWidget(ratioBottom, 3, 2, Qt::AlignCenter);
    grid->addWidget(ratioLabel_, 4, 2);

    knee_ = track(QStringLiteral("KneeTrack"), kKneeTrackMax, box);
    kneeEdit_ = field(QStringLiteral("KneeEdit"), QStringLiteral("0.0"), 0.0, 10.0, 0.5, box);
    grid->addWidget(caption(QStringLiteral("Knee"), box), 0, 3, 1, 2);
    grid->addWidget(label(QStringLiteral("10 dB "), box), 1, 3, 1, 2, Qt::AlignCenter);
    grid->addWidget(knee_, 2, 3, 1, 2, Qt::AlignHCenter);
    grid->addWidget(label(QStringLiteral("0 dB "), box), 3, 3, 1, 2, Qt::AlignCenter);
    grid->addWidget(kneeEdit_, 4, 3, Qt::AlignRight);
    grid->addWidget(label(QStringLiteral("dB"), box), 4, 4);

    auto* type = new QVBoxLayout;
    type->addWidget(caption(QStringLiteral("TYPE"), box));
    limiterB_ = new widgets::LedButton(QStringLiteral("Limiter"), box);
    limiterB_->setObjectName(QStringLiteral("LimiterB"));
    compressorB_ = new widgets::LedButton(QStringLiteral("Compressor"), box);
    compressorB_->setObjectName(QStringLiteral("CompressorB"));
    types_ = new widgets::LedGroup(this);
    types_->addButton(limiterB_);
    types_->addButton(compressorB_);
    bypass_ = new QPushButton(QStringLiteral("Bypass"), box);
    bypass_->setObjectName(QStringLiteral("DynBypassBoton"));
    type->addWidget(limiterB_);
    type->addWidget(compressorB_);
    type->addSpacing(12);
    type->addWidget(bypass_);
    type->addStretch();
    grid->addLayout(type, 0, 5, 5, 1);
    grid->setColumnMinimumWidth(2, 60);
    grid->setHorizontalSpacing(10);
    return box;
}

QWidget* TDynamicform::buildTiming() {
    auto* box = new widgets::PanelBox(this);
    auto* grid = new QGridLayout(box);
    timingTitle_ = new ClickLabel(QStringLiteral("RMS Dynamics"), box);
    timingTitle_->setObjectName(QStringLiteral("RmsDynamicsLabel"));
    QFont font = timingTitle_->font();
    font.setBold(true);
    timingTitle_->setFont(font);
    grid->addWidget(timingTitle_, 0, 0, 1, 4);

    attack_ = field(QStringLiteral("RmsTimeConstEdit"), QStringLiteral("00"), 5, 250, 1, box);
    attackSpin_ = spin(QStringLiteral("RmsTimeConstSpin"), box);
    hold_ = field(QStringLiteral("HoldTimeEdit"), QStringLiteral("00"), 0, 80, 1, box);
    holdSpin_ = spin(QStringLiteral("SpinButton1"), box);
    release_ = field(QStringLiteral("DecayTimeEdit"), QStringLiteral("00"), 1, 80, 1, box);
    releaseSpin_ = spin(QStringLiteral("DecayTimeSpin"), box);
    lookAhead_ = field(QStringLiteral("msLookAhead"), QStringLiteral("0.00"), 0, 2.0, 0.04, box);
    lookAheadSpin_ = spin(QStringLiteral("msLookAheadSpin"), box);

    const auto row = [&](int at, const QString& name, widgets::RealEdit* edit,
                         widgets::SpinButtons* buttons, const QString& unit) {
        auto* l = label(name, box);
        auto* u = label(unit, box);
        grid->addWidget(l, at, 0);
        grid->addWidget(edit, at, 1);
        grid->addWidget(buttons, at, 2);
        grid->addWidget(u, at, 3);
        return std::vector<QWidget*>{l, edit, buttons, u};
    };
    row(1, QStringLiteral("Attack"), attack_, attackSpin_, QStringLiteral("dB/s"));
    row(2, QStringLiteral("Hold Time"), hold_, holdSpin_, QStringLiteral("ms"));
    row(3, QStringLiteral("Release"), release_, releaseSpin_, QStringLiteral("dB/s"));
    lookAheadRow_ =
        row(4, QStringLiteral("Look Ahead"), lookAhead_, lookAheadSpin_, QStringLiteral("ms"));
    for (QWidget* w : lookAheadRow_) {
        w->hide();
    }
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* TDynamicform::buildGate() {
    auto* box = new widgets::PanelBox(QStringLiteral("Noise Gate"), this);
    auto* grid = new QGridLayout(box);
    noiseTitle_ = new ClickLabel(QStringLiteral("Noise Level"), box);
    noiseTitle_->setObjectName(QStringLiteral("NoiseLevelLabel"));
    noise_ = new QComboBox(box);
    noise_->setObjectName(QStringLiteral("NoiseCombo"));
    for (const char* text : kNoiseItemTexts) {
        noise_->addItem(QString::fromLatin1(text));
    }
    grid->addWidget(noiseTitle_, 0, 0);
    grid->addWidget(noise_, 0, 1, 1, 3);

    gateLevel_ = field(QStringLiteral("GateEdit"), QStringLiteral("00"), 1, kGateLevelMax, 1, box);
    gateLevel_->setValue(16);
    gateSlope_ =
        field(QStringLiteral("PendienteEdit"), QStringLiteral("00"), 1, kGateSlopeMax, 1, box);
    gateSlope_->setValue(4);
    auto* levelLabel = label(QStringLiteral("Gate Level"), box);
    auto* slopeLabel = label(QStringLiteral("Gate Slope"), box);
    grid->addWidget(levelLabel, 1, 0);
    grid->addWidget(gateLevel_, 1, 1);
    grid->addWidget(slopeLabel, 1, 2);
    grid->addWidget(gateSlope_, 1, 3);
    gateRow_ = {levelLabel, gateLevel_, slopeLabel, gateSlope_};
    for (QWidget* w : gateRow_) {
        w->hide();
    }
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* TDynamicform::buildGraph() {
    graph_ = new widgets::ResponseGraph(this, 2);
    graph_->setObjectName(QStringLiteral("DinamicaGraph"));
    graph_->setXScale(widgets::AxisScale::Linear);
    graph_->setXRange(kGraphFloorDbu, 20.0);
    graph_->setYRange(kGraphFloorDbu, 20.0);
    graph_->setXTickStep(10.0);
    graph_->setYTickStep(10.0);
    graph_->setXTitle(QStringLiteral("input dBu"));
    graph_->setYTitle(QStringLiteral("output dBu"));
    graph_->setReferenceLine({-50.0, -50.0}, {20.0, 20.0});
    graph_->setSeriesName(1, QStringLiteral("Static curve"));
    graph_->setSeriesName(2, QStringLiteral("Noise gate"));
    QPen curve(widgets::ResponseGraph::defaultSeriesColor(1), 2.0);
    graph_->setSeriesPen(1, curve);
    QPen gate(QColor(0xff, 0x8a, 0x3d), 2.0);
    graph_->setSeriesPen(2, gate);
    graph_->setMinimumSize(420, 340);
    return graph_;
}

QWidget* TDynamicform::buildPower() {
    auto* box = new widgets::PanelBox(QStringLiteral("Output Power"), this);
    auto* grid = new QGridLayout(box);
    powerMemo_ = new QPlainTextEdit(box);
    powerMemo_->setObjectName(QStringLiteral("PowerMemoDyn"));
    powerMemo_->setReadOnly(true);
    powerMemo_->setFixedHeight(powerMemo_->fontMetrics().lineSpacing() * 3 + 10);
    powerMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    meter_ = new widgets::LedMeter(Qt::Horizontal, box);
    meter_->setObjectName(QStringLiteral("LEDMeter1"));
    meter_->setSegmentCount(30);
    warning_ = caption(QStringLiteral("WARNING!!!"), box);
    warning_->setObjectName(QStringLiteral("WaningLabel"));
    warning2_ = label(QString(), box, QStringLiteral("WaningLabel2"));
    power_ = caption(QString(), box);
    power_->setObjectName(QStringLiteral("Label25"));
    boxParams_ = new QPushButton(QStringLiteral("Box Parameters"), box);
    boxParams_->setObjectName(QStringLiteral("BoxParams"));
    rackButton_ = new QPushButton(QStringLiteral("Amp Rack"), box);
    rackButton_->setObjectName(QStringLiteral("AmpRackB"));

    grid->addWidget(powerMemo_, 0, 0, 1, 3);
    grid->addWidget(meter_, 1, 0, 1, 2);
    grid->addWidget(power_, 1, 2);
    grid->addWidget(warning_, 2, 0);
    grid->addWidget(warning2_, 2, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(boxParams_);
    buttons->addWidget(rackButton_);
    grid->addLayout(buttons, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    return box;
}

void TDynamicform::wire() {
    connect(units_, &widgets::LedGroup::selected, this,
            [this](int index) { selectUnit(index + 1); });
    connect(threshold_, &widgets::CommitSlider::positionChanged, this,
            &TDynamicform::thresholdMoved);
    connect(thresholdEdit_, &widgets::RealEdit::committed, this,
            [this](double dbu) { threshold_->setPosition(trackFromThresholdDbu(dbu)); });
    connect(ratio_, &widgets::CommitSlider::positionChanged, this, &TDynamicform::ratioMoved);
    connect(knee_, &widgets::CommitSlider::positionChanged, this, &TDynamicform::kneeMoved);
    connect(kneeEdit_, &widgets::RealEdit::committed, this,
            [this](double kneeDb) { knee_->setPosition(trackFromKnee(kneeDb)); });
    for (widgets::CommitSlider* slider : {threshold_, ratio_, knee_}) {
        bindGesture(slider);
    }
    connect(types_, &widgets::LedGroup::selected, this, &TDynamicform::typeChosen);
    connect(bypass_, &QPushButton::clicked, this, &TDynamicform::bypassClicked);
    connect(noise_, &QComboBox::activated, this, &TDynamicform::noiseChosen);
    connect(gateLevel_, &widgets::RealEdit::committed, this, &TDynamicform::gateFieldsCommitted);
    connect(gateSlope_, &widgets::RealEdit::committed, this, &TDynamicform::gateFieldsCommitted);

    connect(attack_, &widgets::RealEdit::committed, this, &TDynamicform::attackCommitted);
    connect(hold_, &widgets::RealEdit::committed, this, &TDynamicform::holdCommitted);
    connect(release_, &widgets::RealEdit::committed, this, &TDynamicform::releaseCommitted);
    connect(lookAhead_, &widgets::RealEdit::committed, this, &TDynamicform::lookAheadCommitted);
    const auto stepping = [this](widgets::SpinButtons* buttons, widgets::RealEdit* edit) {
        connect(buttons, &widgets::SpinButtons::up, edit, [edit] { stepField(edit, 1); });
        connect(buttons, &widgets::SpinButtons::down, edit, [edit] { stepField(edit, -1); });
    };
    stepping(attackSpin_, attack_);
    stepping(holdSpin_, hold_);
    stepping(releaseSpin_, release_);
    stepping(lookAheadSpin_, lookAhead_);

    connect(noiseTitle_, &ClickLabel::clicked, this,
            [this] { countRevealClick(gateClicks_, kGateRevealClicks, gateRow_); });
    connect(timingTitle_, &ClickLabel::clicked, this,
            [this] { countRevealClick(lookAheadClicks_, kLookAheadRevealClicks, lookAheadRow_); });
    connect(boxParams_, &QPushButton::clicked, this, &TDynamicform::openSpeakerWindow);
    connect(rackButton_, &QPushButton::clicked, this, &TDynamicform::openRackWindow);
}

void TDynamicform::openFor(int output) {
    if (output >= 1 && output <= kOutputCount) {
        unit_ = dynamicsUnitOf(output);
    }
    units_->select(unit_ - 1);
    showUnit();
    show();
    raise();
    activateWindow();
}

void TDynamicform::closeEditor() {
    speaker_->closeEditor();
    rack_->closeEditor();
    EditorForm::closeEditor();
}

void TDynamicform::showRealTime(bool on) {
    EditorForm::showRealTime(on);
    speaker_->showRealTime(on);
    rack_->showRealTime(on);
}

void TDynamicform::setCurrentUnit(int unit) {
    unit_ = unit == 2 ? 2 : 1;
    units_->select(unit_ - 1);
    showUnit();
}

void TDynamicform::openSpeakerWindow() {
    speaker_->openFor(0);
}

void TDynamicform::openRackWindow() {
    rack_->openFor(0);
}

void TDynamicform::addMenuEntries(QMenu* menu) {
    if (menu == nullptr) {
        return;
    }
    QAction* action = menu->addAction(QStringLiteral("Rack Amplifier..."));
    action->setObjectName(QStringLiteral("RackAmplifierAction"));
    connect(action, &QAction::triggered, this, &TDynamicform::openRackWindow);
}

void TDynamicform::refresh(const ConfigChange& change) {
    using link::EditPart;
    // A hidden window is shown again whole when it opens.
    if (!isVisible()) {
        return;
    }
    if (change.touches(EditPart::DynamicsTable) || change.touches(EditPart::DynamicsAttack) ||
        change.touches(EditPart::DynamicsHold) || change.touches(EditPart::DynamicsRelease) ||
        change.touches(EditPart::Quiet)) {
        showUnit();
    }
}

void TDynamicform::changeEvent(QEvent* event) {
    EditorForm::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        showPower();
    }
}

void TDynamicform::selectUnit(int unit) {
    unit_ = unit;
    ProcessorConfig loaded = config();
    loadDynamicsUnit(loaded, unit);
    // Loading quantises the unit to the tracks and redesigns it; the processor follows.
    if (!(loaded.unit(unit) == config().unit(unit))) {
        edit({dynamicsUnitTitle(unit) + QStringLiteral(" loaded"),
              {link::EditScope::dynamicsTable(unit)},
              nullptr,
              false},
             [unit](ProcessorConfig& c) { loadDynamicsUnit(c, unit); });
    }
    showUnit();
}

void TDynamicform::showUnit() {
    const DynamicsControls c = showDynamicsUnit(config(), unit_);
    unitLabel_->setText(dynamicsUnitTitle(unit_));
    setPosition(threshold_, c.thresholdTrack);
    thresholdEdit_->setValue(c.thresholdDbu);
    setPosition(ratio_, c.ratioTrack);
    ratioLabel_->setText(QString::number(ratioFromTrack(c.ratioTrack)) + QStringLiteral(": 1"));
    setPosition(knee_, c.kneeTrack);
    kneeEdit_->setValue(c.kneeDb);
    types_->select(c.compressor ? 1 : 0);
    thresholdCaption_->setText(c.compressor ? QStringLiteral("Threshold")
                                            : QStringLiteral("     Limit"));
    setTextColor(bypass_, QPalette::ButtonText, c.bypassed ? kRed : QColor(Qt::black));
    attack_->setValue(c.attackDbPerS);
    hold_->setValue(c.holdMs);
    release_->setValue(c.releaseDbPerS);
    lookAhead_->setValue(c.lookAheadMs);
    noise_->setCurrentIndex(c.noiseItem);
    gateLevel_->setValue(c.gateLevel);
    gateSlope_->setValue(c.gateSlope);

    const DynamicsEnabling enabling = dynamicsEnabling(c.bypassed, c.compressor);
    for (QWidget* w : std::initializer_list<QWidget*>{threshold_, thresholdEdit_, knee_, kneeEdit_,
                                                      limiterB_, compressorB_, attack_, attackSpin_,
                                                      hold_, holdSpin_, release_, releaseSpin_}) {
        w->setEnabled(enabling.levels);
    }
    ratio_->setEnabled(enabling.ratio);
    for (QWidget* w : ratioLabels_) {
        w->setEnabled(enabling.ratio);
    }
    // Only the OUT 1-2 unit's look-ahead delays its outputs; SUB's is shown, not edited.
    lookAhead_->setEnabled(unit_ == 1);
    lookAheadSpin_->setEnabled(unit_ == 1);
    showCurve();
    showPower();
}

void TDynamicform::showCurve() {
    const DynamicsGraph g = dynamicsGraphDbu(config().unit(unit_), unit_, kGraphFloorDbu);
    const auto points = [](const std::vector<std::pair<double, double>>& from) {
        std::vector<QPointF> to;
        to.reserve(from.size());
        for (const auto& [x, y] : from) {
            to.emplace_back(x, y);
        }
        return to;
    };
    graph_->setSeriesPoints(1, points(g.curve));
    graph_->setSeriesPoints(2, points(g.gate));
}

void TDynamicform::showPower() {
    const PowerCheck check = checkOutputPower(config().unit(unit_), unit_);
    const auto lines = powerMemoLines(check);
    powerMemo_->setPlainText(QString::fromStdString(lines[0]) + QLatin1Char('\n') +
                             QString::fromStdString(lines[1]));
    meter_->setMaximum(check.meterMax);
    meter_->setThresholds(check.meterFirst, check.meterSecond);
    meter_->setPosition(check.meterPosition);
    power_->setText(QString::fromStdString(powerWattsText(check.powerW)) + QStringLiteral(" W"));
    // The warning text is always there, drawn invisibly until the box is over its power.
    setTextColor(warning_, QPalette::WindowText,
                 check.overBoxPower ? kRed : QColor(Qt::transparent));
    setTextColor(power_, QPalette::WindowText, check.overBoxPower ? kRed : QColor(Qt::black));
    setTextColor(warning2_, QPalette::WindowText, kRed);
    warning2_->setText(check.overBoxPower
                           ? QStringLiteral("The Out Power exceeds your Box Power capacity!")
                           : QString());
}

void TDynamicform::editUnit(const QString& what, link::EditScope scope,
                            const std::function<void(DynamicsUnit&)>& change) {
    const int unit = unit_;
    edit({dynamicsUnitTitle(unit) + QLatin1Char(' ') + what, {scope}},
         [unit, &change](ProcessorConfig& c) { change(c.unit(unit)); });
    showUnit();
}

void TDynamicform::thresholdMoved(int position) {
    const double t = thresholdFromTrack(position, unit_);
    editUnit(QStringLiteral("threshold"), link::EditScope::dynamicsTable(unit_),
             [t](DynamicsUnit& u) {
                 u.thresholdDbfs = static_cast<float>(t);
                 u.design();
             });
}

void TDynamicform::ratioMoved(int position) {
    const double r = ratioFromTrack(position);
    editUnit(QStringLiteral("ratio"), link::EditScope::dynamicsTable(unit_), [r](DynamicsUnit& u) {
        u.ratio = static_cast<float>(r);
        u.design();
    });
}

void TDynamicform::kneeMoved(int position) {
    const double w = kneeFromTrack(position);
    editUnit(QStringLiteral("knee"), link::EditScope::dynamicsTable(unit_), [w](DynamicsUnit& u) {
        u.kneeDb = static_cast<float>(w);
        u.design();
    });
}

void TDynamicform::typeChosen(int index) {
    const std::uint8_t type = index == 1 ? kCompressor : kLimiter;
    editUnit(QStringLiteral("type"), link::EditScope::dynamicsTable(unit_),
             [type](DynamicsUnit& u) {
                 u.kneeType = type;
                 u.design();
             });
}

void TDynamicform::bypassClicked() {
    editUnit(QStringLiteral("bypass"), link::EditScope::dynamicsTable(unit_), [](DynamicsUnit& u) {
        u.bypass = u.bypass != 0 ? 0 : 1;
        u.design();
    });
}

void TDynamicform::noiseChosen(int item) {
    const std::optional<float> level = gateLevelForNoiseItem(item);
    if (!level) {
        return;
    }
    const auto slope = static_cast<float>(gateSlope_->value());
    editUnit(QStringLiteral("noise gate"), link::EditScope::dynamicsTable(unit_),
             [level, slope](DynamicsUnit& u) {
                 u.gateLevel = *level;
                 u.gateSlope = slope;
                 u.design();
             });
}

void TDynamicform::gateFieldsCommitted() {
    const auto level = static_cast<float>(gateLevel_->value());
    const auto slope = static_cast<float>(gateSlope_->value());
    editUnit(QStringLiteral("noise gate"), link::EditScope::dynamicsTable(unit_),
             [level, slope](DynamicsUnit& u) {
                 u.gateLevel = level;
                 u.gateSlope = slope;
                 u.design();
             });
}

void TDynamicform::attackCommitted(double attackDbPerS) {
    editUnit(QStringLiteral("attack"), link::EditScope::dynamicsAttack(unit_),
             [attackDbPerS](DynamicsUnit& u) {
                 u.detectorCoefficient = detectorCoefficientFromAttack(attackDbPerS);
             });
}

void TDynamicform::holdCommitted(double holdMs) {
    editUnit(QStringLiteral("hold time"), link::EditScope::dynamicsHold(unit_),
             [holdMs](DynamicsUnit& u) {
                 u.holdSamples = holdSamplesFromMs(holdMs, u.lookAheadSamples);
             });
}

void TDynamicform::releaseCommitted(double releaseDbPerS) {
    editUnit(
        QStringLiteral("release"), link::EditScope::dynamicsRelease(unit_),
        [releaseDbPerS](DynamicsUnit& u) { u.releaseCount = releaseCountFromRate(releaseDbPerS); });
}

void TDynamicform::lookAheadCommitted(double lookAheadMs) {
    if (unit_ != 1) {
        return;
    }
    // The hold samples count the look-ahead in: they move with it so that the hold time stays,
    // and they are what the processor is sent (there is no look-ahead word of its own).
    editUnit(QStringLiteral("look-ahead"), link::EditScope::dynamicsHold(1),
             [lookAheadMs](DynamicsUnit& u) {
                 const int samples = lookAheadSamplesFromMs(lookAheadMs);
                 u.holdSamples = rebaseHoldSamples(u.holdSamples, u.lookAheadSamples, samples);
                 u.lookAheadSamples = samples;
             });
}

void TDynamicform::countRevealClick(int& count, int needed, const std::vector<QWidget*>& revealed) {
    if (++count < needed) {
        return;
    }
    count = 0;
    for (QWidget* w : revealed) {
        w->show();
    }
}

std::vector<ScreenshotStep> TDynamicform::screenshots() {
    return {
        {QStringLiteral("dynamics.png"),
         [this]() -> QWidget* {
             openFor(1);
             output1B_->click();
             compressorB_->click();
             threshold_->setPosition(30);  // +3 dBu
             ratio_->setPosition(6);       // 4 : 1
             knee_->setPosition(8);        // 6 dB
             noise_->setCurrentIndex(5);
             noiseChosen(5);
             edit({QStringLiteral("Dynamic OUT 1-2 box power"), {link::EditScope::quiet()}},
                  [](ProcessorConfig& c) { c.unit(1).boxPowerW = 800.0f; });
             showUnit();
             adjustSize();
             return this;
         }},
        {QStringLiteral("speaker.png"),
         [this]() -> QWidget* {
             hide();
             speaker_->openFor(1);
             speaker_->adjustSize();
             return speaker_.get();
         }},
        {QStringLiteral("rack.png"),
         [this]() -> QWidget* {
             openRackWindow();
             rack_->adjustSize();
             return rack_.get();
         }},
    };
}

}  // namespace kvn::ui
