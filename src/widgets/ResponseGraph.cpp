// The response graph on QCustomPlot: its axes, series, marks, mouse and exports (the plot and
// curves it draws with are in QuickPlot).
#include "widgets/ResponseGraph.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <utility>

#include "config/AtomicFile.h"
#include "widgets/NumberFormat.h"
#include "widgets/QuickPlot.h"

namespace kvn::widgets {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDefaultLowerHz = 20.0;
constexpr double kDefaultUpperHz = 20000.0;
constexpr int kAutoTickTarget = 8;

const QColor kBackground(0, 0, 96);
const QColor kAxisColor(210, 210, 230);
const QColor kGridColor(70, 70, 150);
const QColor kSubGridColor(40, 40, 125);
const QColor kReferenceColor(200, 200, 200);

// Ticks and labels of both axes come from GraphMath, so that what is drawn is what is tested.
class GraphTicker : public QCPAxisTicker {
public:
    AxisScale scale = AxisScale::Linear;
    double step = 0.0;

    void generate(const QCPRange& range, const QLocale&, QChar, int, QVector<double>& ticks,
                  QVector<double>* subTicks, QVector<QString>* tickLabels) override {
        const AxisRange r{range.lower, range.upper};
        std::vector<double> major;
        std::vector<double> minor;
        if (scale == AxisScale::Logarithmic) {
            major = logMajorTicks(r);
            minor = logMinorTicks(r);
        } else {
            major = linearTicks(r, step > 0.0 ? step : niceTickStep(r, kAutoTickTarget));
        }
        ticks = QVector<double>(major.begin(), major.end());
        if (subTicks != nullptr) {
            *subTicks = QVector<double>(minor.begin(), minor.end());
        }
        if (tickLabels != nullptr) {
            tickLabels->clear();
            for (const double t : major) {
                tickLabels->append(QString::fromStdString(
                    scale == AxisScale::Logarithmic ? frequencyTickLabel(t) : formatGeneral(t, 6)));
            }
        }
    }
};

QString number(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString withSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

GraphFilePrompts defaultPrompts(QWidget* parent) {
    GraphFilePrompts prompts;
    prompts.askSavePath = [parent](const QString& caption, const QString& suggested,
                                   const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
    };
    prompts.showError = [parent](const QString& message) {
        QMessageBox::warning(parent, QObject::tr("Export"), message);
    };
    return prompts;
}

void styleAxis(QCPAxis* axis) {
    axis->setBasePen(QPen(kAxisColor));
    axis->setTickPen(QPen(kAxisColor));
    axis->setSubTickPen(QPen(kAxisColor));
    axis->setTickLabelColor(kAxisColor);
    axis->setLabelColor(kAxisColor);
    axis->grid()->setPen(QPen(kGridColor, 1, Qt::DotLine));
    axis->grid()->setSubGridPen(QPen(kSubGridColor, 1, Qt::DotLine));
    axis->grid()->setZeroLinePen(Qt::NoPen);
}

GraphTicker* tickerOf(QCPAxis* axis) {
    return static_cast<GraphTicker*>(axis->ticker().data());
}

}  // namespace

struct ResponseGraph::Series {
    QCPGraph* graph = nullptr;
    std::vector<QPointF> points;
    QString name;
    bool dirty = false;
};

ResponseGraph::ResponseGraph(QWidget* parent, int seriesCount)
    : QWidget(parent),
      plot_(new QuickPlot(this)),
      menu_(new QMenu(this)),
      reference_(nullptr),
      title_(new QCPTextElement(plot_)),
      prompts_(defaultPrompts(this)),
      stillLayer_(plot_->layer(QStringLiteral("main"))),
      movingLayer_(nullptr) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);
    plot_->setMouseTracking(true);
    plot_->installEventFilter(this);
    plot_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(plot_, &QWidget::customContextMenuRequested, this, &ResponseGraph::showContextMenu);
    connect(plot_, &QCustomPlot::beforeReplot, this, &ResponseGraph::syncDirtySeries);
    connect(plot_, &QCustomPlot::afterReplot, this, [this] {
        fullReplotQueued_ = false;
        contentReplotQueued_ = false;
        stillReplotQueued_ = false;
        wholeReplotDone_ = true;
    });
    // Three layers with pictures of their own: the axes, grid, labels and title; above them the
    // still layer, where the curves, marks and reference line are made (the plot's current
    // layer); on top the moving layer, which holds what has been changing. The first two pictures
    // are kept put together, so that a paint copies one picture and draws what the moving layer
    // holds over it (its own picture is not used).
    plot_->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    plot_->moveLayer(stillLayer_, plot_->layer(QStringLiteral("overlay")), QCustomPlot::limAbove);
    stillLayer_->setMode(QCPLayer::lmBuffered);
    plot_->addLayer(QStringLiteral("moving"), stillLayer_, QCustomPlot::limAbove);
    movingLayer_ = plot_->layer(QStringLiteral("moving"));
    movingLayer_->setMode(QCPLayer::lmBuffered);

    plot_->plotLayout()->insertRow(0);
    plot_->plotLayout()->addElement(0, 0, title_);
    title_->setLayer(QStringLiteral("axes"));
    title_->setVisible(false);

    for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new GraphTicker));
        styleAxis(axis);
    }
    plot_->xAxis->setScaleType(QCPAxis::stLogarithmic);
    tickerOf(plot_->xAxis)->scale = AxisScale::Logarithmic;
    plot_->xAxis->setRange(kDefaultLowerHz, kDefaultUpperHz);
    plot_->xAxis->setLabel(tr("Frequency"));
    plot_->xAxis->grid()->setSubGridVisible(true);
    tickerOf(plot_->yAxis)->step = yTickStep_;
    plot_->yAxis->setRange(-20.0, 20.0);
    plot_->yAxis->setLabel(tr("dB"));

    // Created before the numbered series so that it is drawn beneath them.
    reference_ = plot_->addGraph();
    reference_->setPen(QPen(kReferenceColor, 1, Qt::DashLine));
    reference_->setVisible(false);

    const int count = std::max(seriesCount, 1);
    for (int n = 1; n <= count; ++n) {
        auto s = std::make_unique<Series>();
        s->graph = new CurveGraph(plot_->xAxis, plot_->yAxis);
        s->graph->setPen(QPen(defaultSeriesColor(n), 1));
        s->name = tr("Series %1").arg(n);
        series_.push_back(std::move(s));
    }
    applyLook();

    QAction* png = menu_->addAction(tr("Save Picture as PNG..."));
    QAction* csv = menu_->addAction(tr("Save Data as CSV..."));
    QAction* copy = menu_->addAction(tr("Copy to Clipboard"));
    connect(png, &QAction::triggered, this, [this] { exportPngInteractive(); });
    connect(csv, &QAction::triggered, this, [this] { exportCsvInteractive(); });
    connect(copy, &QAction::triggered, this, [this] { copyToClipboard(); });
}

ResponseGraph::~ResponseGraph() = default;

void ResponseGraph::applyLook() {
    plot_->setBackground(QBrush(kBackground));
    plot_->axisRect()->setBackground(QBrush(kBackground));
    title_->setTextColor(Qt::white);
    QFont titleFont = font();
    titleFont.setBold(true);
    title_->setFont(titleFont);
}

QColor ResponseGraph::defaultSeriesColor(int series) {
    static const QColor colors[] = {Qt::cyan,  Qt::red,     Qt::yellow,          Qt::white,
                                    Qt::green, Qt::magenta, QColor(255, 160, 0), Qt::lightGray};
    constexpr int kCount = static_cast<int>(std::size(colors));
    const int index = ((std::max(series, 1) - 1) % kCount);
    return colors[index];
}

// --- axes -----------------------------------------------------------------------------------

void ResponseGraph::setXScale(AxisScale scale) {
    if (scale == xScale_) {
        return;
    }
    xScale_ = scale;
    AxisRange range = xRange();
    if (scale == AxisScale::Logarithmic && !range.isValidFor(scale)) {
        if (range.upper > kDefaultLowerHz) {
            range.lower = kDefaultLowerHz;
        } else if (range.upper > 0.0) {
            range.lower = range.upper / 10.0;
        } else {
            range = {kDefaultLowerHz, kDefaultUpperHz};
        }
        plot_->xAxis->setRange(range.lower, range.upper);
    }
    plot_->xAxis->setScaleType(scale == AxisScale::Logarithmic ? QCPAxis::stLogarithmic
                                                               : QCPAxis::stLinear);
    plot_->xAxis->grid()->setSubGridVisible(scale == AxisScale::Logarithmic);
    updateTickers();
    scheduleReplot();
}

AxisScale ResponseGraph::xScale() const {
    return xScale_;
}

bool ResponseGraph::setXRange(double lower, double upper) {
    if (!AxisRange{lower, upper}.isValidFor(xScale_)) {
        return false;
    }
    if (plot_->xAxis->range() == QCPRange(lower, upper)) {
        return true;
    }
    plot_->xAxis->setRange(lower, upper);
    scheduleReplot();
    return true;
}

bool ResponseGraph::setXMinimum(double lower) {
    return setXRange(lower, xRange().upper);
}

bool ResponseGraph::setXMaximum(double upper) {
    return setXRange(xRange().lower, upper);
}

AxisRange ResponseGraph::xRange() const {
    return {plot_->xAxis->range().lower, plot_->xAxis->range().upper};
}

void ResponseGraph::setXTickStep(double step) {
    const double held = std::isfinite(step) ? std::max(step, 0.0) : 0.0;
    if (held == xTickStep_) {
        return;
    }
    xTickStep_ = held;
    updateTickers();
    scheduleReplot();
}

void ResponseGraph::setXTitle(const QString& title) {
    if (plot_->xAxis->label() == title) {
        return;
    }
    plot_->xAxis->setLabel(title);
    scheduleReplot();
}

QString ResponseGraph::xTitle() const {
    return plot_->xAxis->label();
}

bool ResponseGraph::setYRange(double lower, double upper) {
    if (!AxisRange{lower, upper}.isValidFor(AxisScale::Linear)) {
        return false;
    }
    if (plot_->yAxis->range() == QCPRange(lower, upper)) {
        return true;
    }
    plot_->yAxis->setRange(lower, upper);
    scheduleReplot();
    return true;
}

AxisRange ResponseGraph::yRange() const {
    return {plot_->yAxis->range().lower, plot_->yAxis->range().upper};
}

void ResponseGraph::setYTickStep(double step) {
    const double held = std::isfinite(step) ? std::max(step, 0.0) : 0.0;
    if (held == yTickStep_) {
        return;
    }
    yTickStep_ = held;
    updateTickers();
    scheduleReplot();
}

double ResponseGraph::yTickStep() const {
    return yTickStep_;
}

void ResponseGraph::setYTitle(const QString& title) {
    if (plot_->yAxis->label() == title) {
        return;
    }
    plot_->yAxis->setLabel(title);
    scheduleReplot();
}

QString ResponseGraph::yTitle() const {
    return plot_->yAxis->label();
}

void ResponseGraph::updateTickers() {
    tickerOf(plot_->xAxis)->scale = xScale_;
    tickerOf(plot_->xAxis)->step = xTickStep_;
    tickerOf(plot_->yAxis)->step = yTickStep_;
}

void ResponseGraph::setGridVisible(bool visible) {
    plot_->xAxis->grid()->setVisible(visible);
    plot_->yAxis->grid()->setVisible(visible);
    scheduleReplot();
}

void ResponseGraph::setTitle(const QString& title) {
    if (title_->text() == title && title_->visible() == !title.isEmpty()) {
        return;
    }
    title_->setText(title);
    title_->setVisible(!title.isEmpty());
    scheduleReplot();
}

QString ResponseGraph::title() const {
    return title_->text();
}

// --- series ---------------------------------------------------------------------------------

ResponseGraph::Series* ResponseGraph::findSeries(int series, const char* caller) {
    return const_cast<Series*>(std::as_const(*this).findSeries(series, caller));
}

const ResponseGraph::Series* ResponseGraph::findSeries(int series, const char* caller) const {
    if (series < 1 || series > seriesCount()) {
        qWarning("ResponseGraph::%s: no series %d (the graph has %d)", caller, series,
                 seriesCount());
        return nullptr;
    }
    return series_[static_cast<std::size_t>(series - 1)].get();
}

int ResponseGraph::seriesCount() const {
    return static_cast<int>(series_.size());
}

void ResponseGraph::setSeriesPoints(int series, std::vector<QPointF> points) {
    exchangeSeriesPoints(series, points);
}

void ResponseGraph::exchangeSeriesPoints(int series, std::vector<QPointF>& points) {
    if (Series* s = findSeries(series, "setSeriesPoints")) {
        // Views hand over every curve after any change; the same points again cost nothing. The
        // comparison is exact (QPointF's own is fuzzy).
        if (points.size() == s->points.size() &&
            (points.empty() ||
             std::memcmp(points.data(), s->points.data(), points.size() * sizeof(QPointF)) == 0)) {
            return;
        }
        std::swap(s->points, points);
        s->dirty = true;
        contentChanged(s->graph);
    }
}

void ResponseGraph::setSeriesPoint(int series, int index, double x, double y) {
    Series* s = findSeries(series, "setSeriesPoint");
    if (s == nullptr) {
        return;
    }
    // A wild index would otherwise grow the series by millions of gap points.
    if (index < 0 || index >= kMaxSeriesPoints) {
        qWarning("ResponseGraph::setSeriesPoint: no point %d", index);
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    if (i >= s->points.size()) {
        s->points.resize(i + 1, QPointF(kNaN, kNaN));
    }
    s->points[i] = QPointF(x, y);
    s->dirty = true;
    contentChanged(s->graph);
}

void ResponseGraph::clearSeries(int series) {
    setSeriesPoints(series, {});
}

int ResponseGraph::seriesPointCount(int series) const {
    const Series* s = findSeries(series, "seriesPointCount");
    return s == nullptr ? 0 : static_cast<int>(s->points.size());
}

QPointF ResponseGraph::seriesPoint(int series, int index) const {
    const Series* s = findSeries(series, "seriesPoint");
    if (s == nullptr || index < 0 || index >= static_cast<int>(s->points.size())) {
        return {kNaN, kNaN};
    }
    return s->points[static_cast<std::size_t>(index)];
}

void ResponseGraph::setSeriesVisible(int series, bool visible) {
    if (Series* s = findSeries(series, "setSeriesVisible")) {
        if (s->graph->visible() == visible) {
            return;
        }
        s->graph->setVisible(visible);
        scheduleReplot();
    }
}

bool ResponseGraph::isSeriesVisible(int series) const {
    const Series* s = findSeries(series, "isSeriesVisible");
    return s != nullptr && s->graph->visible();
}

void ResponseGraph::setSeriesColor(int series, const QColor& color) {
    if (Series* s = findSeries(series, "setSeriesColor")) {
        if (s->graph->pen().color() == color) {
            return;
        }
        QPen pen = s->graph->pen();
        pen.setColor(color);
        s->graph->setPen(pen);
        scheduleReplot();
    }
}

void ResponseGraph::setSeriesPen(int series, const QPen& pen) {
    if (Series* s = findSeries(series, "setSeriesPen")) {
        if (s->graph->pen() == pen) {
            return;
        }
        s->graph->setPen(pen);
        scheduleReplot();
    }
}

QPen ResponseGraph::seriesPen(int series) const {
    const Series* s = findSeries(series, "seriesPen");
    return s == nullptr ? QPen() : s->graph->pen();
}

void ResponseGraph::setSeriesName(int series, const QString& name) {
    if (Series* s = findSeries(series, "setSeriesName")) {
        s->name = name;
    }
}

QString ResponseGraph::seriesName(int series) const {
    const Series* s = findSeries(series, "seriesName");
    return s == nullptr ? QString() : s->name;
}

void ResponseGraph::syncDirtySeries() {
    for (const auto& s : series_) {
        if (!s->dirty) {
            continue;
        }
        s->dirty = false;
        // A point without an x has no place on the axis; a NaN y is drawn as a gap.
        const auto placed = [](const QPointF& p) { return !std::isnan(p.x()); };
        qsizetype count = 0;
        bool sorted = true;
        double lastX = 0.0;
        for (const QPointF& p : s->points) {
            if (placed(p)) {
                sorted = sorted && (count == 0 || !(p.x() < lastX));
                lastX = p.x();
                ++count;
            }
        }
        QCPGraphDataContainer& container = *s->graph->data();
        if (sorted && count == container.size()) {
            // New values, and mostly the same frequencies, on every move of a drag: written in
            // place, without a new list each time.
            auto at = container.begin();
            for (const QPointF& p : s->points) {
                if (placed(p)) {
                    *at++ = QCPGraphData(p.x(), p.y());
                }
            }
            continue;
        }
        QVector<QCPGraphData> data;
        data.reserve(static_cast<qsizetype>(count));
        for (const QPointF& p : s->points) {
            if (placed(p)) {
                data.append(QCPGraphData(p.x(), p.y()));
            }
        }
        container.set(data, sorted);
    }
}

void ResponseGraph::setReferenceLine(QPointF from, QPointF to) {
    reference_->setData({from.x(), to.x()}, {from.y(), to.y()});
    reference_->setVisible(true);
    contentChanged(reference_);
}

void ResponseGraph::clearReferenceLine() {
    reference_->data()->clear();
    reference_->setVisible(false);
    contentChanged(reference_);
}

bool ResponseGraph::hasReferenceLine() const {
    return reference_->visible();
}

// --- text marks -----------------------------------------------------------------------------

int ResponseGraph::addMark(double x, double y, const QString& text, const QColor& color) {
    auto* item = new QCPItemText(plot_);
    item->position->setType(QCPItemPosition::ptPlotCoords);
    item->position->setCoords(x, y);
    item->setPositionAlignment(Qt::AlignCenter);
    item->setColor(color);
    item->setFont(font());
    item->setText(text);
    item->setClipToAxisRect(true);
    marks_.push_back(item);
    scheduleReplot();
    return static_cast<int>(marks_.size()) - 1;
}

QCPItemText* ResponseGraph::findMark(int id) const {
    if (id < 0 || id >= static_cast<int>(marks_.size())) {
        return nullptr;
    }
    return marks_[static_cast<std::size_t>(id)];
}

void ResponseGraph::moveMark(int id, double x, double y) {
    if (QCPItemText* item = findMark(id)) {
        // Exactly the same place (QPointF's own comparison is fuzzy).
        const QPointF at = item->position->coords();
        if (at.x() == x && at.y() == y) {
            return;
        }
        item->position->setCoords(x, y);
        contentChanged(item);
    }
}

void ResponseGraph::setMarkText(int id, const QString& text) {
    if (QCPItemText* item = findMark(id)) {
        if (item->text() == text) {
            return;
        }
        item->setText(text);
        contentChanged(item);
    }
}

void ResponseGraph::setMarkColor(int id, const QColor& color) {
    if (QCPItemText* item = findMark(id); item != nullptr && item->color() != color) {
        item->setColor(color);
        contentChanged(item);
    }
}

void ResponseGraph::clearMarks() {
    for (QCPItemText* item : marks_) {
        plot_->removeItem(item);
    }
    marks_.clear();
    scheduleReplot();
}

int ResponseGraph::markCount() const {
    return static_cast<int>(marks_.size());
}

QPointF ResponseGraph::markPosition(int id) const {
    const QCPItemText* item = findMark(id);
    return item == nullptr ? QPointF(kNaN, kNaN) : item->position->coords();
}

QString ResponseGraph::markText(int id) const {
    const QCPItemText* item = findMark(id);
    return item == nullptr ? QString() : item->text();
}

// --- coordinates and mouse ------------------------------------------------------------------

// The same geometry QCustomPlot draws with: x runs from the axis rect's left over its width, y
// from its bottom pixel up over its height.
AxisMapping ResponseGraph::xMapping() const {
    const QRect rect = plot_->axisRect()->rect().translated(plot_->pos());
    return {xRange(), xScale_, static_cast<double>(rect.left()),
            static_cast<double>(rect.left() + rect.width())};
}

AxisMapping ResponseGraph::yMapping() const {
    const QRect rect = plot_->axisRect()->rect().translated(plot_->pos());
    return {yRange(), AxisScale::Linear, static_cast<double>(rect.bottom()),
            static_cast<double>(rect.bottom() - rect.height())};
}

QPointF ResponseGraph::pixelToCoord(QPointF pixel) const {
    return {xMapping().toValue(pixel.x()), yMapping().toValue(pixel.y())};
}

QPointF ResponseGraph::coordToPixel(QPointF coord) const {
    return {xMapping().toPixel(coord.x()), yMapping().toPixel(coord.y())};
}

bool ResponseGraph::isInsideAxes(QPointF coord) const {
    return xRange().strictlyContains(coord.x()) && yRange().strictlyContains(coord.y());
}

void ResponseGraph::setCursorShape(Qt::CursorShape shape) {
    plot_->setCursor(shape);
}

QWidget* ResponseGraph::canvas() const {
    return plot_;
}

bool ResponseGraph::eventFilter(QObject* watched, QEvent* event) {
    if (watched != plot_) {
        return QWidget::eventFilter(watched, event);
    }
    const auto type = event->type();
    if (type == QEvent::Leave) {
        emit mouseLeft();
        return false;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF coord = pixelToCoord(plot_->mapTo(this, mouse->position()));
    const bool inside = isInsideAxes(coord);
    // The second press of a double click arrives as a double-click event; it is a press all the
    // same, so that every release has its press.
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        emit mousePressed(coord, inside, mouse->button());
    } else if (type == QEvent::MouseMove) {
        emit mouseMoved(coord, inside);
    } else {
        emit mouseReleased(coord, inside, mouse->button());
    }
    return false;
}

// --- drawing and export ---------------------------------------------------------------------

void ResponseGraph::scheduleReplot() {
    fullReplotQueued_ = true;
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void ResponseGraph::contentChanged(QCPLayerable* what) {
    if (what->layer() == movingLayer_) {
        scheduleContentReplot();
        return;
    }
    // Something on the still picture changed: the still curves are drawn again without it, once,
    // and it moves to the moving layer, so that its next changes redraw it alone.
    what->setLayer(movingLayer_);
    stillReplotQueued_ = true;
    scheduleContentReplot();
}

void ResponseGraph::scheduleContentReplot() {
    // A full replot already on its way draws the content too.
    if (fullReplotQueued_ || contentReplotQueued_) {
        return;
    }
    contentReplotQueued_ = true;
    QMetaObject::invokeMethod(this, &ResponseGraph::replotContent, Qt::QueuedConnection);
}

void ResponseGraph::replotContent() {
    if (!contentReplotQueued_) {
        return;  // a full replot came first
    }
    contentReplotQueued_ = false;
    syncDirtySeries();
    // Each layer replot replots the whole plot instead while the kept pictures are not valid
    // (first show, resize); that also puts the lower pictures together again.
    if (std::exchange(stillReplotQueued_, false)) {
        wholeReplotDone_ = false;
        // Both layers a curve moved between are drawn again here.
        plot_->keepUpperPicturesValid();
        stillLayer_->replot();
        if (wholeReplotDone_) {
            return;  // that drew the moving layer too
        }
        plot_->keepBase();
    }
    plot_->replotTopLayer();
}

void ResponseGraph::setQuickDrawing(bool quick) {
    if (quick_ == quick) {
        return;
    }
    quick_ = quick;
    const QCP::AntialiasedElements coarse = QCP::aePlottables | QCP::aeItems;
    plot_->setNotAntialiasedElements(quick ? coarse : QCP::AntialiasedElements(QCP::aeNone));
    // A drag starts and ends with everything on the still picture: at its start, so that only
    // what the drag changes is redrawn on each move; at its end, so that all is drawn finely.
    bool moved = false;
    for (QCPLayerable* layerable : movingLayer_->children()) {
        layerable->setLayer(stillLayer_);
        moved = true;
    }
    if (moved || !quick) {
        stillReplotQueued_ = true;
        scheduleContentReplot();
    }
}

void ResponseGraph::replotNow() {
    plot_->replot(QCustomPlot::rpImmediateRefresh);
}

namespace {

bool writeWhole(const QString& path, const QByteArray& bytes, QString* error) {
    std::string reason;
    if (writeFileAtomically(path.toStdString(), std::string_view(bytes.data(), bytes.size()),
                            reason)) {
        return true;
    }
    if (error != nullptr) {
        *error = QString::fromStdString(reason);
    }
    return false;
}

}  // namespace

bool ResponseGraph::exportPng(const QString& path, int width, int height, QString* error) {
    syncDirtySeries();
    // The graph's own size, not the plot's: a graph that was never shown has not laid out its
    // plot yet.
    const QImage picture =
        plot_->toPixmap(width > 0 ? width : this->width(), height > 0 ? height : this->height())
            .toImage();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        if (error != nullptr) {
            *error = tr("The picture could not be drawn.");
        }
        return false;
    }
    return writeWhole(path, bytes, error);
}

QString ResponseGraph::csvText() const {
    struct Column {
        std::vector<QPointF> points;  // sorted by x, NaN x left out
        std::size_t next = 0;
    };
    std::vector<Column> columns;
    QString text = csvField(xTitle());
    for (const auto& s : series_) {
        if (!s->graph->visible()) {
            continue;
        }
        text += QLatin1Char(',') + csvField(s->name);
        Column column;
        std::copy_if(s->points.begin(), s->points.end(), std::back_inserter(column.points),
                     [](const QPointF& p) { return !std::isnan(p.x()); });
        std::stable_sort(column.points.begin(), column.points.end(),
                         [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        columns.push_back(std::move(column));
    }
    text += QLatin1Char('\n');
    // A merge over the sorted columns: each row takes the smallest next x; a series that has that
    // x several times (whole-hertz grid points at the low end) fills as many rows.
    for (;;) {
        double x = std::numeric_limits<double>::infinity();
        for (const Column& c : columns) {
            if (c.next < c.points.size()) {
                x = std::min(x, c.points[c.next].x());
            }
        }
        if (std::isinf(x) && x > 0) {
            break;
        }
        text += number(x);
        for (Column& c : columns) {
            text += QLatin1Char(',');
            if (c.next < c.points.size() && c.points[c.next].x() == x) {
                const double y = c.points[c.next].y();
                if (!std::isnan(y)) {
                    text += number(y);
                }
                ++c.next;
            }
        }
        text += QLatin1Char('\n');
    }
    return text;
}

bool ResponseGraph::exportCsv(const QString& path, QString* error) const {
    return writeWhole(path, csvText().toUtf8(), error);
}

std::unique_ptr<QMimeData> ResponseGraph::clipboardData() {
    syncDirtySeries();
    auto data = std::make_unique<QMimeData>();
    data->setImageData(plot_->toPixmap(width(), height()).toImage());
    data->setText(csvText());
    return data;
}

void ResponseGraph::copyToClipboard() {
    QGuiApplication::clipboard()->setMimeData(clipboardData().release());
}

void ResponseGraph::setFilePrompts(GraphFilePrompts prompts) {
    if (!prompts.askSavePath || !prompts.showError) {
        const GraphFilePrompts defaults = defaultPrompts(this);
        if (!prompts.askSavePath) {
            prompts.askSavePath = defaults.askSavePath;
        }
        if (!prompts.showError) {
            prompts.showError = defaults.showError;
        }
    }
    prompts_ = std::move(prompts);
}

bool ResponseGraph::exportInteractive(const QString& caption, const QString& suffix,
                                      const QString& failure,
                                      const std::function<bool(const QString&, QString*)>& write) {
    const QString path =
        prompts_.askSavePath(caption, QStringLiteral("graph.") + suffix,
                             suffix.toUpper() + QStringLiteral(" (*.") + suffix + QLatin1Char(')'));
    if (path.isEmpty()) {
        return false;
    }
    const QString target = withSuffix(path, suffix);
    QString reason;
    if (!write(target, &reason)) {
        prompts_.showError(failure.arg(target, reason));
        return false;
    }
    return true;
}

bool ResponseGraph::exportPngInteractive() {
    return exportInteractive(
        tr("Save Picture"), QStringLiteral("png"), tr("The picture could not be written to %1: %2"),
        [this](const QString& path, QString* error) { return exportPng(path, 0, 0, error); });
}

bool ResponseGraph::exportCsvInteractive() {
    return exportInteractive(
        tr("Save Data"), QStringLiteral("csv"), tr("The data could not be written to %1: %2"),
        [this](const QString& path, QString* error) { return exportCsv(path, error); });
}

QMenu* ResponseGraph::contextMenu() const {
    return menu_;
}

void ResponseGraph::showContextMenu(QPoint position) {
    menu_->popup(plot_->mapToGlobal(position));
}

QCustomPlot* ResponseGraph::plot() const {
    return plot_;
}

QString plotLibraryVersion() {
    return QStringLiteral(QCUSTOMPLOT_VERSION_STR);
}

}  // namespace kvn::widgets
