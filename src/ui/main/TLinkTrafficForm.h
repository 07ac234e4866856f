// The "Link traffic" window: every byte the link sends and receives, with its time in
// milliseconds, and the step texts and messages, shown as they happen; it saves them in the
// recorded-conversation form the link tests replay. Recording can be paused and the record
// cleared. The view follows new lines while it is scrolled to the end.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace kvn::link {
class TrafficLog;
}

namespace kvn::ui {

class UserDialogs;

class TLinkTrafficForm : public QWidget {
    Q_OBJECT

public:
    // `log` and `dialogs` must outlive the window.
    TLinkTrafficForm(link::TrafficLog& log, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Takes the lines recorded since the last call into the view.
    void refresh();
    // Asks where to save the record, then writes it; false when it was not written.
    bool save();
    QPlainTextEdit* view() const { return view_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    link::TrafficLog& log_;
    UserDialogs& dialogs_;
    QPlainTextEdit* view_;
    QCheckBox* record_;
    QLabel* count_;
    QTimer* timer_;
    std::size_t shown_ = 0;  // lines of the log taken into the view
    bool following_ = true;  // the view shows the last line and keeps doing so
};

}  // namespace kvn::ui
