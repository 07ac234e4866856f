// The "Set Password" window: the processor's front-panel keys DOWN, UP and ENTER enter six
// symbols (letters shown in clear, or key presses shown as '*', depending on the processor),
// "Clear" starts again, "Password Active" switches the password on or off, and OK becomes
// possible once six symbols are in.
#pragma once

#include "link/PasswordEntry.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kvn::widgets {
class LedButton;
}

namespace kvn::ui {

class PanelKeyButton;

class TPasswordForm : public QDialog {
    Q_OBJECT

public:
    explicit TPasswordForm(QWidget* parent = nullptr);

    // Starts a fresh entry in the given scheme and opens the window (modal, without waiting).
    // accepted() or rejected() tell the outcome; block() holds the password after OK.
    void ask(bool letterScheme);
    // Starts again: all letters 'A', first position, password not active, OK disabled.
    void clearEntry();

    const link::PasswordEntry& entry() const { return entry_; }
    // Bytes 0..5 the symbols, byte 6 0xFF when "Password Active" is lit.
    const link::PasswordEntry::Block& block() const { return entry_.block(); }

private:
    void press(void (link::PasswordEntry::*key)());
    void showEntry(bool entered);

    link::PasswordEntry entry_{true};
    QLineEdit* passwordEdit_;
    PanelKeyButton* down_;
    PanelKeyButton* up_;
    PanelKeyButton* enter_;
    QPushButton* clear_;
    widgets::LedButton* activeLed_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace kvn::ui
