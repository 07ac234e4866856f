// The rack window "Rack Amplifier": the two amplifiers the dynamics units protect, each channel
// named after its output with an LED bar that follows its unit's threshold, and a "Parameters"
// button per amplifier that opens the speaker window on its unit.
#pragma once

#include "ui/main/EditorForm.h"

#include <array>
#include <functional>

class QLabel;

namespace kvn::widgets {
class LedMeter;
}

namespace kvn::ui {

class TAmpRackForm : public EditorForm {
    Q_OBJECT

public:
    // `openSpeaker(unit)` opens the speaker window on that unit.
    TAmpRackForm(EditorContext& context, std::function<void(int)> openSpeaker);

    // Shows the window (the output is not used).
    void openFor(int output) override;

protected:
    void refresh(const ConfigChange& change) override;
    void showOutputNames() override;

private:
    void showMeters();

    std::function<void(int)> openSpeaker_;
    // Output1NameL, Output2NameL, Output5NameL, Output6NameL and their meters.
    std::array<QLabel*, 4> names_{};
    std::array<widgets::LedMeter*, 4> meters_{};
};

}  // namespace kvn::ui
