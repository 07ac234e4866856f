// A label or picture that reports clicks (the logo, the "PROGRAM" label).
#pragma once

#include <QLabel>

namespace kvn::ui {

class ClickLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickLabel(const QString& text = {}, QWidget* parent = nullptr);

signals:
    // A left-button press and release inside the label.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace kvn::ui
