#include "ui/editors/TPEQForm.h"

#include "ui/editors/FilterTextActions.h"

#include "config/EqualizerControls.h"
#include "ui/main/ConfigText.h"
#include "ui/main/EditorRegistry.h"
#include "widgets/CommitSlider.h"
#include "widgets/GraphMath.h"
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
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>
#include <vector>

namespace kvn::ui {

namespace {

using widgets::CommitSlider;
using widgets::LedButton;
using widgets::RealEdit;

constexpr double kGraphLowHz = 20.0;
constexpr double kMarkAboveDb = 1.0;
// The readout's unit: " dBs " until a view is chosen, then " dBs" or the degree mark.
const QString kCreationSuffix = QStringLiteral(" dBs ");
const QString kMagnitudeSuffix = QStringLiteral(" dBs");
const QString kPhaseSuffix = QString(QChar(0xBA)) + QLatin1Char(' ');

QString outputCaption(int output) {
    return output == kSubOutput ? QStringLiteral("SUB") : QStringLiteral("OUT %1").arg(output);
}

QLabel* fieldLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

RealEdit* realEdit(const QString& name, const QString& format, double minimum, double maximum,
                   double step, QWidget* parent) {
    auto* edit = new RealEdit(parent);
    edit->setObjectName(name);
    edit->setFormat(format);
    edit->setRange(minimum, maximum);
    edit->setStep(step);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedWidth(edit->fontMetrics().averageCharWidth() * 9);
    return edit;
}

CommitSlider* slider(const QString& name, int minimum, int maximum, int pageStep, QWidget* parent) {
    auto* s = new CommitSlider(Qt::Vertical, parent);
    s->setObjectName(name);
    s->setRange(minimum, maximum);
    s->setPageStep(pageStep);
    s->setMinimumHeight(220);
    return s;
}

}  // namespace

TPEQForm::TPEQForm(EditorContext& context)
    : EditorForm(context, QStringLiteral("TPEQForm"), QStringLiteral("Parametric Equalization")),
      valueSuffix_(kCreationSuffix) {
    graph_ = new widgets::ResponseGraph(this, kOutputCount);
    graph_->setObjectName(QStringLiteral("xygraph1"));
    graph_->setMinimumSize(620, 380);
    graph_->setYRange(-20.0, 20.0);
    graph_->setYTickStep(5.0);
    for (int k = 1; k <= kOutputCount; ++k) {
        graph_->setSeriesName(k, outputTitle(k));
        marks_[static_cast<std::size_t>(k - 1)] = graph_->addMark(1000.0, 0.0, {});
    }
    graph_->canvas()->setFocusPolicy(Qt::StrongFocus);
    graph_->canvas()->installEventFilter(this);
    connect(graph_, &widgets::ResponseGraph::mousePressed, this,
            [this](QPointF at, bool, Qt::MouseButton button) { graphPressed(at, button); });
    connect(graph_, &widgets::ResponseGraph::mouseMoved, this, &TPEQForm::graphMoved);
    connect(graph_, &widgets::ResponseGraph::mouseReleased, this, &TPEQForm::graphReleased);
    connect(graph_, &widgets::ResponseGraph::mouseLeft, this, [this] {
        if (!dragging_) {
            clearReadout();
        }
    });

    auto* middle = new QHBoxLayout;
    middle->addWidget(graph_, 1);
    middle->addWidget(buildBandPanel());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 6);
    layout->addWidget(buildOutputBar());
    layout->addLayout(middle, 1);
    layout->addWidget(buildFooter());

    for (int k = 1; k <= kOutputCount; ++k) {
        drawOutput(k);
    }
    setPhaseView(false);
    valueSuffix_ = kCreationSuffix;
    ModPEQ1Click(1);
    showOutputNames();
    resize(sizeHint());
}

QWidget* TPEQForm::buildOutputBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    auto* outputs = new widgets::PanelBox(QStringLiteral("Edit"), bar);
    auto* outputRow = new QHBoxLayout(outputs);
    outputGroup_ = new widgets::LedGroup(this);
    auto* curves = new widgets::PanelBox(QStringLiteral("Show"), bar);
    auto* curveRow = new QHBoxLayout(curves);
    for (int k = 1; k <= kOutputCount; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        auto* select = new LedButton(outputCaption(k), outputs);
        select->setObjectName(QStringLiteral("ModPEQ%1").arg(k));
        select->setProperty("Tag", k);
        outputGroup_->addButton(select);
        outputRow->addWidget(select);
        outputButtons_[i] = select;

        auto* check = new LedButton(outputCaption(k), curves);
        check->setObjectName(QStringLiteral("VerPEQ%1Check").arg(k));
        check->setProperty("Tag", k);
        check->setLitColor(widgets::ResponseGraph::defaultSeriesColor(k));
        check->setLit(true);
        connect(check, &LedButton::litToggled, this,
                [this, k](bool lit) { setCurveVisible(k, lit); });
        curveRow->addWidget(check);
        curveChecks_[i] = check;
    }

    // After the click has lit its button, as the group keeps it: the handler lights it again.
    connect(outputGroup_, &widgets::LedGroup::selected, this,
            [this](int index) { ModPEQ1Click(index + 1); });

    auto* view = new widgets::PanelBox(QStringLiteral("View"), bar);
    auto* viewRow = new QHBoxLayout(view);
    magButton_ = new LedButton(QStringLiteral("Magnitude"), view);
    magButton_->setObjectName(QStringLiteral("Mag"));
    phaseButton_ = new LedButton(QStringLiteral("Phase"), view);
    phaseButton_->setObjectName(QStringLiteral("Phase"));
    auto* views = new widgets::LedGroup(this);
    views->addButton(magButton_);
    views->addButton(phaseButton_);
    views->select(0);
    connect(views, &widgets::LedGroup::selected, this,
            [this](int index) { setPhaseView(index == 1); });
    viewRow->addWidget(magButton_);
    viewRow->addWidget(phaseButton_);

    row->addWidget(outputs);
    row->addWidget(curves);
    row->addWidget(view);
    row->addStretch(1);
    return bar;
}

QWidget* TPEQForm::buildBandPanel() {
    auto* panel = new widgets::PanelBox(QStringLiteral("Filter"), this);
    auto* grid = new QGridLayout(panel);
    grid->setVerticalSpacing(6);

    bandSpin_ = new widgets::IntSpinEdit(panel);
    bandSpin_->setObjectName(QStringLiteral("SpinFiltro"));
    bandSpin_->setRange(1, kPeqBands);
    connect(bandSpin_, &widgets::IntSpinEdit::valueChanged, this, &TPEQForm::SpinFiltroChange);
    typeCombo_ = new QComboBox(panel);
    typeCombo_->setObjectName(QStringLiteral("TipoFiltroCombo"));
    for (int code = kBypass; code <= kHiPassQ; ++code) {
        typeCombo_->addItem(QString::fromLatin1(filterTypeName(code)));
    }
    connect(typeCombo_, &QComboBox::activated, this, &TPEQForm::TipoFiltroComboChange);
    grid->addWidget(new QLabel(QStringLiteral("Filter Number"), panel), 0, 0, 1, 2);
    grid->addWidget(bandSpin_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Filter Type"), panel), 1, 0, 1, 1);
    grid->addWidget(typeCombo_, 1, 1, 1, 2);

    // One column per value: label, field, slider, and the +-0.1 buttons of Q and gain.
    auto* frequencyLabel = fieldLabel("FrecuenciaLabel", "Frequency\nHz", panel);
    frequencyEdit_ = realEdit("FrecEdit", "0", kPeqMinFrequencyHz, kPeqMaxFrequencyHz, 1.0, panel);
    frequencyEdit_->setMaxTextLength(5);
    frequencySlider_ = slider("FrecSlider", kFrequencySliderMin, kFrequencySliderMax, 400, panel);
    frequencySlider_->setSingleStep(10);
    auto* qLabel = fieldLabel("QLabel", "Q\n", panel);
    qEdit_ = realEdit("QEdit", "0.0", kPeqMinQ, kPeqMaxQ, 0.1, panel);
    qSlider_ = slider("QSlider", kQSliderMin, kQSliderMax, 10, panel);
    qButtons_ = new widgets::SpinButtons(Qt::Horizontal, panel);
    qButtons_->setObjectName(QStringLiteral("QSpinB"));
    auto* gainLabel = fieldLabel("GananciadBLabel", "Gain\ndB", panel);
    gainEdit_ = realEdit("FilterGainEdit", "0.0", kPeqMinGainDb, kPeqMaxGainDb, 0.1, panel);
    gainSlider_ = slider("FilterGainSlider", kGainSliderMin, kGainSliderMax, 10, panel);
    gainButtons_ = new widgets::SpinButtons(Qt::Horizontal, panel);
    gainButtons_->setObjectName(QStringLiteral("GainSpinB"));
    qGroup_ = {qEdit_, qSlider_, qButtons_, qLabel};
    gainGroup_ = {gainEdit_, gainSlider_, gainButtons_, gainLabel};

    const std::array<std::array<QWidget*, 4>, 3> columns{{
        {frequencyLabel, frequencyEdit_, frequencySlider_, nullptr},
        {qLabel, qEdit_, qSlider_, qButtons_},
        {gainLabel, gainEdit_, gainSlider_, gainButtons_},
    }};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        for (std::size_t r = 0; r < columns[c].size(); ++r) {
            if (columns[c][r] != nullptr) {
                grid->addWidget(columns[c][r], static_cast<int>(r) + 2, static_cast<int>(c),
                                Qt::AlignHCenter);
            }
        }
    }
    grid->setRowStretch(4, 1);

    connect(frequencySlider_, &CommitSlider::positionChanged, this, [this](int p) {
        editBand(QStringLiteral("frequency"),
                 [this, p](PeqBand& b) { setBandFrequencyFromSlider(b, p, subEdited()); });
    });
    connect(qSlider_, &CommitSlider::positionChanged, this, [this](int p) {
        editBand(QStringLiteral("Q"), [p](PeqBand& b) { setBandQFromSlider(b, p); });
    });
    connect(gainSlider_, &CommitSlider::positionChanged, this, [this](int p) {
        editBand(QStringLiteral("gain"), [p](PeqBand& b) { setBandGainFromSlider(b, p); });
    });
    for (CommitSlider* s : {frequencySlider_, qSlider_, gainSlider_}) {
        bindGesture(s);
    }
    connect(frequencyEdit_, &RealEdit::committed, this, [this](double hz) {
        editBand(QStringLiteral("frequency"),
                 [this, hz](PeqBand& b) { setBandFrequency(b, hz, subEdited()); });
    });
    connect(qEdit_, &RealEdit::committed, this, [this](double q) {
        editBand(QStringLiteral("Q"), [q](PeqBand& b) { setBandQ(b, q); });
    });
    connect(gainEdit_, &RealEdit::committed, this, [this](double db) {
        editBand(QStringLiteral("gain"), [db](PeqBand& b) { setBandGain(b, db); });
    });
    // A held or refused entry is said on the status line.
    frequencyEdit_->setEntryLimits(
        {" Hz", "is below the lowest frequency", "is above the highest frequency"});
    qEdit_->setEntryLimits({"", "is below the lowest Q", "is above the highest Q"});
    gainEdit_->setEntryLimits({" dB", "is below the lowest gain", "is above the highest gain"});
    for (RealEdit* field : {frequencyEdit_, qEdit_, gainEdit_}) {
        connect(field, &RealEdit::entryReported, this, &TPEQForm::showStatus);
    }
    const auto stepper = [this](const QString& what, void (*step)(PeqBand&, int), int steps) {
        return [this, what, step, steps] {
            editBand(
                what, [step, steps](PeqBand& b) { step(b, steps); }, true);
        };
    };
    connect(qButtons_, &widgets::SpinButtons::up, this, stepper(QStringLiteral("Q"), stepBandQ, 1));
    connect(qButtons_, &widgets::SpinButtons::down, this,
            stepper(QStringLiteral("Q"), stepBandQ, -1));
    connect(gainButtons_, &widgets::SpinButtons::up, this,
            stepper(QStringLiteral("gain"), stepBandGain, 1));
    connect(gainButtons_, &widgets::SpinButtons::down, this,
            stepper(QStringLiteral("gain"), stepBandGain, -1));
    return panel;
}

QWidget* TPEQForm::buildFooter() {
    auto* footer = new QWidget(this);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(0, 0, 0, 0);
    statusBar_ = new QStatusBar(footer);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->hide();
    infoLabel_ = new QLabel(footer);
    infoLabel_->setObjectName(QStringLiteral("InfoLabel"));
    infoLabel_->setToolTip(QStringLiteral("Value at Mouse Position"));
    widgets::fixReadoutSize(infoLabel_, 28);
    row->addWidget(new QLabel(QStringLiteral("Value at Mouse Position:"), footer));
    row->addWidget(infoLabel_);
    row->addStretch(1);
    commandRow_ = new QHBoxLayout;
    row->addLayout(commandRow_);
    // The filter text of measurement and system-equaliser programs, for the edited output.
    auto* exportButton = new QPushButton(QStringLiteral("Export filters..."), footer);
    exportButton->setObjectName(QStringLiteral("ExportFiltersB"));
    connect(exportButton, &QPushButton::clicked, this,
            [this] { exportFilters(context(), editedOutput_); });
    auto* importButton = new QPushButton(QStringLiteral("Import filters..."), footer);
    importButton->setObjectName(QStringLiteral("ImportFiltersB"));
    connect(importButton, &QPushButton::clicked, this,
            [this] { importFilters(context(), editedOutput_); });
    commandRow_->addWidget(exportButton);
    commandRow_->addWidget(importButton);
    // Fitting the edited output's bands to its measured loudspeaker.
    auto* autoEqButton = new QPushButton(QStringLiteral("Auto EQ..."), footer);
    autoEqButton->setObjectName(QStringLiteral("AutoEqB"));
    connect(autoEqButton, &QPushButton::clicked, this,
            [this] { context().editors.open(EditorKind::AutoEq, editedOutput_); });
    commandRow_->addWidget(autoEqButton);
    row->addWidget(realTimeButton());
    return footer;
}

void TPEQForm::openFor(int output) {
    if (output >= 1 && output <= kOutputCount) {
        ModPEQ1Click(output);
    }
    show();
    raise();
    activateWindow();
}

void TPEQForm::ModPEQ1Click(int output) {
    editedOutput_ = output;
    const bool sub = subEdited();
    outputGroup_->select(output - 1);
    {
        const QSignalBlocker blockSpin(bandSpin_);
        const QSignalBlocker blockSlider(frequencySlider_);
        bandSpin_->setRange(1, peqBandCount(output));
        frequencySlider_->setRange(frequencySliderTop(sub), kFrequencySliderMax);
    }
    frequencyEdit_->setRange(kPeqMinFrequencyHz, maxFrequencyHz(sub));
    graph_->setXRange(kGraphLowHz, maxFrequencyHz(sub));
    showTitle();
    SpinFiltroChange(selectedBand());
}

void TPEQForm::SpinFiltroChange(int band) {
    const int output = editedOutput_;
    const int number = std::clamp(band, 1, peqBandCount(output));
    selectedBand_[static_cast<std::size_t>(output - 1)] = number;
    ConfigEdits::Edit selection{
        QStringLiteral("%1 band %2 selected").arg(outputTitle(output)).arg(number),
        {link::EditScope::peqBand(output, number)}};
    selection.record = false;
    edit(selection,
         [output, number](ProcessorConfig& c) { selectEqualizerBand(c, output, number); });
    showBand();
    drawOutput(output);
    emit bandShown(output, number);
}

void TPEQForm::TipoFiltroComboChange(int listIndex) {
    editBand(QStringLiteral("type"), [listIndex](PeqBand& b) { setBandType(b, listIndex); });
}

void TPEQForm::editBand(const QString& what, const std::function<void(PeqBand&)>& change,
                        bool mergeable) {
    const int output = editedOutput_;
    const int number = selectedBand();
    ConfigEdits::Edit e{
        QStringLiteral("%1 band %2 %3").arg(outputTitle(output)).arg(number).arg(what),
        {link::EditScope::peqBand(output, number)}};
    e.mergeable = mergeable;
    edit(e, [&](ProcessorConfig& c) { change(bandInUse(c, output, number)); });
    showBand();
    drawOutput(output);
}

const PeqBand& TPEQForm::currentBand() const {
    return config().output(editedOutput_).band(selectedBand());
}

bool TPEQForm::subEdited() const {
    return editedOutput_ == kSubOutput;
}

void TPEQForm::showBand() {
    const PeqBand& band = currentBand();
    const BandControls controls = bandControlsFor(band.FilterType);
    const QSignalBlocker blockCombo(typeCombo_);
    const QSignalBlocker blockSpin(bandSpin_);
    const QSignalBlocker blockFrequency(frequencySlider_);
    const QSignalBlocker blockQ(qSlider_);
    const QSignalBlocker blockGain(gainSlider_);
    // Codes 15 and 16 stand at list places the list does not have: no entry is shown.
    const int index = filterTypeListIndex(band.FilterType);
    typeCombo_->setCurrentIndex(index < typeCombo_->count() ? index : -1);
    for (QWidget* control : gainGroup_) {
        control->setEnabled(controls.gain);
    }
    for (QWidget* control : qGroup_) {
        control->setEnabled(controls.q);
    }
    qSlider_->setPosition(qSliderPosition(band.Q));
    qEdit_->setValue(band.Q);
    gainSlider_->setPosition(gainSliderPosition(shownGainDb(band)));
    gainEdit_->setValue(shownGainDb(band));
    frequencySlider_->setPosition(frequencySliderPosition(band.FrequencyHz));
    frequencyEdit_->setValue(band.FrequencyHz);
    bandSpin_->setValue(selectedBand());
}

void TPEQForm::drawOutput(int output) {
    ResponseCurve& curve = curves_[static_cast<std::size_t>(output - 1)];
    analysis::equaliserCurve(config().output(output), curve);
    graph_->setSeriesData(output, responseGrid().GridHz, analysis::plottedCurve(curve, view_));
    placeMarks();
}

void TPEQForm::placeMarks() {
    // The marks stand on the magnitude curves; the phase view, which cannot be edited, has none.
    const bool magnitude = view_ == analysis::CurveView::Magnitude;
    const widgets::AxisRange x = graph_->xRange();
    // The edited output's mark first: it keeps its place (in sight, where it is taken hold of)
    // and the others' marks, in their curves' colours, make room for it.
    std::vector<int> order{editedOutput_};
    for (int k = 1; k <= kOutputCount; ++k) {
        if (k != editedOutput_) {
            order.push_back(k);
        }
    }
    std::vector<int> marked;
    std::vector<QPointF> wanted;
    std::vector<widgets::LabelPlace> places;
    for (const int k : order) {
        const auto i = static_cast<std::size_t>(k - 1);
        const PeqBand& band = config().output(k).band(selectedBand_[i]);
        const bool edited = k == editedOutput_;
        const bool shown = magnitude && curveChecks_[i]->isLit() &&
                           (edited || x.strictlyContains(band.FrequencyHz));
        graph_->setMarkText(marks_[i], shown ? QString::number(selectedBand_[i]) : QString());
        if (!shown) {
            continue;
        }
        graph_->setMarkColor(
            marks_[i], edited ? QColor(Qt::white) : widgets::ResponseGraph::defaultSeriesColor(k));
        const QPointF at(widgets::valueInSight(band.FrequencyHz, x),
                         shownGainDb(band) + kMarkAboveDb);
        const QPointF pixel = graph_->coordToPixel(at);
        marked.push_back(k);
        wanted.push_back(at);
        places.push_back({pixel.x(), pixel.y()});
    }
    const QFontMetrics metrics(graph_->font());
    places = widgets::keepLabelsApart(
        std::move(places), metrics.horizontalAdvance(QLatin1Char('7')) + 4.0, metrics.height(),
        graph_->coordToPixel({x.lower, 0.0}).x(), graph_->coordToPixel({x.upper, 0.0}).x());
    for (std::size_t n = 0; n < marked.size(); ++n) {
        QPointF at = graph_->pixelToCoord({places[n].x, places[n].y});
        // Before the graph was first laid out its pixels mean nothing: the marks stand unmoved.
        if (!std::isfinite(at.x()) || !std::isfinite(at.y())) {
            at = wanted[n];
        }
        graph_->moveMark(marks_[static_cast<std::size_t>(marked[n] - 1)], at.x(), at.y());
    }
}

void TPEQForm::showTitle() {
    const QString name = fromConfigText(config().output(editedOutput_).Name).trimmed();
    graph_->setTitle((name.isEmpty() ? outputCaption(editedOutput_) : name) +
                     QStringLiteral(" Equalization"));
}

void TPEQForm::showStatus(const QString& text) {
    statusBar_->showMessage(text);
    infoLabel_->setText(text);
}

void TPEQForm::setPhaseView(bool phase) {
    if (dragging_) {
        graphReleased();
    }
    view_ = phase ? analysis::CurveView::Phase : analysis::CurveView::Magnitude;
    valueSuffix_ = phase ? kPhaseSuffix : kMagnitudeSuffix;
    graph_->setYTitle(phase ? QStringLiteral("Phase") : QStringLiteral("dB"));
    graph_->setYRange(phase ? -180.0 : -20.0, phase ? 180.0 : 20.0);
    graph_->setYTickStep(phase ? 45.0 : 5.0);
    for (int k = 1; k <= kOutputCount; ++k) {
        drawOutput(k);
    }
}

void TPEQForm::setCurveVisible(int output, bool visible) {
    graph_->setSeriesVisible(output, visible);
    placeMarks();
}

bool TPEQForm::onBandPoint(QPointF at) const {
    const PeqBand& band = currentBand();
    return view_ == analysis::CurveView::Magnitude &&
           widgets::bandHit(at.x(), at.y(),
                            widgets::valueInSight(band.FrequencyHz, graph_->xRange()),
                            shownGainDb(band));
}

void TPEQForm::graphPressed(QPointF at, Qt::MouseButton button) {
    if (button != Qt::LeftButton || !onBandPoint(at)) {
        return;
    }
    dragging_ = true;
    beginGesture();
    if (graph_->xRange().strictlyContains(at.x())) {
        showReadout(at);
    }
    dragTo(at);
}

void TPEQForm::graphMoved(QPointF at, bool inside) {
    if (inside) {
        showReadout(at);
    } else {
        clearReadout();
    }
    if (dragging_) {
        dragTo(at);
        return;
    }
    graph_->setCursorShape(inside && onBandPoint(at) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TPEQForm::dragTo(QPointF at) {
    editBand(QStringLiteral("point"),
             [this, at](PeqBand& b) { dragBandTo(b, at.x(), at.y(), subEdited()); });
}

void TPEQForm::graphReleased() {
    if (dragging_) {
        dragging_ = false;
        endGesture();
    }
    clearReadout();
}

void TPEQForm::showEvent(QShowEvent* event) {
    EditorForm::showEvent(event);
    // The marks are kept apart in pixels, which the graph has once it is laid out.
    graph_->replotNow();
    placeMarks();
}

void TPEQForm::hideEvent(QHideEvent* event) {
    // A drag cut short by closing the window still ends its undo step.
    if (dragging_) {
        graphReleased();
    }
    EditorForm::hideEvent(event);
}

void TPEQForm::showReadout(QPointF at) {
    showStatus(QString::fromStdString(widgets::readoutText(
        at.x(), at.y(), widgets::ReadoutValue::General4, valueSuffix_.toStdString())));
}

void TPEQForm::clearReadout() {
    statusBar_->clearMessage();
    infoLabel_->clear();
}

bool TPEQForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != graph_->canvas() || view_ != analysis::CurveView::Magnitude) {
        return EditorForm::eventFilter(watched, event);
    }
    const BandControls controls = bandControlsFor(currentBand().FilterType);
    const auto graphPosition = [this](QPointF canvasPixel) {
        return graph_->pixelToCoord(graph_->canvas()->mapTo(graph_, canvasPixel));
    };
    switch (event->type()) {
        case QEvent::Wheel: {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            const int delta = wheel->angleDelta().y();
            if (!controls.q || delta == 0 || !onBandPoint(graphPosition(wheel->position()))) {
                return false;
            }
            editBand(
                QStringLiteral("Q"), [delta](PeqBand& b) { stepBandQ(b, delta > 0 ? 1 : -1); },
                true);
            return true;
        }
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || !controls.gain ||
                !onBandPoint(graphPosition(mouse->position()))) {
                return false;
            }
            editBand(QStringLiteral("gain"), [](PeqBand& b) { setBandGain(b, 0.0); });
            return true;
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Left || key == Qt::Key_Right) {
                const int steps = key == Qt::Key_Right ? 1 : -1;
                editBand(
                    QStringLiteral("frequency"),
                    [this, steps](PeqBand& b) { stepBandFrequency(b, steps, subEdited()); }, true);
                return true;
            }
            if ((key == Qt::Key_Up || key == Qt::Key_Down) && controls.gain) {
                const int steps = key == Qt::Key_Up ? 1 : -1;
                editBand(
                    QStringLiteral("gain"), [steps](PeqBand& b) { stepBandGain(b, steps); }, true);
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

void TPEQForm::refresh(const ConfigChange& change) {
    for (int k = 1; k <= kOutputCount; ++k) {
        if (change.touches(link::EditPart::PeqBand, k)) {
            drawOutput(k);
        }
    }
    if (change.touches(link::EditPart::PeqBand, editedOutput_)) {
        showBand();
    }
    // A rename of the edited output (a quiet edit of it) shows in the title.
    if (change.touchesOutput(editedOutput_)) {
        showTitle();
    }
}

void TPEQForm::showOutputNames() {
    for (int k = 1; k <= kOutputCount; ++k) {
        const QString name = fromConfigText(config().output(k).Name);
        const QString caption =
            name.isEmpty() ? outputCaption(k) : outputCaption(k) + QStringLiteral(" ") + name;
        outputButtons_[static_cast<std::size_t>(k - 1)]->setCaption(caption);
    }
    showTitle();
}

std::vector<ScreenshotStep> TPEQForm::screenshots() {
    return {{QStringLiteral("equalizer.png"), [this] {
                 struct Example {
                     int output, band, type;
                     double frequencyHz, q, gainDb;
                 };
                 static constexpr std::array<Example, 8> kExamples{{
                     {1, 1, kShelvLow6dB, 150.0, 0.7, -3.0},
                     {1, 2, kParametric, 420.0, 2.0, -4.5},
                     {1, 3, kParametric, 2800.0, 3.5, 3.0},
                     {1, 4, kShelvHigh6dB, 9000.0, 0.7, 2.0},
                     {2, 1, kParametric, 250.0, 1.2, -2.5},
                     {2, 2, kParametric, 4000.0, 2.0, 2.0},
                     {3, 1, kParametric, 48.0, 2.5, 4.0},
                     {3, 2, kParametric, 90.0, 4.0, -3.0},
                 }};
                 for (const Example& e : kExamples) {
                     edit({QStringLiteral("Example band"),
                           {link::EditScope::peqBand(e.output, e.band)}},
                          [e](ProcessorConfig& c) {
                              PeqBand& band = bandInUse(c, e.output, e.band);
                              band.FilterType = static_cast<std::uint8_t>(e.type);
                              band.FrequencyHz = e.frequencyHz;
                              band.Q = e.q;
                              band.GainDb = e.gainDb;
                              loadBandControls(band, e.output == kSubOutput);
                          });
                 }
                 for (int k = 1; k <= kOutputCount; ++k) {
                     drawOutput(k);
                 }
                 openFor(1);
                 bandSpin_->setValue(3);
                 showReadout(QPointF(2800.0, 3.0));
                 return static_cast<QWidget*>(this);
             }}};
}

}  // namespace kvn::ui
