// The report's graph drawing and the configuration's curves as series.
#include "report/ReportGraphs.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/OutputCurves.h"
#include "dsp/DynamicsMath.h"
#include "report/ReportTables.h"

namespace kvn::report {
namespace {

// The outputs' dash patterns, the same on every graph and in every legend.
constexpr std::array<Qt::PenStyle, kOutputCount> kOutputStyles = {Qt::SolidLine, Qt::DashLine,
                                                                  Qt::DashDotLine};
constexpr double kCurveWidth = 3.5;
constexpr double kSumWidth = 7.0;

QString frequencyTick(double hz) {
    return hz >= 1000.0 ? QString::number(hz / 1000.0) + QStringLiteral("k") : QString::number(hz);
}

class Plot {
public:
    Plot(const QRectF& rect, const GraphAxes& axes) : rect_(rect), axes_(axes) {}

    double x(double value) const {
        if (axes_.logFrequency) {
            return rect_.left() + rect_.width() * std::log10(value / axes_.xMin) /
                                      std::log10(axes_.xMax / axes_.xMin);
        }
        return rect_.left() + rect_.width() * (value - axes_.xMin) / (axes_.xMax - axes_.xMin);
    }
    double y(double value) const {
        return rect_.bottom() - rect_.height() * (value - axes_.yMin) / (axes_.yMax - axes_.yMin);
    }
    QPointF at(const QPointF& p) const { return {x(p.x()), y(p.y())}; }

    std::vector<double> xTicks() const {
        std::vector<double> ticks;
        if (axes_.logFrequency) {
            for (double decade = 1.0; decade <= axes_.xMax; decade *= 10.0) {
                for (const double m : {1.0, 2.0, 5.0}) {
                    if (m * decade >= axes_.xMin && m * decade <= axes_.xMax) {
                        ticks.push_back(m * decade);
                    }
                }
            }
            return ticks;
        }
        for (double v = axes_.xMin; v <= axes_.xMax + 1e-9; v += axes_.xStep) {
            ticks.push_back(v);
        }
        return ticks;
    }

private:
    QRectF rect_;
    const GraphAxes& axes_;
};

QPen curvePen(const GraphSeries& s) {
    QPen pen(s.grey ? QColor(150, 150, 150) : QColor(Qt::black), s.width, s.style, Qt::FlatCap,
             Qt::RoundJoin);
    return pen;
}

void drawLegend(QPainter& painter, const QRectF& plot, const QList<GraphSeries>& series) {
    const QFontMetricsF fm(painter.font());
    const double sample = fm.height() * 2.5;
    const double pad = fm.height() * 0.4;
    double textWidth = 0.0;
    int rows = 0;
    for (const GraphSeries& s : series) {
        if (!s.name.isEmpty()) {
            textWidth = std::max(textWidth, fm.horizontalAdvance(s.name));
            ++rows;
        }
    }
    if (rows == 0) {
        return;
    }
    const QRectF box(plot.right() - pad * 3 - sample - textWidth, plot.top() + pad,
                     pad * 2 + sample + textWidth, pad * 2 + rows * fm.height());
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    double rowTop = box.top() + pad;
    for (const GraphSeries& s : series) {
        if (s.name.isEmpty()) {
            continue;
        }
        const double mid = rowTop + fm.height() / 2;
        painter.setPen(curvePen(s));
        painter.drawLine(QPointF(box.left() + pad, mid), QPointF(box.left() + pad + sample, mid));
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(box.left() + pad * 1.5 + sample, rowTop, textWidth + pad, fm.height()),
            Qt::AlignLeft | Qt::AlignVCenter, s.name);
        rowTop += fm.height();
    }
}

GraphSeries gridSeries(const QString& name, const std::array<double, kGridPoints>& values,
                       int style, double width) {
    GraphSeries s{name, {}, kOutputStyles[static_cast<std::size_t>(style)], width, false};
    const auto& hz = responseGrid().GridHz;
    s.points.reserve(kGridPoints);
    for (std::size_t k = 0; k < values.size(); ++k) {
        s.points.append(QPointF(hz[k], values[k]));
    }
    return s;
}

GraphSeries curveSeries(const QString& name, const ResponseCurve& curve, int style) {
    std::array<double, kGridPoints> values{};
    for (std::size_t k = 0; k < values.size(); ++k) {
        values[k] = curve.MagDb[k];
    }
    return gridSeries(name, values, style, kCurveWidth);
}

}  // namespace

void drawGraph(QPainter& painter, const QRectF& area, const GraphAxes& axes,
               const QList<GraphSeries>& series) {
    painter.save();
    const QFontMetricsF fm(painter.font());
    const double line = fm.height();
    const QRectF plotRect(
        QPointF(area.left() + fm.horizontalAdvance(QStringLiteral("-000")) + line * 0.6,
                area.top() + line * 1.4),
        QPointF(area.right() - line * 0.5, area.bottom() - line * 2.3));
    const Plot map(plotRect, axes);

    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(plotRect.left(), area.top(), plotRect.width(), line * 1.2),
                     Qt::AlignLeft | Qt::AlignTop, axes.title);
    QFont plain = bold;
    plain.setBold(false);
    painter.setFont(plain);

    // Grid and tick labels.
    painter.setPen(QPen(QColor(200, 200, 200), 1.2));
    for (const double v : map.xTicks()) {
        painter.drawLine(QPointF(map.x(v), plotRect.top()), QPointF(map.x(v), plotRect.bottom()));
    }
    for (double v = axes.yMin; v <= axes.yMax + 1e-9; v += axes.yStep) {
        painter.drawLine(QPointF(plotRect.left(), map.y(v)), QPointF(plotRect.right(), map.y(v)));
    }
    painter.setPen(Qt::black);
    for (const double v : map.xTicks()) {
        const QString label = axes.logFrequency ? frequencyTick(v) : QString::number(v);
        painter.drawText(
            QRectF(map.x(v) - line * 2, plotRect.bottom() + line * 0.2, line * 4, line),
            Qt::AlignHCenter | Qt::AlignTop, label);
    }
    for (double v = axes.yMin; v <= axes.yMax + 1e-9; v += axes.yStep) {
        painter.drawText(QRectF(area.left(), map.y(v) - line / 2,
                                plotRect.left() - area.left() - line * 0.3, line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    painter.drawText(
        QRectF(plotRect.left(), plotRect.bottom() + line * 1.2, plotRect.width(), line),
        Qt::AlignHCenter | Qt::AlignTop, axes.xUnit);
    painter.drawText(QRectF(area.left(), area.top() + line * 0.2,
                            plotRect.left() - area.left() - line * 0.3, line),
                     Qt::AlignRight | Qt::AlignBottom, axes.yUnit);

    // Curves, reference lines first.
    painter.setClipRect(plotRect);
    painter.setBrush(Qt::NoBrush);
    for (const bool grey : {true, false}) {
        for (const GraphSeries& s : series) {
            if (s.grey != grey) {
                continue;
            }
            QPainterPath path;
            bool open = false;
            for (const QPointF& p : s.points) {
                if (!std::isfinite(p.x()) || !std::isfinite(p.y()) ||
                    (axes.logFrequency && p.x() <= 0)) {
                    open = false;
                    continue;
                }
                // Far outside the plot the clip would still have to walk huge coordinates.
                const QPointF q(map.x(p.x()),
                                std::clamp(map.y(p.y()), plotRect.top() - plotRect.height(),
                                           plotRect.bottom() + plotRect.height()));
                open ? path.lineTo(q) : path.moveTo(q);
                open = true;
            }
            painter.setPen(curvePen(s));
            painter.drawPath(path);
        }
    }
    painter.setClipping(false);
    painter.setPen(QPen(Qt::black, 2.0));
    painter.drawRect(plotRect);
    drawLegend(painter, plotRect, series);
    painter.restore();
}

void fitYRange(GraphAxes& axes, const QList<GraphSeries>& series, double minSpan, double maxSpan) {
    double lo = 0.0;
    double hi = 0.0;
    for (const GraphSeries& s : series) {
        for (const QPointF& p : s.points) {
            if (std::isfinite(p.y())) {
                lo = std::min(lo, p.y());
                hi = std::max(hi, p.y());
            }
        }
    }
    const double step = axes.yStep;
    double top = std::ceil(hi / step) * step;
    double bottom = std::floor(lo / step) * step;
    if (top - bottom < minSpan) {
        const double grow = std::ceil((minSpan - (top - bottom)) / 2.0 / step) * step;
        top += grow;
        bottom -= grow;
    }
    axes.yMax = top;
    axes.yMin = std::max(bottom, top - maxSpan);
}

QList<GraphSeries> equaliserSeries(const ProcessorConfig& config) {
    QList<GraphSeries> list;
    ResponseCurve curve;
    for (int o = 1; o <= kOutputCount; ++o) {
        analysis::equaliserCurve(config.output(o), curve);
        list.append(curveSeries(outputLabel(config, o), curve, o - 1));
    }
    return list;
}

QList<GraphSeries> crossoverSeries(const ProcessorConfig& config) {
    QList<GraphSeries> list;
    ResponseCurve curve;
    for (int o = 1; o <= kOutputCount; ++o) {
        analysis::crossoverCurve(config.output(o), o == kSubOutput, curve);
        list.append(curveSeries(outputLabel(config, o), curve, o - 1));
    }
    return list;
}

QList<GraphSeries> totalResponseSeries(const ProcessorConfig& config,
                                       const analysis::MeasuredCurves& measured) {
    analysis::TotalResponse r;
    analysis::computeTotalResponse(config, measured, r);
    QList<GraphSeries> list;
    for (int o = 1; o <= kOutputCount; ++o) {
        const QString muted = config.output(o).Muted ? QStringLiteral(", muted") : QString();
        list.append(gridSeries(outputLabel(config, o) + muted,
                               r.plottedDb[static_cast<std::size_t>(o - 1)], o - 1, kCurveWidth));
    }
    list.append(gridSeries(QStringLiteral("Sum"), r.addDb, 0, kSumWidth));
    return list;
}

QList<GraphSeries> dynamicsSeries(const ProcessorConfig& config, int unit, double floorDbu) {
    const DynamicsGraph g = dynamicsGraphDbu(config.unit(unit), unit, floorDbu);
    GraphSeries curve{QStringLiteral("Output level"), {}, Qt::SolidLine, kCurveWidth * 1.4, false};
    for (const auto& [in, out] : g.curve) {
        curve.points.append(QPointF(in, out));
    }
    GraphSeries gate{QStringLiteral("Noise gate"), {}, Qt::DashLine, kCurveWidth, false};
    for (const auto& [in, out] : g.gate) {
        gate.points.append(QPointF(in, out));
    }
    GraphSeries unity{QString(),
                      {QPointF(floorDbu, floorDbu), QPointF(100, 100)},
                      Qt::DotLine,
                      kCurveWidth * 0.8,
                      true};
    QList<GraphSeries> list{unity, curve};
    if (!gate.points.isEmpty()) {
        list.append(gate);
    }
    return list;
}

}  // namespace kvn::report
