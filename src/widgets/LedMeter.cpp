// LED bar meter.
#include "widgets/LedMeter.h"

#include <QPainter>

#include <algorithm>

namespace kvn::widgets {

namespace {
constexpr int kGap = 2;
constexpr int kBarThickness = 14;
constexpr int kSegmentLength = 8;
}  // namespace

LedMeter::LedMeter(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation), colors_{Qt::green, Qt::yellow, Qt::red} {
    setOrientation(orientation);
}

void LedMeter::setOrientation(Qt::Orientation orientation) {
    orientation_ = orientation;
    // The bar keeps its thickness and takes the length it is given.
    setSizePolicy(orientation == Qt::Vertical
                      ? QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding)
                      : QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed));
    updateGeometry();
    update();
}

void LedMeter::setMaximum(int maximum) {
    maximum_ = maximum;
    position_ = std::clamp(position_, 0, std::max(maximum_, 0));
    update();
}

void LedMeter::setPosition(int position) {
    position_ = std::clamp(position, 0, std::max(maximum_, 0));
    update();
}

void LedMeter::setThresholds(int first, int second) {
    first_ = first;
    second_ = second;
    update();
}

void LedMeter::setSegmentCount(int count) {
    segmentCount_ = std::max(count, 1);
    updateGeometry();
    update();
}

void LedMeter::setColors(const QColor& first, const QColor& second, const QColor& third) {
    colors_[0] = first;
    colors_[1] = second;
    colors_[2] = third;
    update();
}

std::vector<LedMeter::Segment> LedMeter::segments(int position, int maximum, int first, int second,
                                                  int segmentCount) {
    const int count = std::max(segmentCount, 1);
    std::vector<Segment> result(static_cast<std::size_t>(count), Segment::Dark);
    if (maximum <= 0) {
        return result;
    }
    const long long held = std::clamp(position, 0, maximum);
    for (int k = 0; k < count; ++k) {
        // Integer cross-multiplication: segment k starts at k * maximum / count.
        const long long startTimesCount = static_cast<long long>(k) * maximum;
        if (held * count <= startTimesCount) {
            break;
        }
        auto& s = result[static_cast<std::size_t>(k)];
        if (startTimesCount >= static_cast<long long>(second) * count) {
            s = Segment::Third;
        } else if (startTimesCount >= static_cast<long long>(first) * count) {
            s = Segment::Second;
        } else {
            s = Segment::First;
        }
    }
    return result;
}

QSize LedMeter::sizeHint() const {
    const int length = segmentCount_ * (kSegmentLength + kGap) + kGap;
    return orientation_ == Qt::Vertical ? QSize(kBarThickness, length)
                                        : QSize(length, kBarThickness);
}

void LedMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const auto states = segments(position_, maximum_, first_, second_, segmentCount_);
    // A dark segment shows the colour it would have when lit, dimmed, as real LED bars do.
    const auto shades = segments(maximum_, maximum_, first_, second_, segmentCount_);
    const bool vertical = orientation_ == Qt::Vertical;
    const double length = vertical ? height() : width();
    const double step = (length - kGap) / segmentCount_;
    const int thickness = (vertical ? width() : height()) - 2 * kGap;
    for (int k = 0; k < segmentCount_; ++k) {
        const Segment s = states[static_cast<std::size_t>(k)];
        const Segment shade = shades[static_cast<std::size_t>(k)];
        const int colorIndex = shade == Segment::Third ? 2 : shade == Segment::Second ? 1 : 0;
        const QColor color =
            s == Segment::Dark ? colors_[colorIndex].darker(400) : colors_[colorIndex];
        const double from = kGap + k * step;
        const double size = std::max(step - kGap, 1.0);
        const QRectF r = vertical ? QRectF(kGap, length - from - size, thickness, size)
                                  : QRectF(from, kGap, size, thickness);
        painter.fillRect(r, color);
    }
}

}  // namespace kvn::widgets
