#include "widgets/RealEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace kvn::widgets {
namespace {

class RealEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit.setRange(-15.0, 12.0);
        edit.setFormat("0.0");
        edit.setStep(0.1);
    }

    void type(const QString& text) { edit.setText(text); }

    void loseFocus(Qt::FocusReason reason) {
        QFocusEvent event(QEvent::FocusOut, reason);
        QApplication::sendEvent(&edit, &event);
    }

    RealEdit edit;
};

TEST_F(RealEditTest, SetValueHoldsTheRangeShowsTheFormatAndKeepsPrecision) {
    QSignalSpy committed(&edit, &RealEdit::committed);
    edit.setValue(20.0);
    EXPECT_DOUBLE_EQ(edit.value(), 12.0);
    EXPECT_EQ(edit.text(), "12.0");
    edit.setValue(-3.14159);
    EXPECT_EQ(edit.text(), "-3.1");
    EXPECT_DOUBLE_EQ(edit.value(), -3.14159);
    edit.setValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(edit.value(), -3.14159);
    EXPECT_FALSE(edit.setFormat("0.0#"));
    edit.setRange(0.0, 5.0);
    EXPECT_EQ(edit.text(), "0.0");
    EXPECT_EQ(committed.size(), 0);
}

TEST_F(RealEditTest, EnterCommitsTheTypedNumberHeldToTheRange) {
    QSignalSpy committed(&edit, &RealEdit::committed);
    type("5,55");
    QTest::keyClick(&edit, Qt::Key_Return);
    ASSERT_EQ(committed.size(), 1);
    EXPECT_DOUBLE_EQ(committed[0][0].toDouble(), 5.55);
    EXPECT_EQ(edit.text(), "5.6");

    type("99");
    QTest::keyClick(&edit, Qt::Key_Enter);
    EXPECT_DOUBLE_EQ(committed[1][0].toDouble(), 12.0);
    EXPECT_EQ(edit.text(), "12.0");

    // Unchanged text commits as well.
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(committed.size(), 3);
}

TEST_F(RealEditTest, TextThatIsNotANumberBringsBackTheValue) {
    edit.setValue(2.0);
    QSignalSpy committed(&edit, &RealEdit::committed);
    QSignalSpy rejected(&edit, &RealEdit::inputRejected);
    for (const char* garbage : {"abc", "", "1e999"}) {
        type(garbage);
        QTest::keyClick(&edit, Qt::Key_Return);
        EXPECT_EQ(edit.text(), "2.0") << garbage;
    }
    type("x");
    loseFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit.text(), "2.0");
    EXPECT_DOUBLE_EQ(edit.value(), 2.0);
    EXPECT_EQ(committed.size(), 0);
    ASSERT_EQ(rejected.size(), 4);
    EXPECT_EQ(rejected[0][0].toString(), "abc");
}

TEST_F(RealEditTest, AHeldEntryIsReportedAsTheFieldShowsItAfterItsCommit) {
    edit.setEntryLimits({" dB", "is below the lowest gain", "is above the highest gain"});
    QSignalSpy clamped(&edit, &RealEdit::clamped);
    QSignalSpy reported(&edit, &RealEdit::entryReported);
    QObject::connect(&edit, &RealEdit::committed, &edit, [this] { edit.setValue(11.5); });
    type("20");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(clamped.size(), 1);
    EXPECT_EQ(reported[0][0].toString(), "20 dB is above the highest gain, 11.5 dB");
    EXPECT_TRUE(edit.isFlashing());
    type("12.04");  // held to 12, read "12.0" either way: nothing to say
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(clamped.size(), 1);
}

TEST_F(RealEditTest, ArrowsStepFromTheTypedNumberAndCommit) {
    edit.setValue(1.0);
    QSignalSpy committed(&edit, &RealEdit::committed);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(committed[0][0].toDouble(), 1.1);
    EXPECT_EQ(edit.text(), "1.1");
    type("3");
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(committed[1][0].toDouble(), 2.9);
    type("junk");
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(committed[2][0].toDouble(), 3.0);
    edit.setValue(11.95);
    QTest::keyClick(&edit, Qt::Key_Up);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(committed[4][0].toDouble(), 12.0);
}

TEST_F(RealEditTest, LeavingTheFieldCommitsExceptForItsOwnContextMenu) {
    QSignalSpy committed(&edit, &RealEdit::committed);
    type("-7.25");
    loseFocus(Qt::PopupFocusReason);
    EXPECT_EQ(committed.size(), 0);
    loseFocus(Qt::MouseFocusReason);
    ASSERT_EQ(committed.size(), 1);
    EXPECT_DOUBLE_EQ(committed[0][0].toDouble(), -7.25);
    EXPECT_EQ(edit.text(), "-7.3");
}

TEST_F(RealEditTest, TypingIsLimitedButTheShownValueIsNeverCut) {
    edit.setRange(0.0, 20000.0);
    edit.setFormat("0");
    edit.setMaxTextLength(5);
    edit.clear();
    QTest::keyClicks(&edit, "123456");
    EXPECT_EQ(edit.text(), "12345");
    edit.setFormat("0.00");
    edit.setValue(12345.0);
    EXPECT_EQ(edit.text(), "12345.00");
}

TEST(RealEditFocus, EnteringTheFieldSelectsItsText) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new RealEdit;
    auto* other = new RealEdit;
    layout->addWidget(edit);
    layout->addWidget(other);
    edit->setRange(0, 100);
    edit->setValue(42.5);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy committed(edit, &RealEdit::committed);
    edit->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit->selectedText() == "42.5"; }, 1000));
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(committed.size(), 1);
}

}  // namespace
}  // namespace kvn::widgets
