#include "widgets/LedButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <string>
#include <vector>

namespace kvn::widgets {
namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST(LedButton, ClickHandlersSeeTheStateFromBeforeTheClick) {
    LedButton led("Mute");
    std::vector<std::string> log;
    QObject::connect(&led, &LedButton::clicked, [&](bool wasLit) {
        log.push_back(std::string("clicked ") + (wasLit ? "lit" : "dark") + " isLit " +
                      (led.isLit() ? "lit" : "dark"));
    });
    QObject::connect(&led, &LedButton::litToggled, [&](bool lit) {
        log.push_back(std::string("toggled ") + (lit ? "lit" : "dark"));
    });
    led.click();
    EXPECT_TRUE(led.isLit());
    led.click();
    EXPECT_FALSE(led.isLit());
    EXPECT_EQ(log, (std::vector<std::string>{"clicked dark isLit dark", "toggled lit",
                                             "clicked lit isLit lit", "toggled dark"}));
}

TEST(LedButton, SetLitByCodeEmitsNothingAndDisabledButtonsIgnoreClicks) {
    LedButton led("Inv");
    QSignalSpy clicked(&led, &LedButton::clicked);
    QSignalSpy toggled(&led, &LedButton::litToggled);
    led.setLit(true);
    EXPECT_TRUE(led.isLit());
    led.setEnabled(false);
    led.click();
    EXPECT_TRUE(led.isLit());
    EXPECT_EQ(clicked.size() + toggled.size(), 0);
}

TEST(LedButton, MouseReleaseInsideClicksAndADoubleClickIsASecondClick) {
    LedButton led("Output 1");
    led.resize(100, 24);
    QSignalSpy clicked(&led, &LedButton::clicked);
    const QPoint inside(10, 10);

    sendMouse(&led, QEvent::MouseButtonPress, inside);
    EXPECT_EQ(clicked.size(), 0);
    sendMouse(&led, QEvent::MouseButtonRelease, inside);
    EXPECT_EQ(clicked.size(), 1);

    sendMouse(&led, QEvent::MouseButtonPress, inside);
    sendMouse(&led, QEvent::MouseButtonRelease, QPoint(300, 10));
    EXPECT_EQ(clicked.size(), 1);

    led.setLit(false);
    sendMouse(&led, QEvent::MouseButtonPress, inside);
    sendMouse(&led, QEvent::MouseButtonRelease, inside);
    sendMouse(&led, QEvent::MouseButtonDblClick, inside);
    sendMouse(&led, QEvent::MouseButtonRelease, inside);
    EXPECT_EQ(clicked.size(), 3);
    EXPECT_FALSE(clicked[1][0].toBool());
    EXPECT_TRUE(clicked[2][0].toBool());
    EXPECT_FALSE(led.isLit());

    QTest::keyClick(&led, Qt::Key_Space);
    EXPECT_EQ(clicked.size(), 4);
    EXPECT_TRUE(led.isLit());
}

TEST(LedButton, AHandlerMayDestroyTheButton) {
    auto* led = new LedButton("Close");
    QObject::connect(led, &LedButton::clicked, [led] { delete led; });
    led->click();  // must not touch the deleted button (the sanitizer build checks)
    SUCCEED();
}

}  // namespace
}  // namespace kvn::widgets
