// The report's graphs: a frame with a grid, labelled axes and a legend, and curves told apart by
// dash pattern and weight so that they read on a black-and-white page; and the curves of a
// configuration (equaliser, crossover, total response, dynamics) as series to draw.
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

#include "analysis/TotalResponse.h"
#include "config/ProcessorConfig.h"

class QPainter;

namespace kvn::report {

struct GraphSeries {
    QString name;  // in the legend; empty: not listed
    QVector<QPointF> points;
    Qt::PenStyle style = Qt::SolidLine;
    double width = 3.0;  // in the painter's units
    bool grey = false;   // a reference line, drawn behind the others
};

struct GraphAxes {
    QString title;
    bool logFrequency = true;  // x: 20 Hz .. 20 kHz with 1-2-5 ticks; else linear
    double xMin = 20.0;
    double xMax = 20000.0;
    double xStep = 10.0;  // linear x only
    double yMin = -24.0;
    double yMax = 12.0;
    double yStep = 6.0;
    QString xUnit = QStringLiteral("Hz");
    QString yUnit = QStringLiteral("dB");
};

// Draws the frame, grid, tick labels, the series clipped to the plot and the legend into `area`
// with the painter's current font; sizes follow the font's height. Points that are not finite
// break the curve.
void drawGraph(QPainter& painter, const QRectF& area, const GraphAxes& axes,
               const QList<GraphSeries>& series);

// A y range in whole `step`s that holds every point of `series` (at least `minSpan`, at most
// `maxSpan` below the top), for the graphs whose levels depend on the configuration.
void fitYRange(GraphAxes& axes, const QList<GraphSeries>& series, double minSpan, double maxSpan);

// Each output's equaliser curve (dB), crossover curve (dB, SUB with its fixed path) and total
// response: the three outputs as plotted and their sum, with the outputs' measured loudspeakers.
QList<GraphSeries> equaliserSeries(const ProcessorConfig& config);
QList<GraphSeries> crossoverSeries(const ProcessorConfig& config);
QList<GraphSeries> totalResponseSeries(const ProcessorConfig& config,
                                       const analysis::MeasuredCurves& measured);
// The static curve and the noise gate of dynamics unit `unit` (1, 2), output over input in dBu
// from `floorDbu` up, with the 1:1 line for reference.
QList<GraphSeries> dynamicsSeries(const ProcessorConfig& config, int unit, double floorDbu);

}  // namespace kvn::report
