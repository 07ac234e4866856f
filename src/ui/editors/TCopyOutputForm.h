// The "Copy outputs" window: copies chosen groups of settings (route, crossover, equaliser,
// delay, gain, name, dynamics) from one output to another as one step of the history, after the
// user confirms. Opened modally by the main window's "Copy" button; the spins and boxes keep their
// values between openings. The copy itself is copyOutput (config/OutputCopy.h); in real-time mode
// the processor is sent what the copy changed. "to Output" starts on the output after the source;
// a warning line says when copying the name would give two outputs one name.
#pragma once

#include "config/OutputCopy.h"
#include "ui/main/EditorForm.h"

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kvn::ui {

class TCopyOutputForm : public EditorForm {
    Q_OBJECT

public:
    explicit TCopyOutputForm(EditorContext& context);

    // Shows the window modally; `output` (1..3) becomes the source when given.
    void openFor(int output) override;
    std::vector<ScreenshotStep> screenshots() override;

    // The boxes ticked now.
    CopyGroups groups() const;

    // Handlers.
    void CopyAllClick(bool checked);
    void OK_BitBtnClick();

protected:
    void refresh(const ConfigChange& change) override;
    void showOutputNames() override;

private:
    QSpinBox* outputSpin(const char* name, const char* caption, QLabel*& nameLabel);
    void showNameWarning();

    QSpinBox* origen_ = nullptr;
    QSpinBox* copia_ = nullptr;
    QLabel* origenName_ = nullptr;
    QLabel* copiaName_ = nullptr;
    // In the order of kCopyGroups.
    std::array<QCheckBox*, kCopyGroups.size()> checks_{};
    QCheckBox* copyAll_ = nullptr;
    QPushButton* ok_ = nullptr;
    QLabel* nameWarning_ = nullptr;  // "NameWarningL"
};

}  // namespace kvn::ui
