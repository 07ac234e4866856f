// The response graph's plot and curves, drawn cheaply for a dragging mouse. Only the graph's own
// source includes this header (and with it the plotting library's).
#pragma once

#include <qcustomplot.h>

#include <QImage>

#include <vector>

namespace kvn::widgets {

// A curve. Drawn quickly (without antialiasing, during a drag) a pen wider than one pixel is
// drawn as one-pixel lines side by side: stroking the outline of a wide polyline costs more than
// everything else a move redraws, and the thin lines look the same at the curve's slopes.
//
// A plain line (no fill, marks or selection) is drawn with the pixel column of each frequency
// kept from the last paint: the frequencies of a curve stay the same while a drag changes its
// values, and the logarithm behind each column cost more than the rest of the point. Drawn
// quickly, its points that lie on straight stretches are left out.
class CurveGraph : public QCPGraph {
public:
    using QCPGraph::QCPGraph;

protected:
    void draw(QCPPainter* painter) override;
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;

private:
    // What places a frequency on the key axis.
    struct KeyMapping {
        double lower = 0.0;
        double upper = 0.0;
        int left = 0;
        int width = 0;
        bool reversed = false;
        int scale = -1;
        bool operator==(const KeyMapping&) const = default;
    };
    bool isPlainLine() const;

    KeyMapping mapping_;
    std::vector<double> keys_;
    std::vector<double> columns_;
    QVector<QPointF> lines_;
    QVector<QPointF> thinned_;
};

// The plot with its paint made cheaper. The plain plot fills its background and then blends each
// of its pictures (axes, grid and labels; the curves that stand still; what a drag moves) over it
// on every paint. Here the background and every picture but the top one are put together into
// one opaque picture after each full replot (and when asked, after a replot of a lower layer), so
// that a paint copies it. What the top layer holds is then drawn straight over it on every paint,
// without a picture of its own: filling that picture clear and blending it over the rest cost
// more than drawing the few curves a drag moves. A drag repaints many times between two changes
// of the lower pictures.
class QuickPlot : public QCustomPlot {
public:
    explicit QuickPlot(QWidget* parent);

    // Draws the top layer again: a repaint, or a replot of the whole plot while a lower picture
    // is out of date (first show, resize, a curve moved off a lower layer without its replot).
    void replotTopLayer();
    // Puts the background and the lower pictures together again, after a replot of one of their
    // layers alone.
    void keepBase();
    // Moving a curve from one layer to another marks both layers' pictures as out of date, which
    // makes a replot of either layer a replot of the whole plot. A caller that replots both
    // layers itself keeps the pictures above the lowest one valid with this; the lowest one (the
    // axes and labels), and any picture out of date for another reason there, still make the
    // next replot a whole one.
    void keepUpperPicturesValid();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize basePixels() const;
    bool baseFits() const;
    void composeBase();

    QImage base_;
};

}  // namespace kvn::widgets
