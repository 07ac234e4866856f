// Up/down button pair.
#include "widgets/SpinButtons.h"

#include <QBoxLayout>
#include <QToolButton>

namespace kvn::widgets {

namespace {
QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return button;
}
}  // namespace

SpinButtons::SpinButtons(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent),
      up_(arrowButton(orientation == Qt::Vertical ? Qt::UpArrow : Qt::RightArrow, this)),
      down_(arrowButton(orientation == Qt::Vertical ? Qt::DownArrow : Qt::LeftArrow, this)) {
    auto* layout = new QBoxLayout(
        orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (orientation == Qt::Vertical) {
        layout->addWidget(up_);
        layout->addWidget(down_);
    } else {
        layout->addWidget(down_);
        layout->addWidget(up_);
    }
    connect(up_, &QToolButton::clicked, this, &SpinButtons::up);
    connect(down_, &QToolButton::clicked, this, &SpinButtons::down);
}

}  // namespace kvn::widgets
