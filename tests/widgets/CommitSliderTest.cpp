#include "widgets/CommitSlider.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QSlider>
#include <QTest>

namespace kvn::widgets {
namespace {

TEST(CommitSlider, EverySetNotifiesEvenWithoutAChange) {
    CommitSlider slider(Qt::Vertical);
    slider.setRange(0, 234);
    QSignalSpy changed(&slider, &CommitSlider::positionChanged);
    slider.setPosition(234);
    slider.setPosition(234);
    slider.setPosition(100);
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed[0][0].toInt(), 234);
    EXPECT_EQ(changed[1][0].toInt(), 234);
    EXPECT_EQ(changed[2][0].toInt(), 100);

    slider.setPosition(500);
    EXPECT_EQ(changed[3][0].toInt(), 234);

    // A narrower range that moves the position notifies once.
    slider.setPosition(200);
    changed.clear();
    slider.setRange(0, 100);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toInt(), 100);
}

TEST(CommitSlider, VerticalSlidersRunUpsideDown) {
    CommitSlider slider(Qt::Vertical);
    slider.setRange(0, 234);
    slider.setPosition(10);
    EXPECT_EQ(slider.value(), 224);
    slider.setValue(0);
    EXPECT_EQ(slider.position(), 234);
    slider.setValue(-2147483647);
    EXPECT_EQ(slider.position(), 234);
}

TEST(CommitSlider, TheTopOfAVerticalSliderIsTheMinimumPosition) {
    CommitSlider slider(Qt::Vertical);
    slider.setRange(0, 100);
    slider.setPageStep(10);
    slider.setSingleStep(1);
    slider.resize(30, 300);
    slider.show();
    slider.setPosition(100);
    QSignalSpy changed(&slider, &CommitSlider::positionChanged);
    auto* inner = slider.findChild<QSlider*>();
    ASSERT_NE(inner, nullptr);

    // The handle sits at the bottom: a click near the top pages towards the minimum.
    QTest::mouseClick(inner, Qt::LeftButton, Qt::NoModifier, QPoint(inner->width() / 2, 5));
    EXPECT_LT(slider.position(), 100);
    ASSERT_EQ(changed.size(), 1);

    // Up arrow moves the handle up, towards the minimum position.
    const int before = slider.position();
    QTest::keyClick(inner, Qt::Key_Up);
    EXPECT_EQ(slider.position(), before - 1);
    EXPECT_EQ(changed.size(), 2);
}

}  // namespace
}  // namespace kvn::widgets
