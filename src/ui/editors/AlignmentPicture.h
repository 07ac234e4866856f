// The delay editor's picture of the speakers' relative positions: per output a line from a common
// start and a speaker drawn at its end ("OUT1Line"/"OUT1Image", "OUT2Line"/"OUT2Image",
// "SUB1Line"/"SUB1Image"). Equal lines mean the three arrivals are aligned.
#pragma once

#include <QWidget>

#include <array>

class QFrame;
class QLabel;

namespace kvn::ui {

class AlignmentPicture : public QWidget {
    Q_OBJECT

public:
    // Widget pixels per picture unit (60 units stand for 234 samples).
    static constexpr int kZoom = 3;

    explicit AlignmentPicture(QWidget* parent = nullptr);

    // Line lengths in picture units for Output 1, Output 2 and SUB (alignmentLines); negative
    // lengths run left of the start. Lengths beyond the picture are drawn to its edge.
    void setLines(const std::array<int, 3>& lengths);
    const std::array<int, 3>& lines() const { return lengths_; }

    QSize sizeHint() const override;
    // Where row 0..2 writes its caption ("OUT 1", "OUT 2", "SUB"); no speaker covers it.
    QRect captionRect(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    std::array<int, 3> lengths_{};
    std::array<QFrame*, 3> lineWidgets_{};
    std::array<QLabel*, 3> images_{};
};

}  // namespace kvn::ui
