#include "widgets/PanelBox.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>

namespace kvn::widgets {
namespace {

// The widget's `region` drawn onto a copy of `onto`, in place.
QImage rendered(QWidget& box, const QRegion& region, QImage onto) {
    box.render(&onto, region.boundingRect().topLeft(), region);
    return onto;
}

TEST(PanelBox, AnyRepaintedAreaLooksAsThePlainGroupBoxDrawsIt) {
    for (const bool checkable : {false, true}) {
        QGroupBox plain(QStringLiteral("Filter"));
        PanelBox box(QStringLiteral("Filter"));
        for (QGroupBox* b : {&plain, static_cast<QGroupBox*>(&box)}) {
            b->setCheckable(checkable);
            b->resize(180, 120);
        }
        QImage blank(box.size(), QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::magenta);
        const QImage whole = rendered(plain, QRegion(plain.rect()), blank);
        EXPECT_EQ(rendered(box, QRegion(box.rect()), blank), whole) << checkable;

        // Over a picture of the whole box: an area inside the frame, one across the title's
        // lower edge, one on the frame's edge, each drawn again alone.
        const QImage start = rendered(box, QRegion(box.rect()), blank);
        for (const QRect area :
             {QRect(40, 50, 60, 30), QRect(10, 8, 60, 10), QRect(0, 60, 4, 40)}) {
            EXPECT_EQ(rendered(box, QRegion(area), start), whole) << checkable << " " << area.x();
        }
        // And the title indeed left out of an area far from it.
        EXPECT_EQ(rendered(box, QRegion(40, 50, 60, 30), blank).pixel(20, 4), blank.pixel(20, 4));
    }
}

}  // namespace
}  // namespace kvn::widgets
