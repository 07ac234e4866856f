#include "ui/editors/TXOVERForm.h"

#include "analysis/CrossoverView.h"
#include "ui/main/ConfigText.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/UserDialogs.h"
#include "widgets/CommitSlider.h"
#include "widgets/IntSpinEdit.h"
#include "widgets/LedButton.h"
#include "widgets/LedGroup.h"
#include "widgets/NumberFormat.h"
#include "widgets/PanelBox.h"
#include "widgets/ReadoutLabel.h"
#include "widgets/RealEdit.h"
#include "widgets/ResponseGraph.h"
#include "widgets/SpinButtons.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvn::ui {

namespace {

constexpr int kHighPassSeries = 4;  // the edited output's edges, after the three outputs
constexpr int kLowPassSeries = 5;
constexpr double kMagnitudeMinDb = -20.0;
constexpr double kMagnitudeMaxDb = 15.0;
constexpr double kPhaseLimit = 180.0;
constexpr double kPhaseTickStep = 45.0;
constexpr double kMagnitudeTickStep = 5.0;
constexpr int kFaintAlpha = 140;

const QString kMagnitudeSuffix = QStringLiteral(" dBs");
const QString kPhaseSuffix = QStringLiteral("\u00BA ");

const char* edgeSuffix(XoverEdge edge) {
    return edge == XoverEdge::L ? "L" : "H";
}

QString controlName(const char* prefix, XoverEdge edge) {
    return QString::fromLatin1(prefix) + QStringLiteral("0") +
           QString::fromLatin1(edgeSuffix(edge));
}

QString edgeTitle(XoverEdge edge) {
    return edge == XoverEdge::L ? QStringLiteral("high-pass") : QStringLiteral("low-pass");
}

QLabel* boldLabel(const QString& text, QWidget* parent, qreal scale = 1.0) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    return label;
}

}  // namespace

TXOVERForm::TXOVERForm(EditorContext& context)
    : EditorForm(context, QStringLiteral("TXOVERForm"), QStringLiteral("CrossOver Configuration")) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(12);

    auto* left = new QVBoxLayout;
    left->setSpacing(8);
    left->addWidget(buildOutputPanel());
    left->addWidget(buildEdge(XoverEdge::L));
    left->addWidget(buildEdge(XoverEdge::H));

    auto* view = new QHBoxLayout;
    auto* magnitude = new widgets::LedButton(QStringLiteral("Magnitude"), this);
    magnitude->setObjectName(QStringLiteral("Magn"));
    auto* phase = new widgets::LedButton(QStringLiteral("Phase"), this);
    phase->setObjectName(QStringLiteral("Phas"));
    viewGroup_ = new widgets::LedGroup(this);
    viewGroup_->addButton(magnitude);
    viewGroup_->addButton(phase);
    viewGroup_->select(0);
    connect(viewGroup_, &widgets::LedGroup::selected, this,
            [this](int index) { showView(index == 1); });
    view->addWidget(magnitude);
    view->addWidget(phase);
    view->addStretch(1);
    left->addLayout(view);
    left->addStretch(1);

    auto* bottom = new QHBoxLayout;
    loudnessButton_ = new QPushButton(QStringLiteral("SUB Reinforcement..."), this);
    loudnessButton_->setObjectName(QStringLiteral("LoudnessB"));
    loudnessButton_->setToolTip(QStringLiteral("The low-frequency reinforcement filter of SUB"));
    connect(loudnessButton_, &QPushButton::clicked, this,
            [this] { this->context().editors.open(EditorKind::Loudness, 0); });
    const auto updateLoudnessButton = [this] {
        loudnessButton_->setEnabled(this->context().editors.has(EditorKind::Loudness));
    };
    connect(&context.editors, &EditorRegistry::changed, this, updateLoudnessButton);
    updateLoudnessButton();
    bottom->addWidget(loudnessButton_);
    bottom->addStretch(1);
    bottom->addWidget(realTimeButton());
    left->addLayout(bottom);

    layout->addLayout(left);
    layout->addWidget(buildGraph(), 1);

    for (int n = 1; n <= kOutputCount; ++n) {
        drawOutput(n);
    }
    chooseOutput(1);
    showOutputNames();
}

QWidget* TXOVERForm::buildOutputPanel() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    panelLabel_ = boldLabel(QString(), panel, 1.4);
    panelLabel_->setObjectName(QStringLiteral("XoverPanelLabel"));
    grid->addWidget(panelLabel_, 0, 0, 1, 3);

    outputGroup_ = new widgets::LedGroup(this);
    const std::array<QString, kOutputCount> captions{
        QStringLiteral("OUT 1"), QStringLiteral("OUT 2"), QStringLiteral("SUB")};
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        auto* choose = new widgets::LedButton(captions[i], panel);
        choose->setObjectName(QStringLiteral("ModXover%1").arg(n));
        choose->setProperty("Tag", n);
        choose->setToolTip(QStringLiteral("Edit the crossover of this output"));
        outputGroup_->addButton(choose);
        outputButtons_[i] = choose;

        nameLabels_[i] = new QLabel(panel);
        nameLabels_[i]->setObjectName(QStringLiteral("Output%1Name2L").arg(n));
        QPalette palette = nameLabels_[i]->palette();
        palette.setColor(QPalette::WindowText,
                         widgets::ResponseGraph::defaultSeriesColor(n).darker(160));
        nameLabels_[i]->setPalette(palette);

        auto* show = new widgets::LedButton(QStringLiteral("Show"), panel);
        show->setObjectName(QStringLiteral("VerXover%1Check").arg(n));
        show->setProperty("Tag", n);
        show->setLit(true);
        showButtons_[i] = show;
        connect(show, &widgets::LedButton::litToggled, this, [this, n](bool lit) {
            graph_->setSeriesVisible(n, lit);
            if (n == output_) {
                drawEdges();
            }
        });

        grid->addWidget(choose, n, 0);
        grid->addWidget(nameLabels_[i], n, 1);
        grid->addWidget(show, n, 2);
    }
    grid->setColumnStretch(1, 1);
    connect(outputGroup_, &widgets::LedGroup::selected, this,
            [this](int index) { chooseOutput(index + 1); });
    return panel;
}

QWidget* TXOVERForm::buildEdge(XoverEdge edge) {
    EdgeControls& c = controls(edge);
    c.box = new widgets::PanelBox(
        edge == XoverEdge::L ? QStringLiteral("High Pass") : QStringLiteral("Low Pass"), this);
    c.box->setObjectName(edge == XoverEdge::L ? QStringLiteral("HighPassBox")
                                              : QStringLiteral("LowPassBox"));
    auto* grid = new QGridLayout(c.box);
    grid->setHorizontalSpacing(8);

    c.family = new QComboBox(c.box);
    c.family->setObjectName(controlName("TipoXCombo", edge));
    c.family->addItems({QStringLiteral("ByPass"), QStringLiteral("ButtW"),
                        QStringLiteral("L-Riley"), QStringLiteral("Bessel")});
    c.family->setToolTip(QStringLiteral("Filter family of the %1 edge").arg(edgeTitle(edge)));

    c.order = new widgets::IntSpinEdit(c.box);
    c.order->setObjectName(controlName("OrdenSpin", edge));
    c.order->setRange(kXoverMinOrder, kXoverMaxOrder);
    c.order->setSingleStep(2);
    c.order->setTypeable(false);

    c.frequency = new widgets::RealEdit(c.box);
    c.frequency->setObjectName(controlName("FrecEdit", edge));
    c.frequency->setFormat(QStringLiteral("0"));
    c.frequency->setRange(kXoverMinFrequencyHz, kXoverMaxFrequencyHz);
    c.frequency->setMaxTextLength(5);
    c.frequency->setMaximumWidth(70);
    c.frequency->setAlignment(Qt::AlignRight);

    c.steps = new widgets::SpinButtons(Qt::Vertical, c.box);
    c.steps->setObjectName(controlName("FrecSpinB", edge));

    c.spin = new widgets::IntSpinEdit(c.box);
    c.spin->setObjectName(controlName("FrecSpin", edge));
    c.spin->setRange(kXoverMinFrequencyHz, kXoverMaxFrequencyHz);
    c.spin->hide();

    c.slider = new widgets::CommitSlider(Qt::Horizontal, c.box);
    c.slider->setObjectName(controlName("FrecSlider", edge));
    c.slider->setRange(0, kXoverSliderSteps);
    c.slider->setPageStep(50);
    c.slider->setMinimumWidth(220);

    auto* frequencyRow = new QHBoxLayout;
    frequencyRow->setSpacing(2);
    frequencyRow->addWidget(c.frequency);
    frequencyRow->addWidget(c.steps);
    frequencyRow->addWidget(new QLabel(QStringLiteral("Hz"), c.box));
    frequencyRow->addStretch(1);

    grid->addWidget(new QLabel(QStringLiteral("Type"), c.box), 0, 0);
    grid->addWidget(c.family, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Order"), c.box), 0, 2);
    grid->addWidget(c.order, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Frequency"), c.box), 1, 0);
    grid->addLayout(frequencyRow, 1, 1, 1, 3);
    grid->addWidget(c.slider, 2, 0, 1, 4);
    grid->addWidget(c.spin, 3, 0);
    grid->setColumnStretch(1, 1);

    connect(c.family, &QComboBox::currentIndexChanged, this,
            [this, edge] { edgeChanged(edge, Control::Family); });
    connect(c.order, &widgets::IntSpinEdit::valueChanged, this,
            [this, edge] { edgeChanged(edge, Control::Order); });
    connect(c.spin, &widgets::IntSpinEdit::valueChanged, this,
            [this, edge] { edgeChanged(edge, Control::Frequency); });
    connect(c.frequency, &widgets::RealEdit::committed, this,
            [this, edge](double hz) { commitFrequency(edge, hz); });
    // The field keeps its previous value; the edge keeps its frequency.
    connect(c.frequency, &widgets::RealEdit::inputRejected, this,
            [this] { this->context().dialogs.error(QStringLiteral("Conversion Error")); });
    connect(c.steps, &widgets::SpinButtons::up, this,
            [this, edge] { commitFrequency(edge, controls(edge).spin->value() + 1); });
    connect(c.steps, &widgets::SpinButtons::down, this,
            [this, edge] { commitFrequency(edge, controls(edge).spin->value() - 1); });
    connect(c.slider, &widgets::CommitSlider::positionChanged, this, [this, edge](int position) {
        // Neighbouring positions share a whole-hertz frequency at the low end: commit only what
        // moves the edge.
        const int hz = xoverFrequencyFromSlider(position);
        if (hz != controls(edge).spin->value()) {
            commitFrequency(edge, hz);
        }
    });
    bindGesture(c.slider);
    return c.box;
}

QWidget* TXOVERForm::buildGraph() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    graph_ = new widgets::ResponseGraph(panel, kLowPassSeries);
    graph_->setObjectName(QStringLiteral("XoverGraph"));
    graph_->setMinimumSize(620, 400);
    graph_->setYRange(kMagnitudeMinDb, kMagnitudeMaxDb);
    graph_->setYTickStep(kMagnitudeTickStep);
    graph_->setYTitle(QStringLiteral("dB"));
    const std::array<QString, kLowPassSeries> names{
        QStringLiteral("OUT 1"), QStringLiteral("OUT 2"), QStringLiteral("SUB"),
        QStringLiteral("High-pass edge"), QStringLiteral("Low-pass edge")};
    for (int s = 1; s <= kLowPassSeries; ++s) {
        graph_->setSeriesName(s, names[static_cast<std::size_t>(s - 1)]);
    }
    for (std::size_t i = 0; i < handleMarks_.size(); ++i) {
        handleMarks_[i] = graph_->addMark(kXoverMinFrequencyHz, 0.0, QString());
    }
    connect(graph_, &widgets::ResponseGraph::mousePressed, this, &TXOVERForm::graphPressed);
    connect(graph_, &widgets::ResponseGraph::mouseMoved, this, &TXOVERForm::graphMoved);
    connect(graph_, &widgets::ResponseGraph::mouseReleased, this, &TXOVERForm::graphReleased);
    connect(graph_, &widgets::ResponseGraph::mouseLeft, this, [this] { infoLabel_->clear(); });
    column->addWidget(graph_, 1);

    auto* readout = new QHBoxLayout;
    readout->addWidget(new QLabel(QStringLiteral("Value at Mouse Position:"), panel));
    infoLabel_ = new QLabel(panel);
    infoLabel_->setObjectName(QStringLiteral("InfoLabel"));
    widgets::fixReadoutSize(infoLabel_, 30);
    readout->addWidget(infoLabel_);
    readout->addStretch(1);
    column->addLayout(readout);
    return panel;
}

TXOVERForm::EdgeControls& TXOVERForm::controls(XoverEdge edge) {
    return edge == XoverEdge::L ? high_ : low_;
}

void TXOVERForm::openFor(int output) {
    if (output >= 1 && output <= kOutputCount) {
        chooseOutput(output);
    }
    show();
    raise();
    activateWindow();
}

void TXOVERForm::chooseOutput(int output) {
    graphReleased();
    output_ = output;
    const bool sub = output == kSubOutput;
    panelLabel_->setText(QStringLiteral("CrossOver %1").arg(output));
    graph_->setTitle(QStringLiteral("OUT %1 CrossOver").arg(output));
    outputGroup_->select(output - 1);

    for (QWidget* control :
         {static_cast<QWidget*>(high_.family), static_cast<QWidget*>(high_.order),
          static_cast<QWidget*>(high_.frequency), static_cast<QWidget*>(high_.steps),
          static_cast<QWidget*>(high_.slider)}) {
        control->setEnabled(!sub);
    }
    low_.family->setItemText(0, sub ? QStringLiteral("-----------") : QStringLiteral("ByPass"));
    const int maximumHz = xoverFrequencyMax(output, XoverEdge::H);
    {
        const QSignalBlocker spin(low_.spin);
        const QSignalBlocker slider(low_.slider);
        low_.spin->setRange(kXoverMinFrequencyHz, maximumHz);
        low_.frequency->setRange(kXoverMinFrequencyHz, maximumHz);
        low_.slider->setRange(0, xoverSliderMaximum(output, XoverEdge::H));
    }

    for (int n = 1; n <= kOutputCount; ++n) {
        const QColor color = widgets::ResponseGraph::defaultSeriesColor(n);
        if (n == output) {
            graph_->setSeriesPen(n, QPen(color, 2.0));
        } else {
            QColor faint = color;
            faint.setAlpha(kFaintAlpha);
            graph_->setSeriesPen(n, QPen(faint, 1.0));
        }
    }
    const QColor edgeColor = widgets::ResponseGraph::defaultSeriesColor(output).lighter(130);
    graph_->setSeriesPen(kHighPassSeries, QPen(edgeColor, 1.0, Qt::DashLine));
    graph_->setSeriesPen(kLowPassSeries, QPen(edgeColor, 1.0, Qt::DotLine));

    showControls();
    drawEdges();
}

void TXOVERForm::edgeChanged(XoverEdge edge, Control control) {
    const int n = output_;
    CrossoverControls c;
    c.familyL = high_.family->currentIndex();
    c.familyH = low_.family->currentIndex();
    c.orderL = high_.order->value();
    c.orderH = low_.order->value();
    c.frequencyL = high_.spin->value();
    c.frequencyH = low_.spin->value();

    const char* what = control == Control::Family  ? "type"
                       : control == Control::Order ? "order"
                                                   : "frequency";
    std::optional<UserMessage> limit;
    edit({QStringLiteral("%1 %2 %3").arg(outputTitle(n), edgeTitle(edge), QLatin1String(what)),
          {link::EditScope::crossover(n)}},
         [&](ProcessorConfig& config) {
             limit = changeCrossoverEdge(config.output(n), n, edge, c);
         });
    // From the configuration: SUB's "-----------" changes nothing, so its list goes back to the
    // edge's family; a frequency the edges' rule moved shows where it went.
    showControls();
    drawOutput(n);
    drawEdges();
    if (limit) {
        context().dialogs.warn(QString::fromStdString(limit->text));
    }
}

void TXOVERForm::commitFrequency(XoverEdge edge, double frequencyHz) {
    controls(edge).spin->setValue(xoverSpinFrequency(frequencyHz, output_, edge));
}

void TXOVERForm::showControls() {
    const CrossoverControls shown = crossoverControlsShown(config().output(output_), output_);
    const bool sub = output_ == kSubOutput;
    for (const XoverEdge edge : {XoverEdge::L, XoverEdge::H}) {
        EdgeControls& c = controls(edge);
        const bool high = edge == XoverEdge::L;
        const int family = high ? shown.familyL : shown.familyH;
        const int hz = high ? shown.frequencyL : shown.frequencyH;
        const QSignalBlocker familyBlock(c.family);
        const QSignalBlocker orderBlock(c.order);
        const QSignalBlocker spinBlock(c.spin);
        const QSignalBlocker sliderBlock(c.slider);
        c.family->setCurrentIndex(family);
        c.order->setValue(high ? shown.orderL : shown.orderH);
        c.order->setEnabled(!(sub && high) && xoverFamilyTakesOrder(family));
        c.spin->setValue(hz);
        c.frequency->setValue(hz);
        // Leave a slider that already stands on the frequency where it is (under the mouse).
        if (xoverFrequencyFromSlider(c.slider->position()) != hz) {
            c.slider->setPosition(xoverSliderPosition(hz));
        }
    }
}

void TXOVERForm::drawOutput(int output) {
    ResponseCurve& curve = curves_[static_cast<std::size_t>(output - 1)];
    analysis::crossoverViewCurve(config(), output, curve);
    const ResponseGrid& grid = responseGrid();
    std::vector<QPointF> points(kGridPoints);
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double y = phase_ ? wrapPhaseDegrees(curve.PhaseRad[k]) : curve.MagDb[k];
        points[k] = QPointF(grid.GridHz[k], y);
    }
    graph_->setSeriesPoints(output, std::move(points));
}

void TXOVERForm::drawEdges() {
    const OutputChannel& channel = config().output(output_);
    const bool visible = showButtons_[static_cast<std::size_t>(output_ - 1)]->isLit();
    const ResponseGrid& grid = responseGrid();
    for (const XoverEdge edge : {XoverEdge::L, XoverEdge::H}) {
        const std::size_t i = edge == XoverEdge::L ? 0 : 1;
        const int series = edge == XoverEdge::L ? kHighPassSeries : kLowPassSeries;
        const TXOVERPB& e = edge == XoverEdge::L ? channel.HighPassEdge : channel.LowPassEdge;
        // SUB's high-pass edge is never sent, and a bypassed edge lies on 0 dB: neither is drawn
        // nor dragged.
        const bool drawn =
            e.XoverType != kXoverBypass && !(output_ == kSubOutput && edge == XoverEdge::L);
        const std::optional<analysis::EdgeHandle> handle =
            drawn ? analysis::edgeHandle(e) : std::nullopt;
        handles_[i] = handle ? std::optional<double>(handle->frequencyHz) : std::nullopt;
        if (!drawn) {
            graph_->clearSeries(series);
        } else {
            analysis::edgeCurve(e, edgeCurves_[i]);
            std::vector<QPointF> points(kGridPoints);
            for (std::size_t k = 0; k < points.size(); ++k) {
                const ResponseCurve& curve = edgeCurves_[i];
                const double y = phase_ ? wrapPhaseDegrees(curve.PhaseRad[k]) : curve.MagDb[k];
                points[k] = QPointF(grid.GridHz[k], y);
            }
            graph_->setSeriesPoints(series, std::move(points));
        }
        graph_->setSeriesVisible(series, visible);
        const bool marked = visible && !phase_ && handle.has_value();
        if (marked) {
            graph_->moveMark(handleMarks_[i], handle->frequencyHz, handle->magnitudeDb);
        }
        graph_->setMarkText(handleMarks_[i], marked ? QStringLiteral("\u25CF") : QString());
    }
}

void TXOVERForm::showView(bool phase) {
    phase_ = phase;
    if (phase) {
        graph_->setYTitle(QStringLiteral("Phase"));
        graph_->setYRange(-kPhaseLimit, kPhaseLimit);
        graph_->setYTickStep(kPhaseTickStep);
    } else {
        graph_->setYTitle(QStringLiteral("dB"));
        graph_->setYRange(kMagnitudeMinDb, kMagnitudeMaxDb);
        graph_->setYTickStep(kMagnitudeTickStep);
    }
    infoLabel_->clear();
    for (int n = 1; n <= kOutputCount; ++n) {
        drawOutput(n);
    }
    chooseOutput(output_);
}

void TXOVERForm::showReadout(QPointF coord, bool inside) {
    if (!inside) {
        infoLabel_->clear();
        return;
    }
    infoLabel_->setText(QString::fromStdString(
        widgets::readoutText(coord.x(), coord.y(), widgets::ReadoutValue::General4,
                             (phase_ ? kPhaseSuffix : kMagnitudeSuffix).toStdString())));
}

void TXOVERForm::graphPressed(QPointF coord, bool inside, Qt::MouseButton button) {
    if (button != Qt::LeftButton || phase_ || !inside) {
        return;
    }
    dragging_ = analysis::hitEdgeHandle(coord.x(), handles_[0], handles_[1]);
    if (dragging_) {
        beginGesture();
        graphMoved(coord, inside);
    }
}

void TXOVERForm::graphMoved(QPointF coord, bool inside) {
    showReadout(coord, inside);
    if (!dragging_) {
        const bool hit = inside && !phase_ &&
                         analysis::hitEdgeHandle(coord.x(), handles_[0], handles_[1]).has_value();
        graph_->setCursorShape(hit ? Qt::PointingHandCursor : Qt::ArrowCursor);
        return;
    }
    if (!(coord.x() > 0.0)) {
        return;
    }
    // The handle stands at the edge's frequency: the edge goes where the pointer is.
    const XoverEdge edge = *dragging_;
    const int hz = xoverSpinFrequency(coord.x(), output_, edge);
    if (hz != controls(edge).spin->value()) {
        commitFrequency(edge, hz);
    }
}

void TXOVERForm::graphReleased() {
    if (dragging_) {
        dragging_.reset();
        endGesture();
    }
}

void TXOVERForm::refresh(const ConfigChange& change) {
    bool edited = false;
    for (int n = 1; n <= kOutputCount; ++n) {
        if (change.touches(link::EditPart::Crossover, n) ||
            (n == kSubOutput && change.touches(link::EditPart::Loudness))) {
            drawOutput(n);
            edited = edited || n == output_;
        }
    }
    if (edited) {
        showControls();
        drawEdges();
    }
}

void TXOVERForm::showOutputNames() {
    for (int n = 1; n <= kOutputCount; ++n) {
        nameLabels_[static_cast<std::size_t>(n - 1)]->setText(
            fromConfigText(config().output(n).Name));
    }
}

std::vector<ScreenshotStep> TXOVERForm::screenshots() {
    return {{QStringLiteral("crossover.png"), [this]() -> QWidget* {
                 // A two-way pair: Output 1 the woofer, Output 2 the tweeter, crossed at 2.2 kHz.
                 const auto set = [this](int output, XoverEdge edge, int family, int order,
                                         int hz) {
                     openFor(output);
                     EdgeControls& c = controls(edge);
                     c.family->setCurrentIndex(family);
                     c.order->setValue(order);
                     commitFrequency(edge, hz);
                 };
                 set(1, XoverEdge::H, 2, 4, 2200);
                 set(1, XoverEdge::L, 1, 2, 45);
                 set(2, XoverEdge::L, 2, 4, 2200);
                 openFor(1);
                 resize(sizeHint());
                 return this;
             }}};
}

}  // namespace kvn::ui
