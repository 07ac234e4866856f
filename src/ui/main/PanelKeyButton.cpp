#include "ui/main/PanelKeyButton.h"

#include <QPainter>

namespace kvn::ui {

PanelKeyButton::PanelKeyButton(art::PanelKey key, QWidget* parent)
    : QAbstractButton(parent), key_(key) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

QSize PanelKeyButton::sizeHint() const {
    return key_ == art::PanelKey::Enter ? QSize(78, 56) : QSize(56, 56);
}

void PanelKeyButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::panelKey(key_, isDown(), size(), devicePixelRatioF()));
}

}  // namespace kvn::ui
