// A titled frame around a group of controls.
#pragma once

#include <QGroupBox>
#include <QPixmap>
#include <QStyle>

namespace kvn::widgets {

// A group box that keeps a picture of its frame. A field or slider inside the box repaints the
// box beneath it on every change (the controls are not opaque), and the style measures the
// title's text on every paint, which cost more than the rest of the box. A repaint that does not
// reach the title copies the frame's picture instead; what it draws is the same.
class PanelBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // What the frame's picture and the title's place were made for.
    struct Look {
        QSize size;
        QStyle::State state;
        QStyle::SubControls parts;
        int features = 0;
        int alignment = 0;
        QString text;
        qint64 palette = 0;
        qreal pixelRatio = 0.0;
        bool operator==(const Look&) const = default;
    };

    Look look_;
    QRect titleArea_;
    QPixmap frame_;
};

}  // namespace kvn::widgets
