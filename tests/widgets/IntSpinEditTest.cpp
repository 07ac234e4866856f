#include "widgets/IntSpinEdit.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace kvn::widgets {
namespace {

TEST(IntSpinEdit, EverySetNotifiesAndAnUntypeableOrderSpinStepsBetweenTwoAndFour) {
    IntSpinEdit spin;
    spin.setRange(2, 4);
    spin.setSingleStep(2);
    spin.setTypeable(false);
    QSignalSpy changed(&spin, &IntSpinEdit::valueChanged);
    spin.setValue(2);
    spin.setValue(2);
    spin.setValue(7);
    spin.setValue(2);
    ASSERT_EQ(changed.size(), 4);
    EXPECT_EQ(changed[2][0].toInt(), 4);
    changed.clear();
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
