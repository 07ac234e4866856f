// Renders every window of the editor to PNG files (for the README and for review): the
// connection window, the main window connected to the virtual processor, the loading and
// transfer windows, System Info, the code box, both password schemes and the port settings.
// Runs on the event loop, one step per tick, so that each window is laid out before it is drawn.
#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <functional>

class QImage;
class QWidget;

namespace kvn::ui {

class EditorApplication;

class ScreenshotRun : public QObject {
    Q_OBJECT

public:
    // `editor` must have been started.
    ScreenshotRun(EditorApplication& editor, QString folder);

    void start();
    // The names of the files written so far.
    const QStringList& written() const { return written_; }

signals:
    // All pictures written (true), or one could not be (false, with a line on stderr).
    void done(bool ok);

private:
    void plan();
    void next();
    void shoot(QWidget* window, const QString& name);
    void save(const QImage& picture, const QString& name);
    void fillExample();

    EditorApplication& editor_;
    QString folder_;
    std::deque<std::function<void()>> steps_;
    QStringList written_;
    bool failed_ = false;
    bool waitingForConnection_ = false;
};

}  // namespace kvn::ui
