// Labels beside a vertical track.
#include "ui/editors/TrackScale.h"

#include <QLabel>
#include <QStyle>

#include <algorithm>

namespace kvn::ui {

TrackScale::TrackScale(int minimum, int maximum, const std::vector<Mark>& marks, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(std::max(maximum, minimum + 1)) {
    for (const Mark& mark : marks) {
        auto* label = new QLabel(mark.text, this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        labels_.emplace_back(mark.position, label);
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize TrackScale::sizeHint() const {
    int width = 0;
    for (const auto& [position, label] : labels_) {
        width = std::max(width, label->sizeHint().width());
    }
    return {width + 2, 120};
}

void TrackScale::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The handle's centre travels from half a handle below the top to half a handle above the
    // bottom; the labels follow it.
    const int inset = style()->pixelMetric(QStyle::PM_SliderLength) / 2;
    const int travel = std::max(1, height() - 2 * inset);
    for (const auto& [position, label] : labels_) {
        const int h = label->sizeHint().height();
        const int y = inset + (position - minimum_) * travel / (maximum_ - minimum_) - h / 2;
        label->setGeometry(0, std::clamp(y, 0, std::max(0, height() - h)), width(), h);
    }
}

}  // namespace kvn::ui
