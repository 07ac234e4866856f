// One of the processor's front-panel keys (DOWN, UP, ENTER) as a button: the key picture, swapped
// for its pressed picture while the mouse button is held on it.
#pragma once

#include "ui/main/Artwork.h"

#include <QAbstractButton>

namespace kvn::ui {

class PanelKeyButton : public QAbstractButton {
    Q_OBJECT

public:
    PanelKeyButton(art::PanelKey key, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    art::PanelKey key_;
};

}  // namespace kvn::ui
