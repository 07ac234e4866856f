// Counts the paint events of the plot inside a response graph, so that a measure can wait until
// a change has reached the screen.
#pragma once

#include "widgets/ResponseGraph.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLatin1String>
#include <QObject>

#include <memory>
#include <vector>

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

// The paints of several graphs: a measure marks them before a change and then waits until each
// has been repainted.
class PaintCounters {
public:
    void add(widgets::ResponseGraph* graph) {
        counters_.push_back(std::make_unique<PaintCounter>(graph));
        marks_.push_back(0);
    }
    // Every visible graph of `window`.
    void addVisible(QWidget* window) {
        for (auto* graph : window->findChildren<widgets::ResponseGraph*>()) {
            if (graph->isVisible()) {
                add(graph);
            }
        }
    }
    void mark() {
        for (std::size_t c = 0; c < counters_.size(); ++c) {
            marks_[c] = counters_[c]->paints;
        }
    }
    // Processes events until every graph has painted since mark(), or until `clock` has run
    // `timeoutMs`.
    void wait(const QElapsedTimer& clock, qint64 timeoutMs) const {
        while (!allPainted() && clock.elapsed() < timeoutMs) {
            QApplication::processEvents();
        }
    }

private:
    bool allPainted() const {
        for (std::size_t c = 0; c < counters_.size(); ++c) {
            if (counters_[c]->paints == marks_[c]) {
                return false;
            }
        }
        return true;
    }

    std::vector<std::unique_ptr<PaintCounter>> counters_;
    std::vector<int> marks_;
};

}  // namespace kvn::bench
