#include "ui/main/WindowPlacement.h"

#include <QSettings>
#include <QWidget>

namespace kvn::ui {

namespace {

QString key(const QWidget& window) {
    return QStringLiteral("Windows/%1/geometry").arg(window.objectName());
}

}  // namespace

void WindowPlacement::shown() {
    if (restored_ || settings_ == nullptr) {
        return;
    }
    restored_ = true;
    // restoreGeometry moves a window that was left on a screen no longer attached onto one that is.
    const QByteArray geometry = settings_->value(key(window_)).toByteArray();
    if (!geometry.isEmpty()) {
        window_.restoreGeometry(geometry);
    }
}

void WindowPlacement::save() const {
    // A window never shown keeps what an earlier run remembered.
    if (settings_ != nullptr && restored_) {
        settings_->setValue(key(window_), window_.saveGeometry());
    }
}

}  // namespace kvn::ui
