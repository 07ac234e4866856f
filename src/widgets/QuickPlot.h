// The response graph's plot and curves, drawn cheaply for a dragging mouse. Only the graph's own
// source includes this header (and with it the plotting library's).
#pragma once

#include <qcustomplot.h>

#include <QImage>

namespace kvn::widgets {

// A curve. Drawn quickly (without antialiasing, during a drag) a pen wider than one pixel is
// drawn as one-pixel lines side by side: stroking the outline of a wide polyline costs more than
// everything else a move redraws, and the thin lines look the same at the curve's slopes.
class CurveGraph : public QCPGraph {
public:
    using QCPGraph::QCPGraph;

protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};

// The plot with its paint made cheaper. The plain plot fills its background and then blends each
// of its two pictures (axes, grid, labels and the curves that stand still beneath; what a drag
// moves on top) over it on every paint. Here the background and the lower picture are put
// together once, after each full replot, into one opaque picture that a paint copies; only the
// upper picture is blended. A drag repaints many times between two full replots.
class QuickPlot : public QCustomPlot {
public:
    explicit QuickPlot(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void keepBase();
    QSize basePixels() const;

    QImage base_;
};

}  // namespace kvn::widgets
