#include "widgets/IntSpinEdit.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace kvn::widgets {
namespace {

TEST(IntSpinEdit, EverySetNotifiesAndIsHeldToTheRange) {
    IntSpinEdit spin;
    spin.setRange(20, 480);
    QSignalSpy changed(&spin, &IntSpinEdit::valueChanged);
    spin.setValue(100);
    spin.setValue(100);
    spin.setValue(5000);
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed[1][0].toInt(), 100);
    EXPECT_EQ(changed[2][0].toInt(), 480);
    EXPECT_EQ(spin.value(), 480);
}

TEST(IntSpinEdit, AnUntypeableOrderSpinStepsBetweenTwoAndFour) {
    IntSpinEdit spin;
    spin.setRange(2, 4);
    spin.setSingleStep(2);
    spin.setTypeable(false);
    spin.setValue(2);
    QSignalSpy changed(&spin, &IntSpinEdit::valueChanged);
    auto* box = spin.findChild<QSpinBox*>();
    ASSERT_NE(box, nullptr);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(spin.value(), 4);
    ASSERT_EQ(changed.size(), 1);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(spin.value(), 4);
    EXPECT_TRUE(box->findChild<QLineEdit*>()->isReadOnly());
}

}  // namespace
}  // namespace kvn::widgets
