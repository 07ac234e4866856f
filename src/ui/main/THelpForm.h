// The short help page (F1): how the main window, the editors, undo, the output copy and the
// files work, and the keyboard shortcuts.
#pragma once

#include <QDialog>

namespace kvn::ui {

class THelpForm : public QDialog {
    Q_OBJECT

public:
    explicit THelpForm(QWidget* parent = nullptr);
};

}  // namespace kvn::ui
