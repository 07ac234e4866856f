// A slider whose change handler runs every time its position is set, by the user or by code.
#pragma once

#include <QWidget>

class QSlider;

namespace kvn::widgets {

// positionChanged(position) is emitted for every setPosition() call, also when the position does
// not change, and for every move by the user (drag, click, keys, wheel). Positions are held to
// [minimum, maximum].
//
// Vertical sliders run upside down: the minimum position is at the top, so a handler computing
// value = maximum - position gets its largest value at the top. Up arrow and wheel up move the
// handle up (towards the minimum position).
class CommitSlider : public QWidget {
    Q_OBJECT

public:
    explicit CommitSlider(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    Qt::Orientation orientation() const;

    // A maximum below the minimum is taken as the minimum. When the new range moves the position,
    // positionChanged is emitted.
    void setRange(int minimum, int maximum);
    int minimum() const;
    int maximum() const;

    // Sets the raw position (held to the range) and always emits positionChanged.
    void setPosition(int position);
    int position() const;

    // The slider's value as read off the scale: maximum - position for a vertical slider, the
    // position for a horizontal one.
    int value() const;
    // Places the slider at `value` (see value()); always emits positionChanged.
    void setValue(int value);

    // Steps of the arrow keys and of a click beside the handle.
    void setSingleStep(int step);
    void setPageStep(int step);

signals:
    void positionChanged(int position);
    // The user took hold of the handle and let it go again: the moves in between are one drag.
    void dragStarted();
    void dragFinished();

private:
    QSlider* slider_;
    bool settingByCode_ = false;
};

}  // namespace kvn::widgets
