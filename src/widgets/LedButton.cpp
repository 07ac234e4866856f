// LED toggle button.
#include "widgets/LedButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace kvn::widgets {

namespace {
constexpr int kSpacing = 6;
constexpr int kMargin = 3;
}  // namespace

LedButton::LedButton(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption), litColor_(Qt::green) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void LedButton::setLit(bool lit) {
    if (lit_ != lit) {
        lit_ = lit;
        update();
    }
}

void LedButton::setCaption(const QString& caption) {
    caption_ = caption;
    updateGeometry();
    update();
}

void LedButton::setLitColor(const QColor& color) {
    litColor_ = color;
    update();
}

void LedButton::setCaptionColor(const QColor& color) {
    captionColor_ = color;
    update();
}

void LedButton::click() {
    if (!isEnabled()) {
        return;
    }
    // A handler may delete the button (closing what holds it); the toggle must not touch it then.
    const QPointer<LedButton> self(this);
    emit clicked(lit_);
    if (self.isNull()) {
        return;
    }
    setLit(!lit_);
    emit litToggled(lit_);
}

int LedButton::ledDiameter() const {
    return fontMetrics().height();
}

QSize LedButton::sizeHint() const {
    const int d = ledDiameter();
    const int textWidth =
        caption_.isEmpty() ? 0 : kSpacing + fontMetrics().horizontalAdvance(caption_);
    return {2 * kMargin + d + textWidth, 2 * kMargin + d};
}

QSize LedButton::minimumSizeHint() const {
    return sizeHint();
}

void LedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int d = ledDiameter();
    const QRectF led(kMargin, (height() - d) / 2.0, d, d);
    const QColor fill = lit_ ? litColor_ : litColor_.darker(350);
    QRadialGradient gradient(led.center() - QPointF(d / 5.0, d / 5.0), d * 0.7);
    gradient.setColorAt(0.0, lit_ ? fill.lighter(170) : fill.lighter(130));
    gradient.setColorAt(1.0, fill);
    painter.setBrush(isEnabled() ? QBrush(gradient) : QBrush(palette().color(QPalette::Mid)));
    painter.setPen(QPen(palette().color(QPalette::Dark), pressed_ ? 2 : 1));
    painter.drawEllipse(led);
    if (!caption_.isEmpty()) {
        const QColor text =
            captionColor_.isValid() && isEnabled()
                ? captionColor_
                : palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                  QPalette::WindowText);
        painter.setPen(text);
        const QRect textRect(kMargin + d + kSpacing, 0, width() - (kMargin + d + kSpacing),
                             height());
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, caption_);
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void LedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    update();
}

void LedButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other, so its release clicks again.
    mousePressEvent(event);
}

void LedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    pressed_ = false;
    update();
    if (rect().contains(event->position().toPoint())) {
        click();
    }
}

void LedButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        click();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace kvn::widgets
