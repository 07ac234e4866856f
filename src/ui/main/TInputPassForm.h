// The code box opened by a click on the main window's logo: "P a s s W o r d" and a masked field
// of at most 4 characters. Enter hands the code over and closes the box; Escape closes it without.
#pragma once

#include <QDialog>

class QLineEdit;

namespace kvn::ui {

class TInputPassForm : public QDialog {
    Q_OBJECT

public:
    explicit TInputPassForm(QWidget* parent = nullptr);

    // Empties the field and opens the box (window-modal, without waiting), focused on the field.
    void ask();

signals:
    // Enter was pressed with `code` in the field; the box has closed.
    void codeEntered(const QString& code);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* passwordEdit_;
};

}  // namespace kvn::ui
