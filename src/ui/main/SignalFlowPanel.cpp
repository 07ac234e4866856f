#include "ui/main/SignalFlowPanel.h"

#include <QPainter>
#include <QPainterPath>

namespace kvn::ui {

namespace {

void drawWire(QPainter& painter, QPointF from, QPointF to) {
    QPainterPath wire(from);
    const qreal middle = (from.x() + to.x()) / 2;
    wire.cubicTo(QPointF(middle, from.y()), QPointF(middle, to.y()), to);
    painter.drawPath(wire);
}

}  // namespace

SignalFlowPanel::SignalFlowPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SignalFlowPanel"));
}

void SignalFlowPanel::setBlocks(const std::array<QWidget*, 2>& inputs,
                                const std::array<QWidget*, 3>& routes,
                                const std::array<QWidget*, 3>& outputs) {
    inputs_ = inputs;
    routes_ = routes;
    outputs_ = outputs;
    update();
}

void SignalFlowPanel::setRoutes(const std::array<int, 3>& routes) {
    routeCodes_ = routes;
    update();
}

void SignalFlowPanel::setMuted(const std::array<bool, 3>& muted) {
    muted_ = muted;
    update();
}

QPointF SignalFlowPanel::rightEdge(const QWidget* widget) const {
    const QRect r(widget->mapTo(this, QPoint(0, 0)), widget->size());
    return QPointF(r.right() + 1, r.center().y() + 0.5);
}

QPointF SignalFlowPanel::leftEdge(const QWidget* widget) const {
    const QRect r(widget->mapTo(this, QPoint(0, 0)), widget->size());
    return QPointF(r.left(), r.center().y() + 0.5);
}

void SignalFlowPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base = palette().color(QPalette::Base);
    const QColor frame = palette().color(QPalette::Mid);
    painter.setPen(QPen(frame, 1));
    painter.setBrush(base);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);

    for (const QWidget* widget : inputs_) {
        if (widget == nullptr) {
            return;
        }
    }
    const QColor live(0x1f, 0x9d, 0x55);
    QColor idle = palette().color(QPalette::Mid);
    idle.setAlpha(150);
    const QPen livePen(live, 2.4, Qt::SolidLine, Qt::RoundCap);
    QPen idlePen(idle, 1.2, Qt::DashLine, Qt::RoundCap);

    for (std::size_t n = 0; n < routes_.size(); ++n) {
        const QWidget* route = routes_[n];
        const QWidget* output = outputs_[n];
        if (route == nullptr || output == nullptr) {
            continue;
        }
        const int code = routeCodes_[n];
        const bool fromA = code != 2;
        const bool fromB = code == 1 || code == 2;
        // Idle wires first, so that live ones are drawn over them where they cross.
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t input = 0; input < 2; ++input) {
                const bool isLive = input == 0 ? fromA : fromB;
                if (isLive != (pass == 1)) {
                    continue;
                }
                painter.setPen(isLive ? livePen : idlePen);
                drawWire(painter, rightEdge(inputs_[input]), leftEdge(route));
            }
        }
        painter.setPen(muted_[n] ? idlePen : livePen);
        drawWire(painter, rightEdge(route), leftEdge(output));
    }
}

}  // namespace kvn::ui
