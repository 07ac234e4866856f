// The speaker window "Speaker and Amplifier Parameters": the box and amplifier that a dynamics
// unit's outputs drive (box impedance and power, amplifier power and gain, balanced signal), for
// the power check the dynamics window shows. Modal; none of these values is sent in real time.
#pragma once

#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <functional>

class QComboBox;
class QLabel;

namespace kvn::ui {

class TSpeakerForm : public EditorForm {
    Q_OBJECT

public:
    // `currentUnit` is the unit the dynamics window shows; `chooseUnit` makes a unit current there
    // (the output buttons here choose it).
    TSpeakerForm(EditorContext& context, std::function<int()> currentUnit,
                 std::function<void(int)> chooseUnit);

    // Shows the window modally on output `output` (1..3), or with 0 on the dynamics window's
    // current unit: "OUT SUB" for unit 2, "OUTPUT 1:" otherwise.
    void openFor(int output) override;
    // The unit edited (1 or 2).
    int unit() const;

protected:
    void refresh(const ConfigChange& change) override;
    void showOutputNames() override;

private:
    // The output buttons: the output's unit becomes current here and in the dynamics window.
    void chooseOutput(int output);
    void showOutput();
    void showUnit();
    void editSpeaker(const QString& what, const std::function<void(DynamicsUnit&)>& change);

    std::function<int()> currentUnit_;
    std::function<void(int)> chooseUnit_;
    int output_ = 1;

    widgets::LedGroup* outputs_;
    QLabel* outputCaption_;  // Label5
    QLabel* outputName_;     // OutputLabel
    QComboBox* impedance_;
    widgets::IntSpinEdit* boxPower_;
    widgets::IntSpinEdit* ampPower_;
    widgets::IntSpinEdit* ampGain_;
    QLabel* ampGainDb_;
    widgets::LedButton* balanced_;
};

}  // namespace kvn::ui
