// The middle of the main window drawn as a signal-flow picture: the two inputs on the left, a
// route button per output, the three outputs on the right, with the wires between them. The
// panel only paints the wires; the blocks are ordinary child widgets laid out by the caller.
#pragma once

#include <QWidget>

#include <array>

namespace kvn::ui {

class SignalFlowPanel : public QWidget {
    Q_OBJECT

public:
    explicit SignalFlowPanel(QWidget* parent = nullptr);

    // The widgets whose edges the wires join: inputs A and B, the route buttons and the output
    // blocks of outputs 1..3. All must be descendants of the panel.
    void setBlocks(const std::array<QWidget*, 2>& inputs, const std::array<QWidget*, 3>& routes,
                   const std::array<QWidget*, 3>& outputs);
    // Routes of outputs 1..3 (0 A, 1 A+B, 2 B): live wires are drawn bold, idle ones faint.
    void setRoutes(const std::array<int, 3>& routes);
    // Muted outputs draw their output wire faint.
    void setMuted(const std::array<bool, 3>& muted);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF rightEdge(const QWidget* widget) const;
    QPointF leftEdge(const QWidget* widget) const;

    std::array<QWidget*, 2> inputs_{};
    std::array<QWidget*, 3> routes_{};
    std::array<QWidget*, 3> outputs_{};
    std::array<int, 3> routeCodes_{0, 2, 1};
    std::array<bool, 3> muted_{};
};

}  // namespace kvn::ui
