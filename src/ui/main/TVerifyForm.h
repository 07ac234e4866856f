// The window the check after a write opens when the memory does not hold what was written: the
// fields that differ, as written and as read back (the texts of `kvn350 preset diff`), the other
// parts of the image that differ, and the choice to write again.
#pragma once

#include "link/DeviceSequences.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace kvn::ui {

class TVerifyForm : public QDialog {
    Q_OBJECT

public:
    explicit TVerifyForm(QWidget* parent = nullptr);

    // Fills the window from `result` and shows it without waiting for it to close.
    void showResult(const link::DeviceSequences::Verification& result);
    QTableWidget* table() const { return table_; }

signals:
    // "Write Again" was pressed (the window has closed).
    void writeAgainRequested();

private:
    QLabel* heading_;
    QTableWidget* table_;
};

}  // namespace kvn::ui
