#include "ui/analysis/TFinalResponseForm.h"

#include "ui/analysis/MeasurementImportService.h"
#include "ui/main/ConfigText.h"
#include "ui/main/EditorRegistry.h"
#include "widgets/LedButton.h"
#include "widgets/LedGroup.h"
#include "widgets/PanelBox.h"
#include "widgets/ReadoutLabel.h"
#include "widgets/ResponseGraph.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

constexpr double kMinHz = 20.0;
constexpr double kMaxHz = 20000.0;
constexpr double kMagnitudeLimitDb = 20.0;
constexpr double kMagnitudeStepDb = 5.0;
constexpr double kPhaseLimitDeg = 180.0;
constexpr double kPhaseStepDeg = 45.0;
constexpr double kPenWidth = 1.0;
constexpr double kAddPenWidth = 2.0;

struct InfluenceBox {
    const char* name;
    const char* caption;
    const char* edit;  // the edit's description
};
constexpr std::array<InfluenceBox, analysis::kInfluenceCount> kInfluenceBoxes = {{
    {"SpkData", "SPEAKERS DATA", "speakers data"},
    {"PEQBox", "PEQS", "PEQS"},
    {"XOVERBox", "XOVER", "XOVER"},
    {"GAINBox", "GAIN", "GAIN"},
    {"DelayBox", "DELAY", "DELAY"},
}};
constexpr std::array<const char*, TFinalResponseForm::kAddSeries> kCurveCaptions = {"OUT1", "OUT2",
                                                                                    "SUB1", "ADD"};

}  // namespace

TFinalResponseForm::TFinalResponseForm(EditorContext& context,
                                       const MeasurementImportService& service)
    : EditorForm(context, QStringLiteral("TFinalResponseForm"), QStringLiteral("Final Response")),
      service_(service),
      graph_(new widgets::ResponseGraph(this)),
      modes_(new widgets::LedGroup(this)),
      readout_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);

    graph_->setObjectName(QStringLiteral("FinalGraph"));
    graph_->setMinimumSize(640, 400);
    graph_->setTitle(QStringLiteral("Final Frequency Response"));
    graph_->setXRange(kMinHz, kMaxHz);
    graph_->setYRange(-kMagnitudeLimitDb, kMagnitudeLimitDb);
    graph_->setYTickStep(kMagnitudeStepDb);
    graph_->setYTitle(QStringLiteral("dB's"));
    for (int series = 1; series <= kAddSeries; ++series) {
        graph_->setSeriesPen(series, QPen(widgets::ResponseGraph::defaultSeriesColor(series),
                                          series == kAddSeries ? kAddPenWidth : kPenWidth));
    }
    graph_->setSeriesName(kAddSeries, QStringLiteral("ADD"));
    connect(graph_, &widgets::ResponseGraph::mouseMoved, this, &TFinalResponseForm::showReadout);
    connect(graph_, &widgets::ResponseGraph::mouseLeft, readout_, &QLabel::clear);
    layout->addWidget(graph_, 1);

    auto* side = new QVBoxLayout;
    auto* influenceBox = new widgets::PanelBox(QStringLiteral("Influences"), this);
    auto* influenceColumn = new QVBoxLayout(influenceBox);
    for (std::size_t i = 0; i < influences_.size(); ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kInfluenceBoxes[i].caption), influenceBox);
        box->setObjectName(QString::fromLatin1(kInfluenceBoxes[i].name));
        influences_[i] = box;
        influenceColumn->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            edit({QStringLiteral("Total response ") + QString::fromLatin1(kInfluenceBoxes[i].edit),
                  {link::EditScope::quiet()}},
                 [i, on](ProcessorConfig& c) { c.ResponseView[i] = on; });
        });
    }
    side->addWidget(influenceBox);

    auto* curveBox = new widgets::PanelBox(QStringLiteral("Curves"), this);
    auto* curveColumn = new QVBoxLayout(curveBox);
    for (int series = 1; series <= kAddSeries; ++series) {
        auto* button = new widgets::LedButton(
            QString::fromLatin1(kCurveCaptions[static_cast<std::size_t>(series - 1)]), curveBox);
        button->setObjectName(QStringLiteral("Via%1").arg(series));
        button->setLitColor(widgets::ResponseGraph::defaultSeriesColor(series));
        button->setLit(true);
        curveSwitches_[static_cast<std::size_t>(series - 1)] = button;
        connect(button, &widgets::LedButton::litToggled, this,
                [this, series](bool lit) { graph_->setSeriesVisible(series, lit); });
        curveColumn->addWidget(button);
    }
    side->addWidget(curveBox);

    auto* modeBox = new widgets::PanelBox(QStringLiteral("Mode"), this);
    auto* modeRow = new QHBoxLayout(modeBox);
    auto* mag = new widgets::LedButton(QStringLiteral("Mag"), modeBox);
    mag->setObjectName(QStringLiteral("Mag"));
    auto* phase = new widgets::LedButton(QStringLiteral("Phase"), modeBox);
    phase->setObjectName(QStringLiteral("Phase"));
    modes_->addButton(mag);
    modes_->addButton(phase);
    modes_->select(0);
    connect(modes_, &widgets::LedGroup::selected, this,
            [this](int index) { setPhaseMode(index == 1); });
    modeRow->addWidget(mag);
    modeRow->addWidget(phase);
    side->addWidget(modeBox);

    auto* readoutBox = new widgets::PanelBox(QStringLiteral("Value at Mouse Position"), this);
    auto* readoutColumn = new QVBoxLayout(readoutBox);
    readout_->setObjectName(QStringLiteral("InfoLabel"));
    widgets::fixReadoutSize(readout_, 24);
    readoutColumn->addWidget(readout_);
    side->addWidget(readoutBox);

    auto* import = new QPushButton(QStringLiteral("Import Data"), this);
    import->setObjectName(QStringLiteral("ImportB"));
    connect(import, &QPushButton::clicked, this,
            [this] { this->context().editors.open(EditorKind::Import, 0); });
    side->addWidget(import);
    auto* align = new QPushButton(QStringLiteral("Align..."), this);
    align->setObjectName(QStringLiteral("AlignB"));
    connect(align, &QPushButton::clicked, this,
            [this] { this->context().editors.open(EditorKind::Align, 0); });
    side->addWidget(align);
    side->addStretch(1);
    side->addWidget(realTimeButton(), 0, Qt::AlignRight);
    layout->addLayout(side);

    // Every change anywhere, this window's own included, and every import: recomputed once per
    // event-loop turn, also while hidden.
    connect(&context.edits, &ConfigEdits::changed, this, &TFinalResponseForm::scheduleRecompute);
    showInfluences();
    showOutputNames();
    DibujaFinalResponse();
}

void TFinalResponseForm::scheduleRecompute() {
    if (pending_) {
        return;
    }
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_) {
            DibujaFinalResponse();
        }
    });
}

void TFinalResponseForm::DibujaFinalResponse() {
    pending_ = false;
    blocks_.update(config());
    analysis::computeTotalResponse(config(), service_.curves(), blocks_, parts_, response_);
    ++computations_;
    plot();
}

void TFinalResponseForm::plot() {
    const auto& hz = responseGrid().GridHz;
    for (std::size_t o = 0; o < kOutputCount; ++o) {
        graph_->setSeriesData(static_cast<int>(o + 1), hz,
                              phaseMode_ ? response_.phaseDeg[o] : response_.plottedDb[o]);
    }
    graph_->setSeriesData(kAddSeries, hz, phaseMode_ ? response_.addPhaseDeg : response_.addDb);
}

void TFinalResponseForm::setPhaseMode(bool phase) {
    phaseMode_ = phase;
    graph_->setYTitle(phase ? QStringLiteral("Phase") : QStringLiteral("dB"));
    const double limit = phase ? kPhaseLimitDeg : kMagnitudeLimitDb;
    graph_->setYRange(-limit, limit);
    graph_->setYTickStep(phase ? kPhaseStepDeg : kMagnitudeStepDb);
    readout_->clear();
    plot();
}

void TFinalResponseForm::showReadout(QPointF coord, bool inside) {
    if (!inside) {
        readout_->clear();
        return;
    }
    readout_->setText(
        QString::fromStdString(analysis::totalResponseReadout(coord.x(), coord.y(), phaseMode_)));
}

void TFinalResponseForm::showInfluences() {
    for (std::size_t i = 0; i < influences_.size(); ++i) {
        const QSignalBlocker block(influences_[i]);
        influences_[i]->setChecked(config().ResponseView[i]);
    }
}

void TFinalResponseForm::showOutputNames() {
    for (int series = 1; series <= kOutputCount; ++series) {
        graph_->setSeriesName(series, fromConfigText(config().output(series).Name));
    }
}

void TFinalResponseForm::refresh(const ConfigChange& change) {
    if (change.whole || change.touches(link::EditPart::Quiet)) {
        showInfluences();
        showOutputNames();
    }
}

void TFinalResponseForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        DibujaFinalResponse();
    }
    EditorForm::changeEvent(event);
}

void TFinalResponseForm::openFor(int output) {
    (void)output;
    showInfluences();
    showOutputNames();
    DibujaFinalResponse();
    show();
    raise();
    activateWindow();
}

}  // namespace kvn::ui
