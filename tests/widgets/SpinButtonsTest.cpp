#include "widgets/SpinButtons.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace kvn::widgets {
namespace {

TEST(SpinButtons, EachButtonEmitsItsDirectionOncePerClick) {
    SpinButtons buttons;
    QSignalSpy up(&buttons, &SpinButtons::up);
    QSignalSpy down(&buttons, &SpinButtons::down);
    buttons.resize(20, 40);
    QTest::mouseClick(buttons.upButton(), Qt::LeftButton);
    QTest::mouseClick(buttons.upButton(), Qt::LeftButton);
    QTest::mouseClick(buttons.downButton(), Qt::LeftButton);
    EXPECT_EQ(up.size(), 2);
    EXPECT_EQ(down.size(), 1);
}

}  // namespace
}  // namespace kvn::widgets
