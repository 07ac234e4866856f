// Where a window stood and how large it was, kept between runs in the program's settings (the
// same settings that hold the port map) under "Windows/<objectName>/geometry". The window calls
// shown() from its showEvent, which restores the remembered place the first time only, and
// save() when it is hidden and when it is destroyed while shown.
#pragma once

class QSettings;
class QWidget;

namespace kvn::ui {

class WindowPlacement {
public:
    // `window` must outlive this object; its objectName names the place.
    explicit WindowPlacement(QWidget& window) : window_(window) {}

    // Not owned; null (the default) remembers nothing.
    void setSettings(QSettings* settings) { settings_ = settings; }

    void shown();
    void save() const;

private:
    QWidget& window_;
    QSettings* settings_ = nullptr;
    bool restored_ = false;
};

}  // namespace kvn::ui
