// A bar of LED segments showing a position against a maximum, in three colours by level.
#pragma once

#include <QColor>
#include <QWidget>

#include <vector>

namespace kvn::widgets {

// Segments from the zero end: a segment is lit when the position reaches into it; it shows the
// first colour below threshold 1, the second from threshold 1 and the third from threshold 2 (the
// level of a segment being its lower edge). Positions are held to 0..maximum; a maximum of 0 or
// less shows every segment dark. Vertical meters grow upwards, horizontal ones to the right.
class LedMeter : public QWidget {
    Q_OBJECT

public:
    enum class Segment { Dark, First, Second, Third };

    explicit LedMeter(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    void setOrientation(Qt::Orientation orientation);
    Qt::Orientation orientation() const { return orientation_; }

    // A new maximum holds the current position to it.
    void setMaximum(int maximum);
    int maximum() const { return maximum_; }
    void setPosition(int position);
    int position() const { return position_; }
    void setThresholds(int first, int second);
    int firstThreshold() const { return first_; }
    int secondThreshold() const { return second_; }
    // Number of LED segments drawn (at least 1; 20 by default).
    void setSegmentCount(int count);
    int segmentCount() const { return segmentCount_; }
    // Green, yellow and red by default.
    void setColors(const QColor& first, const QColor& second, const QColor& third);

    // The state of each of `segmentCount` segments for the given values, lowest segment first.
    // Segment k covers the levels from k * maximum / count up to (k + 1) * maximum / count.
    static std::vector<Segment> segments(int position, int maximum, int first, int second,
                                         int segmentCount);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation orientation_;
    int maximum_ = 100;
    int position_ = 0;
    int first_ = 70;
    int second_ = 95;
    int segmentCount_ = 20;
    QColor colors_[3];
};

}  // namespace kvn::widgets
