#include "widgets/QuickPlot.h"

#include <cmath>

namespace kvn::widgets {

void CurveGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const {
    applyDefaultAntialiasingHint(painter);
    const QPen pen = painter->pen();
    const int width = static_cast<int>(std::lround(pen.widthF()));
    if (painter->antialiasing() || width <= 1 || pen.style() != Qt::SolidLine) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    QPen thin = pen;
    thin.setWidth(0);
    painter->setPen(thin);
    painter->save();
    painter->translate(0.0, -0.5 * (width - 1));
    for (int line = 0; line < width; ++line) {
        QCPGraph::drawLinePlot(painter, lines);
        painter->translate(0.0, 1.0);
    }
    painter->restore();
    painter->setPen(pen);
}

QuickPlot::QuickPlot(QWidget* parent) : QCustomPlot(parent) {
    connect(this, &QCustomPlot::afterReplot, this, &QuickPlot::keepBase);
}

void QuickPlot::paintEvent(QPaintEvent* event) {
    if (mPaintBuffers.size() < 2 || base_.isNull() || base_.size() != basePixels()) {
        QCustomPlot::paintEvent(event);
        return;
    }
    QCPPainter painter(this);
    if (!painter.isActive()) {
        return;
    }
    painter.drawImage(QPointF(0.0, 0.0), base_);
    mPaintBuffers.last()->draw(&painter);
}

void QuickPlot::keepBase() {
    if (mPaintBuffers.size() < 2) {
        base_ = QImage();
        return;
    }
    base_ = QImage(basePixels(), QImage::Format_RGB32);
    base_.setDevicePixelRatio(mBufferDevicePixelRatio);
    base_.fill(palette().color(QPalette::Window));
    QCPPainter painter(&base_);
    if (mBackgroundBrush.style() != Qt::NoBrush) {
        painter.fillRect(mViewport, mBackgroundBrush);
    }
    drawBackground(&painter);
    for (int i = 0; i + 1 < mPaintBuffers.size(); ++i) {
        mPaintBuffers.at(i)->draw(&painter);
    }
    update();
}

void QuickPlot::keepUpperPicturesValid() {
    if (mPaintBuffers.size() < 3 || mPaintBuffers.first()->invalidated()) {
        return;
    }
    for (int i = 1; i < mPaintBuffers.size(); ++i) {
        mPaintBuffers.at(i)->setInvalidated(false);
    }
}

QSize QuickPlot::basePixels() const {
    return mPaintBuffers.first()->size() * mBufferDevicePixelRatio;
}

}  // namespace kvn::widgets
