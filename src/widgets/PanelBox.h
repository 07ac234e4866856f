// A titled frame around a group of controls.
#pragma once

#include <QGroupBox>

namespace kvn::widgets {

// A group box that leaves its title out of a repaint that does not reach it. A field or slider
// inside the box repaints the box beneath it on every change (the controls are not opaque), and
// laying out the title's text cost more than the rest of the box; what is drawn inside the
// repainted area is the same.
class PanelBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kvn::widgets
