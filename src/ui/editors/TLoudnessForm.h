// The SUB reinforcement window "Sub Reforcement": one section at slot 100 that lifts the bottom
// of SUB, either a peaking boost ("Parametric Filter") or a resonant high-pass ("High Pass
// filter"), with a frequency slider (29..80 Hz) and a gain slider (0..12 dB). Every change is one
// edit of the section on the change path (sent to bank 1 in real time); the crossover window
// draws it in SUB's curve, and a small graph here shows the section and SUB with it.
#pragma once

#include "dsp/Response.h"
#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>
#include <functional>

class QLabel;

namespace kvn::ui {

class TLoudnessForm : public EditorForm {
    Q_OBJECT

public:
    explicit TLoudnessForm(EditorContext& context);

    // The window has no outputs to choose: every call shows it as it is.
    void openFor(int output) override;
    std::vector<ScreenshotStep> screenshots() override;

protected:
    void refresh(const ConfigChange& change) override;

private:
    QWidget* buildSlider(widgets::CommitSlider*& slider, widgets::RealEdit*& field,
                         const QString& name, const QString& title, const QString& unit);
    // FrecSliderValueChange, FilterGainSliderValueChange and the type buttons: one edit of the
    // section named "SUB reinforcement " + `what`.
    void change(const QString& what, const std::function<void(TSOS&)>& set);
    // ActualizaSliders: the controls as the configuration holds them (signals blocked).
    void showControls();
    void draw();

    widgets::CommitSlider* frequencySlider_ = nullptr;  // FrecSlider
    widgets::RealEdit* frequencyField_ = nullptr;       // FrecEdit
    widgets::CommitSlider* gainSlider_ = nullptr;       // FilterGainSlider
    widgets::RealEdit* gainField_ = nullptr;            // FilterGainEdit
    widgets::LedGroup* typeGroup_ = nullptr;            // ParamLED, HighLED
    widgets::ResponseGraph* graph_ = nullptr;
    std::array<ResponseCurve, 2> curves_{};  // the section; SUB as the crossover window draws it
};

}  // namespace kvn::ui
