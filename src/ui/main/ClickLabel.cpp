#include "ui/main/ClickLabel.h"

#include <QMouseEvent>

namespace kvn::ui {

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (pressed_ && event->button() == Qt::LeftButton && inside) {
        pressed_ = false;
        emit clicked();
    }
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
}

}  // namespace kvn::ui
