// The x/y graph of every response view: a frequency axis (logarithmic, or linear for level
// curves), a linear y axis, numbered series, a dashed reference line, text marks, the position
// under the mouse in graph coordinates, and export of the picture and the data.
#pragma once

#include <QColor>
#include <QPen>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <ranges>
#include <vector>

#include "widgets/GraphMath.h"

class QCPGraph;
class QCPItemText;
class QCPLayer;
class QCPLayerable;
class QCPTextElement;
class QCustomPlot;
class QMenu;
class QMimeData;

namespace kvn::widgets {

class QuickPlot;

// What the graph asks of the user when it exports. Tests put answers in; the defaults use a save
// file dialog and a warning message box.
struct GraphFilePrompts {
    // Returns the chosen path, or an empty string when the user cancels.
    std::function<QString(const QString& caption, const QString& suggestedPath,
                          const QString& filter)>
        askSavePath;
    std::function<void(const QString& message)> showError;
};

// Series are numbered from 1, as the windows name them (series 1 is Output 1, series 4 "ADD").
// A call naming a series that does not exist is ignored (and logged). Every change schedules one
// queued replot, so many changes in one event-loop turn (a drag updating four series point by
// point) cost one redraw; replotNow() draws at once. A change of the curves, the marks or the
// reference line alone redraws only them over the kept picture of the axes and the grid.
//
// Pixel positions are in this widget's coordinates and follow the layout of the last replot, that
// is what is on screen (call replotNow() after resizing or changing the axes when converting
// before the next paint).
class ResponseGraph : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDefaultSeriesCount = 4;

    // A graph with `seriesCount` empty series (at least 1), a logarithmic x axis from 20 Hz to
    // 20 kHz titled "Frequency", a y axis from -20 to 20 dB in steps of 5 titled "dB", grid lines
    // on, the program's dark blue background; series 1 to 4 are cyan, red, yellow and white.
    explicit ResponseGraph(QWidget* parent = nullptr, int seriesCount = kDefaultSeriesCount);
    ~ResponseGraph() override;

    // --- axes ---------------------------------------------------------------------------------
    // Switching the x axis to logarithmic with a lower end that is not positive moves the lower
    // end to 20 Hz (or below the upper end when that is lower).
    void setXScale(AxisScale scale);
    AxisScale xScale() const;
    // A range that is not valid for the axis's scale (lower >= upper, a logarithmic lower end not
    // above 0, not finite) is refused and the call returns false.
    bool setXRange(double lower, double upper);
    bool setXMinimum(double lower);
    bool setXMaximum(double upper);
    AxisRange xRange() const;
    // Tick step of a linear x axis; 0 chooses a readable step. A logarithmic axis always ticks at
    // 1, 2 and 5 times the powers of ten, labelled "20", "500", "1k", "20k".
    void setXTickStep(double step);
    void setXTitle(const QString& title);
    QString xTitle() const;

    bool setYRange(double lower, double upper);
    AxisRange yRange() const;
    // 0 chooses a readable step.
    void setYTickStep(double step);
    double yTickStep() const;
    void setYTitle(const QString& title);
    QString yTitle() const;

    // Grid lines at the ticks (and at the minor ticks of a logarithmic axis).
    void setGridVisible(bool visible);
    // The title above the plot; an empty title hides it.
    void setTitle(const QString& title);
    QString title() const;

    // Default colour of series n (1-based): cyan, red, yellow, white, then
    // green, magenta, orange, light grey, repeating.
    static QColor defaultSeriesColor(int series);

    // --- series -------------------------------------------------------------------------------
    int seriesCount() const;
    // Replaces all points of a series. Points need not be sorted; lines join them in order of x.
    void setSeriesPoints(int series, std::vector<QPointF> points);
    // Replaces the points of a series from two arrays of numbers (any arithmetic element type):
    // point i is (x[i], y[i]) for i below the smaller size and below `count` (the response arrays
    // are larger than the 401 grid points they hold).
    template <std::ranges::sized_range XRange, std::ranges::sized_range YRange>
    void setSeriesData(int series, const XRange& x, const YRange& y,
                       std::size_t count = static_cast<std::size_t>(-1));
    // Sets point `index` (0-based) of a series. Setting the point just past the end appends;
    // further past, the points in between are (NaN, NaN) and not drawn. A negative index, or one
    // of kMaxSeriesPoints or more, is ignored (and logged).
    static constexpr int kMaxSeriesPoints = 1 << 20;
    void setSeriesPoint(int series, int index, double x, double y);
    // Removes every point of a series.
    void clearSeries(int series);
    int seriesPointCount(int series) const;
    // Point `index` of a series; (NaN, NaN) when there is no such point.
    QPointF seriesPoint(int series, int index) const;

    void setSeriesVisible(int series, bool visible);
    bool isSeriesVisible(int series) const;
    void setSeriesColor(int series, const QColor& color);
    void setSeriesPen(int series, const QPen& pen);
    QPen seriesPen(int series) const;
    // Used as the column heading of the CSV export ("Series n" by default).
    void setSeriesName(int series, const QString& name);
    QString seriesName(int series) const;

    // A dashed straight line from `from` to `to` in graph coordinates (the diagonal of a level
    // curve); drawn under the series, never exported as data.
    void setReferenceLine(QPointF from, QPointF to);
    void clearReferenceLine();
    bool hasReferenceLine() const;

    // --- text marks ---------------------------------------------------------------------------
    // A text centred on graph position (x, y), clipped to the plot area. Returns the mark's id,
    // valid until clearMarks().
    int addMark(double x, double y, const QString& text, const QColor& color = Qt::white);
    // Unknown ids are ignored.
    void moveMark(int id, double x, double y);
    void setMarkText(int id, const QString& text);
    void setMarkColor(int id, const QColor& color);
    void clearMarks();
    int markCount() const;
    // Position of a mark; (NaN, NaN) for an unknown id.
    QPointF markPosition(int id) const;
    QString markText(int id) const;

    // --- coordinates and mouse ----------------------------------------------------------------
    QPointF pixelToCoord(QPointF pixel) const;
    QPointF coordToPixel(QPointF coord) const;
    // True when x and y lie strictly inside the axis ranges (the ends are outside).
    bool isInsideAxes(QPointF coord) const;
    // The pointer shape over the plot: a hand over a draggable point, the arrow otherwise.
    void setCursorShape(Qt::CursorShape shape);
    // The widget that receives the mouse, the wheel and the keys over the plot and paints it
    // (for event filters, focus and benchmarks). Positions on it map with pixelToCoord() after
    // QWidget::mapTo(graph).
    QWidget* canvas() const;

    // --- drawing and export -------------------------------------------------------------------
    void scheduleReplot();
    void replotNow();
    // Curves and marks drawn without antialiasing, for as long as a drag lasts; turned off, they
    // are drawn finely again.
    void setQuickDrawing(bool quick);

    // Writes the graph to a PNG file, `width` x `height` pixels (0 takes the graph's size; a graph
    // that is hidden draws as well). The file is replaced only when all of it was written; false
    // when it cannot be, with the system's reason in `error` when given.
    bool exportPng(const QString& path, int width = 0, int height = 0, QString* error = nullptr);
    // The visible series as CSV: a heading row (x axis title, then each visible series' name),
    // then one row per distinct x in increasing order with each series' y at that x, or an empty
    // cell where a series has no point there or its value is NaN. Numbers are written in the
    // shortest form that reads back exactly, with '.' as the decimal point.
    QString csvText() const;
    // Writes csvText() to a file, replaced only when all of it was written; false when it cannot
    // be, with the system's reason in `error` when given.
    bool exportCsv(const QString& path, QString* error = nullptr) const;

    // The picture (the graph's size) and csvText() as one clipboard entry: a program that takes
    // pictures pastes the graph, a text editor or a spreadsheet the numbers. The caller owns it.
    std::unique_ptr<QMimeData> clipboardData();
    // Puts clipboardData() on the system clipboard.
    void copyToClipboard();

    void setFilePrompts(GraphFilePrompts prompts);
    // The context menu's actions: ask for a path, export, report a failure. False when the user
    // cancelled or the export failed.
    bool exportPngInteractive();
    bool exportCsvInteractive();
    // The context menu ("Save Picture as PNG...", "Save Data as CSV...", "Copy to Clipboard"),
    // shown on a right click.
    QMenu* contextMenu() const;

    // The plot behind this graph, for what this class does not offer. Including qcustomplot.h is
    // slow; do it only where needed.
    QCustomPlot* plot() const;

signals:
    // Mouse press, move and release over the plot: the position in graph coordinates and whether
    // it lies strictly inside both axis ranges. Moves are reported with and without a button held.
    void mousePressed(QPointF coord, bool insideAxes, Qt::MouseButton button);
    void mouseMoved(QPointF coord, bool insideAxes);
    void mouseReleased(QPointF coord, bool insideAxes, Qt::MouseButton button);
    // The pointer left the graph (readouts clear themselves).
    void mouseLeft();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Series;

    Series* findSeries(int series, const char* caller);
    const Series* findSeries(int series, const char* caller) const;
    AxisMapping xMapping() const;
    AxisMapping yMapping() const;
    void applyLook();
    QCPItemText* findMark(int id) const;
    void updateTickers();
    void syncDirtySeries();
    // Puts `points` in as the series' points when they differ from them, and leaves the points
    // they replace (or, unchanged, the ones given) in `points`, to be filled again.
    void exchangeSeriesPoints(int series, std::vector<QPointF>& points);
    // After a change of one curve, mark or the reference line.
    void contentChanged(QCPLayerable* what);
    // After a change of what the moving layer holds only.
    void scheduleContentReplot();
    void replotContent();
    void showContextMenu(QPoint position);
    // Asks for a path (adding `suffix` when it has none), writes, reports a failure with
    // `failure` (%1 is the path, %2 the reason).
    bool exportInteractive(const QString& caption, const QString& suffix, const QString& failure,
                           const std::function<bool(const QString&, QString*)>& write);

    QuickPlot* plot_;
    QMenu* menu_;
    std::vector<std::unique_ptr<Series>> series_;
    std::vector<QCPItemText*> marks_;
    QCPGraph* reference_;
    QCPTextElement* title_;
    AxisScale xScale_ = AxisScale::Logarithmic;
    double xTickStep_ = 0.0;
    double yTickStep_ = 5.0;
    GraphFilePrompts prompts_;
    // Filled by setSeriesData, so that curves handed over on every move allocate nothing.
    std::vector<QPointF> spare_;
    // The curves, marks and reference line lie on the still layer, drawn into one picture with
    // the axes and grid; while a drag lasts, each one that changes moves to the moving layer,
    // which is the only one drawn again on the next moves.
    QCPLayer* stillLayer_;
    QCPLayer* movingLayer_;
    bool quick_ = false;
    bool stillReplotQueued_ = false;
    bool wholeReplotDone_ = false;
    bool fullReplotQueued_ = false;
    bool contentReplotQueued_ = false;
};

template <std::ranges::sized_range XRange, std::ranges::sized_range YRange>
void ResponseGraph::setSeriesData(int series, const XRange& x, const YRange& y, std::size_t count) {
    const std::size_t n = std::min({std::ranges::size(x), std::ranges::size(y), count});
    spare_.clear();
    spare_.reserve(n);
    auto xi = std::ranges::begin(x);
    auto yi = std::ranges::begin(y);
    for (std::size_t i = 0; i < n; ++i, ++xi, ++yi) {
        spare_.emplace_back(static_cast<double>(*xi), static_cast<double>(*yi));
    }
    exchangeSeriesPoints(series, spare_);
}

// The version of the plotting library the graph is built with ("2.1.0"), for the about window.
QString plotLibraryVersion();

}  // namespace kvn::widgets
