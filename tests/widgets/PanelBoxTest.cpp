#include "widgets/PanelBox.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace kvn::widgets {
namespace {

// The widget's `region` drawn onto a copy of `onto`, in place.
QImage rendered(QWidget& box, const QRegion& region, QImage onto) {
    box.render(&onto, region.boundingRect().topLeft(), region);
    return onto;
}

// The largest difference of a colour channel between two pictures of one size.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = a.size() == b.size() ? 0 : 256;
    for (int y = 0; largest < 256 && y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest =
                std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

TEST(PanelBox, AnyRepaintedAreaLooksAsThePlainGroupBoxDrawsIt) {
    QGroupBox plain(QStringLiteral("Filter"));
    PanelBox box(QStringLiteral("Filter"));
    const auto both = [&](const std::function<void(QGroupBox&)>& change) {
        change(plain);
        change(box);
    };
    both([](QGroupBox& b) { b.resize(180, 120); });
    const auto blank = [&] {
        QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
        return image;
    };
    const auto check = [&](const char* step) {
        const QImage whole = rendered(plain, QRegion(plain.rect()), blank());
        // An area inside the frame, one across the title's lower edge, one on the frame's left,
        // top right and bottom right, each drawn again alone over the plain box's picture; then
        // the whole box. The frame's picture, blended, may round a step away from the frame
        // drawn in place.
        const int w = box.width();
        const int h = box.height();
        for (const QRect area : {QRect(40, 60, 60, 30), QRect(10, 8, 60, 10), QRect(0, 60, 4, 40),
                                 QRect(w - 40, 0, 30, 30), QRect(w - 12, h - 12, 12, 12)}) {
            EXPECT_LE(largestDifference(rendered(box, QRegion(area), whole), whole), 1)
                << step << " " << area.x();
        }
        EXPECT_LE(largestDifference(rendered(box, QRegion(box.rect()), blank()), whole), 1) << step;
    };
    check("new");
    // Each change while the box keeps a picture of its frame from before it.
    rendered(box, QRegion(40, 60, 60, 30), blank());
    both([](QGroupBox& b) { b.resize(200, 150); });
    check("resized");
    both([](QGroupBox& b) { b.setTitle(QString()); });
    check("without a title");
    both([](QGroupBox& b) {
        b.setTitle(QStringLiteral("Noise Gate"));
        b.setCheckable(true);
    });
    check("checkable");
    both([](QGroupBox& b) { b.setEnabled(false); });
    check("disabled");
}

}  // namespace
}  // namespace kvn::widgets
