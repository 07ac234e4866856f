// The dynamics editor "Dynamic Configuration": the two dynamics units (OUT 1-2 acting on Output 1
// and Output 2, SUB on SUB), each a limiter or compressor with soft knee, RMS detector timing and
// noise gate, with its static curve in dBu and the power check of its speaker and amplifier. It
// owns the speaker window ("Box Parameters") and the rack window ("Amp Rack").
#pragma once

#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <memory>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QMenu;

namespace kvn::ui {

class ClickLabel;
class TAmpRackForm;
class TSpeakerForm;

// "Dynamic OUT 1-2", "Dynamic SUB": how the window and the edit descriptions name unit 1..2.
QString dynamicsUnitTitle(int unit);

class TDynamicform : public EditorForm {
    Q_OBJECT

public:
    // Clicks on "Noise Level" and on "RMS Dynamics" that reveal the expert fields.
    static constexpr int kGateRevealClicks = 14;
    static constexpr int kLookAheadRevealClicks = 10;
    // The graph's axes run from here up to +20 dBu.
    static constexpr double kGraphFloorDbu = -80.0;

    explicit TDynamicform(EditorContext& context);
    ~TDynamicform() override;

    // Output 3 (SUB) shows unit 2, outputs 1 and 2 unit 1, 0 the unit shown last. Opening shows
    // the unit as it stands; only a click on a unit selector loads it (quantising its threshold,
    // ratio and knee to the tracks and redesigning it).
    void openFor(int output) override;
    void closeEditor() override;
    void showRealTime(bool on) override;
    std::vector<ScreenshotStep> screenshots() override;

    // The unit the controls, the speaker window and the power readout show (1 or 2).
    int currentUnit() const { return unit_; }
    // Makes `unit` current and lights its selector without loading it (the speaker window's
    // output choice and the rack window's buttons).
    void setCurrentUnit(int unit);
    // Opens the speaker window on the current unit (button "Box Parameters").
    void openSpeakerWindow();
    void openRackWindow();
    TSpeakerForm& speakerForm() { return *speaker_; }
    TAmpRackForm& rackForm() { return *rack_; }

    // Adds "Rack Amplifier..." to `menu` (the main window's View menu).
    void addMenuEntries(QMenu* menu);

protected:
    void refresh(const ConfigChange& change) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildSelectors();
    QWidget* buildLevels();
    QWidget* buildTiming();
    QWidget* buildGate();
    QWidget* buildGraph();
    QWidget* buildPower();
    void wire();

    // A click on a unit selector: loads the unit and shows it.
    void selectUnit(int unit);
    // Every control, the curve and the power readout from the current unit, signals blocked.
    void showUnit();
    void showCurve();
    void showPower();
    void editUnit(const QString& what, link::EditScope scope,
                  const std::function<void(DynamicsUnit&)>& change);

    void thresholdMoved(int position);
    void ratioMoved(int position);
    void kneeMoved(int position);
    void typeChosen(int index);
    void bypassClicked();
    void noiseChosen(int item);
    void gateFieldsCommitted();
    void attackCommitted(double attackDbPerS);
    void holdCommitted(double holdMs);
    void releaseCommitted(double releaseDbPerS);
    void lookAheadCommitted(double lookAheadMs);
    void countRevealClick(int& count, int needed, const std::vector<QWidget*>& revealed);

    int unit_ = 1;
    int gateClicks_ = 0;
    int lookAheadClicks_ = 0;

    widgets::LedButton* output1B_;
    widgets::LedButton* output2B_;
    widgets::LedGroup* units_;
    QLabel* unitLabel_;

    QLabel* thresholdCaption_;  // th_lim_label
    widgets::CommitSlider* threshold_;
    widgets::RealEdit* thresholdEdit_;
    widgets::CommitSlider* ratio_;
    QLabel* ratioLabel_;
    std::vector<QWidget*> ratioLabels_;
    widgets::CommitSlider* knee_;
    widgets::RealEdit* kneeEdit_;
    widgets::LedButton* limiterB_;
    widgets::LedButton* compressorB_;
    widgets::LedGroup* types_;
    QPushButton* bypass_;

    ClickLabel* timingTitle_;  // "RMS Dynamics"
    widgets::RealEdit* attack_;
    widgets::SpinButtons* attackSpin_;
    widgets::RealEdit* hold_;
    widgets::SpinButtons* holdSpin_;
    widgets::RealEdit* release_;
    widgets::SpinButtons* releaseSpin_;
    widgets::RealEdit* lookAhead_;
    widgets::SpinButtons* lookAheadSpin_;
    std::vector<QWidget*> lookAheadRow_;

    ClickLabel* noiseTitle_;  // "Noise Level"
    QComboBox* noise_;
    widgets::RealEdit* gateLevel_;
    widgets::RealEdit* gateSlope_;
    std::vector<QWidget*> gateRow_;

    widgets::ResponseGraph* graph_;
    QPlainTextEdit* powerMemo_;
    widgets::LedMeter* meter_;
    QLabel* warning_;   // WaningLabel
    QLabel* warning2_;  // WaningLabel2
    QLabel* power_;     // Label25
    QPushButton* boxParams_;
    QPushButton* rackButton_;

    std::unique_ptr<TSpeakerForm> speaker_;
    std::unique_ptr<TAmpRackForm> rack_;
};

}  // namespace kvn::ui
