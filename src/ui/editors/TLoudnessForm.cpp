#include "ui/editors/TLoudnessForm.h"

#include "analysis/CrossoverView.h"
#include "config/LoudnessControls.h"
#include "widgets/CommitSlider.h"
#include "widgets/LedButton.h"
#include "widgets/LedGroup.h"
#include "widgets/PanelBox.h"
#include "widgets/RealEdit.h"
#include "widgets/ResponseGraph.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

constexpr int kSectionSeries = 1;
constexpr int kSubSeries = 2;
constexpr double kGraphMinHz = 20.0;
constexpr double kGraphMaxHz = 500.0;
constexpr double kGraphMinDb = -20.0;
constexpr double kGraphMaxDb = 15.0;
constexpr int kFaintAlpha = 110;

}  // namespace

TLoudnessForm::TLoudnessForm(EditorContext& context)
    : EditorForm(context, QStringLiteral("TLoudnessForm"), QStringLiteral("Sub Reforcement")) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    auto* title = new QLabel(QStringLiteral("SUB Reinforcement"), this);
    title->setObjectName(QStringLiteral("PanelTitle"));
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    title->setFont(font);
    layout->addWidget(title);

    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(buildSlider(frequencySlider_, frequencyField_, QStringLiteral("Frec"),
                               QStringLiteral("Frequency"), QStringLiteral("Hz")));
    row->addWidget(buildSlider(gainSlider_, gainField_, QStringLiteral("FilterGain"),
                               QStringLiteral("Gain"), QStringLiteral("dB")));
    frequencySlider_->setRange(0, kLoudnessFrequencySliderMax);
    frequencyField_->setFormat(QStringLiteral("0"));
    frequencyField_->setRange(kLoudnessMinFrequencyHz, kLoudnessMaxFrequencyHz);
    gainSlider_->setRange(0, kLoudnessGainSliderMax);
    gainField_->setFormat(QStringLiteral("0.0"));
    gainField_->setRange(0.0, kLoudnessMaxGainDb);
    connect(frequencySlider_, &widgets::CommitSlider::positionChanged, this, [this](int p) {
        change(QStringLiteral("frequency"), [p](TSOS& s) { setLoudnessFrequency(s, p); });
    });
    connect(gainSlider_, &widgets::CommitSlider::positionChanged, this, [this](int p) {
        change(QStringLiteral("gain"), [p](TSOS& s) { setLoudnessGain(s, p); });
    });

    auto* right = new QVBoxLayout;
    auto* type = new widgets::PanelBox(QStringLiteral("Type"), this);
    auto* types = new QHBoxLayout(type);
    auto* param = new widgets::LedButton(QStringLiteral("Parametric Filter"), type);
    param->setObjectName(QStringLiteral("ParamLED"));
    auto* high = new widgets::LedButton(QStringLiteral("High Pass filter"), type);
    high->setObjectName(QStringLiteral("HighLED"));
    typeGroup_ = new widgets::LedGroup(this);
    typeGroup_->addButton(param);
    typeGroup_->addButton(high);
    connect(typeGroup_, &widgets::LedGroup::selected, this, [this](int index) {
        change(QStringLiteral("type"), [index](TSOS& s) { setLoudnessType(s, index == 1); });
    });
    types->addWidget(param);
    types->addWidget(high);
    types->addStretch(1);
    right->addWidget(type);

    graph_ = new widgets::ResponseGraph(this, kSubSeries);
    graph_->setObjectName(QStringLiteral("LoudnessGraph"));
    graph_->setMinimumSize(420, 260);
    graph_->setXRange(kGraphMinHz, kGraphMaxHz);
    graph_->setYRange(kGraphMinDb, kGraphMaxDb);
    graph_->setTitle(QStringLiteral("SUB Reinforcement"));
    const QColor sub = widgets::ResponseGraph::defaultSeriesColor(kSubOutput);
    graph_->setSeriesPen(kSectionSeries, QPen(sub, 2.0));
    QColor faint = widgets::ResponseGraph::defaultSeriesColor(4);
    faint.setAlpha(kFaintAlpha);
    graph_->setSeriesPen(kSubSeries, QPen(faint, 1.0, Qt::DashLine));
    graph_->setSeriesName(kSectionSeries, QStringLiteral("SUB Reinforcement"));
    graph_->setSeriesName(kSubSeries, QStringLiteral("SUB"));
    right->addWidget(graph_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(realTimeButton());
    right->addLayout(bottom);
    row->addLayout(right, 1);
    layout->addLayout(row, 1);

    showControls();
    draw();
}

QWidget* TLoudnessForm::buildSlider(widgets::CommitSlider*& slider, widgets::RealEdit*& field,
                                    const QString& name, const QString& title,
                                    const QString& unit) {
    auto* box = new widgets::PanelBox(title, this);
    auto* column = new QVBoxLayout(box);
    slider = new widgets::CommitSlider(Qt::Vertical, box);
    slider->setObjectName(name + QStringLiteral("Slider"));
    slider->setMinimumHeight(220);
    bindGesture(slider);
    field = new widgets::RealEdit(box);
    field->setObjectName(name + QStringLiteral("Edit"));
    // A display of the slider's value: the sliders are where the values are set.
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(56);
    auto* value = new QHBoxLayout;
    value->addWidget(field);
    value->addWidget(new QLabel(unit, box));
    column->addWidget(slider, 1, Qt::AlignHCenter);
    column->addLayout(value);
    return box;
}

void TLoudnessForm::openFor(int output) {
    (void)output;
    showControls();
    draw();
    show();
    raise();
    activateWindow();
}

void TLoudnessForm::change(const QString& what, const std::function<void(TSOS&)>& set) {
    edit({QStringLiteral("SUB reinforcement ") + what, {link::EditScope::loudness()}},
         [&set](ProcessorConfig& config) { set(config.Loudness); });
    showControls();
    draw();
}

void TLoudnessForm::showControls() {
    const TSOS& section = config().Loudness;
    const LoudnessControls shown = loudnessControls(section);
    const QSignalBlocker frequency(frequencySlider_);
    const QSignalBlocker gain(gainSlider_);
    frequencySlider_->setPosition(shown.frequencyPosition);
    gainSlider_->setPosition(shown.gainPosition);
    frequencyField_->setValue(section.FrequencyHz);
    gainField_->setValue(section.GainDb);
    typeGroup_->select(shown.highPass ? 1 : 0);
}

void TLoudnessForm::draw() {
    analysis::loudnessCurve(config().Loudness, curves_[0]);
    analysis::crossoverViewCurve(config(), kSubOutput, curves_[1]);
    const ResponseGrid& grid = responseGrid();
    for (int series : {kSectionSeries, kSubSeries}) {
        graph_->setSeriesData(series, grid.GridHz,
                              curves_[static_cast<std::size_t>(series - 1)].MagDb, kGridPoints);
    }
}

void TLoudnessForm::refresh(const ConfigChange& change) {
    if (change.touches(link::EditPart::Loudness)) {
        showControls();
    }
    if (change.touches(link::EditPart::Loudness) ||
        change.touches(link::EditPart::Crossover, kSubOutput)) {
        draw();
    }
}

std::vector<ScreenshotStep> TLoudnessForm::screenshots() {
    return {{QStringLiteral("loudness.png"), [this]() -> QWidget* {
                 // A gentle 6 dB lift at 45 Hz under the SUB low-pass.
                 openFor(0);
                 typeGroup_->button(0)->click();
                 frequencySlider_->setPosition(loudnessFrequencySliderPosition(45.0));
                 gainSlider_->setPosition(loudnessGainSliderPosition(6.0));
                 resize(sizeHint());
                 return this;
             }}};
}

}  // namespace kvn::ui
