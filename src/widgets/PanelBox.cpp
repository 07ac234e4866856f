#include "widgets/PanelBox.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace kvn::widgets {

void PanelBox::paintEvent(QPaintEvent* event) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const Look look{size(),
                    option.state,
                    option.subControls,
                    static_cast<int>(option.features),
                    static_cast<int>(option.textAlignment),
                    option.text,
                    static_cast<qint64>(option.palette.cacheKey()),
                    devicePixelRatioF()};
    if (!(look == look_)) {
        look_ = look;
        frame_ = QPixmap();
        // Around the title and its check box a style may draw a little beyond their rectangles
        // (the focus frame).
        constexpr int kReach = 6;
        titleArea_ = QRect();
        for (const QStyle::SubControl part :
             {QStyle::SC_GroupBoxLabel, QStyle::SC_GroupBoxCheckBox}) {
            if (option.subControls.testFlag(part)) {
                titleArea_ |= style()
                                  ->subControlRect(QStyle::CC_GroupBox, &option, part, this)
                                  .adjusted(-kReach, -kReach, kReach, kReach);
            }
        }
    }
    if (event->region().intersects(titleArea_) ||
        !option.subControls.testFlag(QStyle::SC_GroupBoxFrame)) {
        QStylePainter painter(this);
        painter.drawComplexControl(QStyle::CC_GroupBox, option);
        return;
    }
    if (frame_.isNull()) {
        frame_ = QPixmap(size() * look.pixelRatio);
        frame_.setDevicePixelRatio(look.pixelRatio);
        frame_.fill(Qt::transparent);
        QPainter picture(&frame_);
        option.subControls = QStyle::SC_GroupBoxFrame;
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &picture, this);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, frame_);
}

void PanelBox::changeEvent(QEvent* event) {
    // A new font or style changes the frame without changing what the picture was made for.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        look_ = Look{};
    }
    QGroupBox::changeEvent(event);
}

}  // namespace kvn::widgets
