// Committing slider.
#include "widgets/CommitSlider.h"

#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace kvn::widgets {

CommitSlider::CommitSlider(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), slider_(new QSlider(orientation, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_);
    setFocusProxy(slider_);
    if (orientation == Qt::Vertical) {
        slider_->setInvertedAppearance(true);
        slider_->setInvertedControls(true);
    }
    connect(slider_, &QSlider::sliderPressed, this, &CommitSlider::dragStarted);
    connect(slider_, &QSlider::sliderReleased, this, &CommitSlider::dragFinished);
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        // setPosition() notifies once by itself, also when the value stays the same.
        if (!settingByCode_) {
            emit positionChanged(position);
        }
    });
}

Qt::Orientation CommitSlider::orientation() const {
    return slider_->orientation();
}

void CommitSlider::setRange(int minimum, int maximum) {
    slider_->setRange(minimum, std::max(minimum, maximum));
}

int CommitSlider::minimum() const {
    return slider_->minimum();
}

int CommitSlider::maximum() const {
    return slider_->maximum();
}

void CommitSlider::setPosition(int position) {
    settingByCode_ = true;
    slider_->setValue(position);
    settingByCode_ = false;
    emit positionChanged(slider_->value());
}

int CommitSlider::position() const {
    return slider_->value();
}

int CommitSlider::value() const {
    return orientation() == Qt::Vertical ? maximum() - position() : position();
}

void CommitSlider::setValue(int value) {
    if (orientation() != Qt::Vertical) {
        setPosition(value);
        return;
    }
    // In 64 bits: maximum - value can leave the int range for far-out values.
    const long long position = static_cast<long long>(maximum()) - value;
    setPosition(static_cast<int>(std::clamp<long long>(position, minimum(), maximum())));
}

void CommitSlider::setSingleStep(int step) {
    slider_->setSingleStep(step);
}

void CommitSlider::setPageStep(int step) {
    slider_->setPageStep(step);
}

}  // namespace kvn::widgets
