// The connection window: the first window of the program and the one whose closing ends it.
// Indicator buttons choose how the processor is reached: Offline (tag 0), COM 1 (1), COM 2 (2),
// USB (3), COM 3 (4), COM 4 (5), and Virtual (6), the built-in virtual processor. Exactly one
// indicator is lit after each click. The window only reports the choice; the application
// connects, identifies and hides it.
#pragma once

#include "widgets/WidgetsForward.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace kvn::ui {

class TConnectForm : public QWidget {
    Q_OBJECT

public:
    enum Tag { kOffline = 0, kCom1 = 1, kCom2 = 2, kUsb = 3, kCom3 = 4, kCom4 = 5, kVirtual = 6 };
    static constexpr int kChoices = 7;

    explicit TConnectForm(QWidget* parent = nullptr);

    // The COM port number (1..4) of a tag, 0 for the other choices.
    static int comNumber(int tag);

    // Decides whether a close may end the program (the save question). Without a guard the window
    // always closes.
    void setCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }
    // The choice buttons answer clicks only once every window exists and while no operation runs.
    void setChoicesEnabled(bool enabled);
    // Lights the indicator of `tag` alone, without reporting a choice.
    void lightIndicator(int tag);
    // The lit indicator's tag, or -1.
    int litIndicator() const;
    // Where COM 1..4 lead ("/dev/ttyUSB0"), shown under their buttons.
    void setPortLocations(const std::array<QString, 4>& locations);
    // A line under the choices saying what is going on ("Connecting...", an empty text).
    void setNote(const QString& text);
    // Why the processor could not be reached and what to do, with the checks that were made;
    // an empty text hides it. Cleared by the next choice.
    void setDiagnosis(const QString& text, const QStringList& checks = {});
    QString diagnosis() const;

    widgets::LedButton* indicator(int tag) const;

signals:
    void choiceMade(int tag);
    void portSettingsRequested();
    // The close was allowed: the program ends.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    widgets::LedGroup* group_;
    std::array<widgets::LedButton*, kChoices> indicators_{};
    std::array<QLabel*, 4> portLabels_{};
    QPushButton* settingsButton_;
    QLabel* note_;
    QLabel* diagnosis_;
    std::function<bool()> closeGuard_;
};

}  // namespace kvn::ui
