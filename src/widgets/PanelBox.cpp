#include "widgets/PanelBox.h"

#include <QPaintEvent>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace kvn::widgets {

void PanelBox::paintEvent(QPaintEvent* event) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // Around the title and its check box a style may draw a little beyond their rectangles (the
    // focus frame).
    constexpr int kReach = 6;
    for (const QStyle::SubControl part : {QStyle::SC_GroupBoxLabel, QStyle::SC_GroupBoxCheckBox}) {
        if (!option.subControls.testFlag(part)) {
            continue;
        }
        const QRect area = style()
                               ->subControlRect(QStyle::CC_GroupBox, &option, part, this)
                               .adjusted(-kReach, -kReach, kReach, kReach);
        if (!event->region().intersects(area)) {
            option.subControls &= ~part;
        }
    }
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

}  // namespace kvn::widgets
