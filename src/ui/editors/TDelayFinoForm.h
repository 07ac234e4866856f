// The delay editor "Output Delay": the delay of each output in whole samples, shown at once as a
// track (delay = 234 - position), in milliseconds and in centimetres of sound travel at the air
// temperature, each typed or stepped one sample at a time; the temperature in degrees C and F; and
// the panel "Relative Distance Between Speakers", whose distances Auto Align turns into the three
// delays, with a picture of where each speaker's sound stands after its delay. Under each delay
// its count of samples; a field that held or refused an entry says so on the status line.
//
// Edits go through the change path: a delay names the output's Delay scope (its delay word in
// real time); temperature and relative distances are quiet. The look-ahead offset that Auto Align
// and the picture use is the dynamics unit's look-ahead, read from the configuration on every
// change made elsewhere. The distance fields are this window's own: they keep the distances as
// typed while the configuration holds the counts shifted so that the smallest is 0; when the
// counts change elsewhere (a load, an undo, an output copy) the fields show them again.
#pragma once

#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>
#include <functional>
#include <map>

class QLabel;
class QPushButton;

namespace kvn::ui {

class AlignmentPicture;

class TDelayFinoForm : public EditorForm {
    Q_OBJECT

public:
    explicit TDelayFinoForm(EditorContext& context);

    // Shows the window; the output's track takes the focus (0: the window as it was).
    void openFor(int output) override;
    // New, Open and Read: the distance fields show the loaded counts.
    void reloadFromConfig() override;
    // "delay.png": temperature, distances, a look-ahead and the delays Auto Align gives.
    std::vector<ScreenshotStep> screenshots() override;

protected:
    void refresh(const ConfigChange& change) override;
    void showOutputNames() override;
    // Up and Down in the delay and distance fields step one sample.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Strip {
        widgets::CommitSlider* track = nullptr;         // "Del1track"
        widgets::RealEdit* ms = nullptr;                // "msegdel1"
        widgets::RealEdit* cm = nullptr;                // "Del1L"
        QLabel* samples = nullptr;                      // "Del1SamplesL"
        widgets::SpinButtons* msSteps = nullptr;        // "UpDown01msTSpin"
        widgets::SpinButtons* cmSteps = nullptr;        // "UpDown01cmTSpin"
        widgets::RealEdit* distance = nullptr;          // "DistOut1Edit"
        widgets::SpinButtons* distanceSteps = nullptr;  // "DistSpinButton1"
        QLabel* name = nullptr;                         // "Output1NameL"
        QLabel* name2 = nullptr;                        // "Output1Name2L"
    };

    QWidget* buildDelayStrip(int output);
    QWidget* buildTemperature();
    QWidget* buildDistances();
    Strip& strip(int output) { return strips_[static_cast<std::size_t>(output - 1)]; }

    void trackChanged(int output, int position);
    void stepDelay(int output, int direction);
    void delayTyped(int output, int samples);
    void celsiusChanged(int celsius);
    void distanceEntered(int output, int direction);
    void autoAlign();

    void showDelays();
    void showDelay(int output);
    void showTemperature();
    void showDistances(bool force);
    void showLookAhead();
    void showPicture();

    std::array<Strip, 3> strips_;
    widgets::IntSpinEdit* celsius_ = nullptr;
    widgets::IntSpinEdit* fahrenheit_ = nullptr;
    QLabel* speed_ = nullptr;
    QLabel* lookAhead_ = nullptr;
    QPushButton* autoAlign_ = nullptr;
    AlignmentPicture* picture_ = nullptr;
    // "InfoLabel": what a field said about an entry it held or refused.
    QLabel* status_ = nullptr;
    // The step of each field that Up and Down act on.
    std::map<QObject*, std::function<void(int)>> fieldSteps_;
};

}  // namespace kvn::ui
