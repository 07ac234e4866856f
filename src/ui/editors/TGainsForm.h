// The gains editor "Output Gain Levels": per output a level track in 0.1 dB steps from -30 to
// +6 dB with its dB field, a mute switch and a polarity switch. Level and polarity make the
// output's signed Gain; mute multiplies it by 0 and chooses the input matrix. Every change is an
// edit on the change path: a level or polarity change names the output's Level scope (its level
// word in real time), a mute names its Mute scope (the level word, then bank 1 and the four
// input-matrix words; the main window shows its mute marks from that scope).
#pragma once

#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>

class QLabel;

namespace kvn::ui {

class TGainsForm : public EditorForm {
    Q_OBJECT

public:
    explicit TGainsForm(EditorContext& context);

    // Shows the window; the output's track takes the focus (0: the window as it was).
    void openFor(int output) override;
    // "gains.png": levels set, one output muted and one inverted.
    std::vector<ScreenshotStep> screenshots() override;

protected:
    void refresh(const ConfigChange& change) override;
    void showOutputNames() override;

private:
    // The controls of one output, named with its number ("Output1Track", "MuteOutput1", ...).
    struct Strip {
        widgets::CommitSlider* track = nullptr;
        widgets::RealEdit* level = nullptr;
        widgets::LedButton* mute = nullptr;
        widgets::LedButton* polarity = nullptr;
        QLabel* name = nullptr;
    };

    QWidget* buildStrip(int output);
    Strip& strip(int output) { return strips_[static_cast<std::size_t>(output - 1)]; }

    void trackChanged(int output, int position);
    void levelTyped(int output, double levelDb);
    void polarityClicked(int output, bool wasLit);
    void muteClicked(int output, bool wasLit);
    void showOutput(int output);

    std::array<Strip, 3> strips_;
};

}  // namespace kvn::ui
