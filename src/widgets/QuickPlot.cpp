#include "widgets/QuickPlot.h"

#include <cmath>

#include "widgets/GraphMath.h"

namespace kvn::widgets {

bool CurveGraph::isPlainLine() const {
    return mKeyAxis && mValueAxis && mKeyAxis->orientation() == Qt::Horizontal &&
           mLineStyle == lsLine && mScatterStyle.isNone() && mBrush.style() == Qt::NoBrush &&
           !mChannelFillGraph && !selected();
}

void CurveGraph::draw(QCPPainter* painter) {
    if (!isPlainLine()) {
        QCPGraph::draw(painter);
        return;
    }
    const QCPAxis* key = mKeyAxis.data();
    const QCPAxis* value = mValueAxis.data();
    if (key->range().size() <= 0 || mDataContainer->isEmpty()) {
        return;
    }
    const KeyMapping mapping{key->range().lower,      key->range().upper,
                             key->axisRect()->left(), key->axisRect()->width(),
                             key->rangeReversed(),    static_cast<int>(key->scaleType())};
    if (!(mapping == mapping_)) {
        mapping_ = mapping;
        keys_.clear();
        columns_.clear();
    }
    // The points in sight and one beyond each end, as the plain graph draws them.
    const auto begin = mDataContainer->findBegin(key->range().lower);
    const auto end = mDataContainer->findEnd(key->range().upper);
    lines_.resize(end - begin);
    std::size_t i = 0;
    for (auto it = begin; it != end; ++it, ++i) {
        if (i >= keys_.size()) {
            keys_.push_back(it->key);
            columns_.push_back(key->coordToPixel(it->key));
        } else if (keys_[i] != it->key) {
            keys_[i] = it->key;
            columns_[i] = key->coordToPixel(it->key);
        }
        lines_[static_cast<qsizetype>(i)] = QPointF(columns_[i], value->coordToPixel(it->value));
    }
    painter->setBrush(Qt::NoBrush);
    painter->setPen(mPen);
    if (painter->antialiasing() || mPen.style() != Qt::SolidLine) {
        drawLinePlot(painter, lines_);
        return;
    }
    // Drawn coarsely, a line a quarter of a pixel away lights the same pixels, or one next to
    // them; the fine drawing after a drag uses every point again.
    constexpr double kReachPixels = 0.25;
    thinOutLine<QPointF>(lines_, kReachPixels, thinned_);
    drawLinePlot(painter, thinned_);
}

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

namespace {

// A layer draws its curves and marks onto a painter only for the plot itself; this reaches that
// drawing for the plot's paint of its top layer.
struct LayerDrawing : QCPLayer {
    static void drawOn(QCPLayer* layer, QCPPainter* painter) {
        (layer->*&LayerDrawing::draw)(painter);
    }
};

}  // namespace

QuickPlot::QuickPlot(QWidget* parent) : QCustomPlot(parent) {
    connect(this, &QCustomPlot::afterReplot, this, &QuickPlot::keepBase);
}

void QuickPlot::replotTopLayer() {
    if (mPaintBuffers.size() < 2) {
        replot();
        return;
    }
    // The top picture is never shown, so it is never out of date.
    mPaintBuffers.last()->setInvalidated(false);
    if (hasInvalidatedPaintBuffers() || !baseFits()) {
        replot();
        return;
    }
    update();
}

void QuickPlot::paintEvent(QPaintEvent* event) {
    if (mPaintBuffers.size() < 2) {
        QCustomPlot::paintEvent(event);
        return;
    }
    if (!baseFits()) {
        composeBase();
    }
    QCPPainter painter(this);
    if (!painter.isActive()) {
        return;
    }
    painter.drawImage(QPointF(0.0, 0.0), base_);
    // The layers of the top picture: the last layer when it has a picture of its own, else the
    // run of layers at the top that share one.
    int first = layerCount() - 1;
    if (layer(first)->mode() == QCPLayer::lmLogical) {
        while (first > 0 && layer(first - 1)->mode() == QCPLayer::lmLogical) {
            --first;
        }
    }
    for (int i = first; i < layerCount(); ++i) {
        LayerDrawing::drawOn(layer(i), &painter);
    }
}

void QuickPlot::keepBase() {
    composeBase();
    update();
}

void QuickPlot::composeBase() {
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

bool QuickPlot::baseFits() const {
    return !base_.isNull() && base_.size() == basePixels();
}

}  // namespace kvn::widgets
