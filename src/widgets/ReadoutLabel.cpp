#include "widgets/ReadoutLabel.h"

#include <QLabel>

namespace kvn::widgets {

void fixReadoutSize(QLabel* label, int characters) {
    const QFontMetrics metrics = label->fontMetrics();
    label->setFixedSize(metrics.averageCharWidth() * characters,
                        metrics.height() + 2 * label->margin() + 2 * label->frameWidth());
}

}  // namespace kvn::widgets
