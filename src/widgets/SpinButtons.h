// A pair of small arrow buttons that step a value up or down.
#pragma once

#include <QWidget>

class QToolButton;

namespace kvn::widgets {

// up() or down() is emitted once per click, and repeatedly while a button is held. The pair is
// stacked (up above down) when vertical, side by side (down left of up) when horizontal.
class SpinButtons : public QWidget {
    Q_OBJECT

public:
    explicit SpinButtons(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void up();
    void down();

private:
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace kvn::widgets
