// "Show Filter Coefficients": the five coefficients of the equaliser band being edited, in the
// processor's convention (y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] + a1 y[n-1] + a2 y[n-2]), each
// with the fixed-point word the processor receives, shown again after every change of the band.
// "Copy" puts every section of the edited output on the clipboard as text.
#pragma once

#include "ui/main/EditorForm.h"

#include <array>

class QLabel;
class QLineEdit;

namespace kvn::ui {

class TShowCoeffForm : public EditorForm {
    Q_OBJECT

public:
    explicit TShowCoeffForm(EditorContext& context);

    // Shows the window with the band shown last (the coefficient view is not per output).
    void openFor(int output) override;
    std::vector<ScreenshotStep> screenshots() override;

    // The equaliser shows band `band` of output `output` (1..3) now.
    void showBand(int output, int band);
    // Puts every equaliser section of the shown output on the clipboard.
    void copySections();

protected:
    void refresh(const ConfigChange& change) override;
    void showEvent(QShowEvent* event) override;

private:
    void showValues();

    int output_ = 1;
    int band_ = 1;
    QLabel* bandLabel_ = nullptr;
    std::array<QLineEdit*, 5> values_{};  // b0Edit .. a2Edit
    std::array<QLineEdit*, 5> words_{};   // b0Word .. a2Word
};

}  // namespace kvn::ui
