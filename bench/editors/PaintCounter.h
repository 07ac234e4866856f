// Counts the paint events of the plot inside a response graph, so that a measure can wait until
// a change has reached the screen.
#pragma once

#include "widgets/ResponseGraph.h"

#include <QEvent>
#include <QLatin1String>
#include <QObject>

namespace kvn::bench {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(widgets::ResponseGraph* graph) {
        for (QWidget* child : graph->findChildren<QWidget*>()) {
            if (QLatin1String(child->metaObject()->className()) == QLatin1String("QCustomPlot")) {
                child->installEventFilter(this);
            }
        }
    }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace kvn::bench
