// The labels beside a vertical track ("+6 dB" at the top, "0 dB" where 0 dB lies, "-30 dB" at the
// bottom), each placed at the height of the track position it names.
#pragma once

#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

class QLabel;

namespace kvn::ui {

class TrackScale : public QWidget {
    Q_OBJECT

public:
    struct Mark {
        int position;  // a track position, minimum at the top
        QString text;
    };

    // `minimum` and `maximum` are the track's positions; the scale must be laid out beside the
    // track with the same height.
    TrackScale(int minimum, int maximum, const std::vector<Mark>& marks, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int minimum_;
    int maximum_;
    std::vector<std::pair<int, QLabel*>> labels_;
};

}  // namespace kvn::ui
