// "Parametric Equalization": the equaliser of the three outputs (7 bands on Output 1 and Output 2,
// 3 on SUB), one band at a time, with a type list, frequency, Q and gain controls and a response
// graph on which the selected band's point is dragged.
//
// Every control's handler makes one edit of the selected band through the change path (scope: the
// band's section), then shows the band again and redraws the edited output's curve and its mark.
// On the graph (magnitude view only): pressing the band's point and dragging moves it (one undo
// step per drag); the wheel over the point changes its Q by one slider step; a double click on it
// sets its gain to 0 dB; with the graph focused, Left and Right move its frequency by one step
// and Up and Down its gain by 0.1 dB. Selecting a band raises the output's bands in use and
// quantises the band as its controls load; that edit is not an undo step of its own.
#pragma once

#include "analysis/OutputCurves.h"
#include "dsp/Response.h"
#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <QPointF>

#include <array>
#include <functional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QStatusBar;

namespace kvn::ui {

class TPEQForm : public EditorForm {
    Q_OBJECT

public:
    // Shows Output 1, band 1 of every output selected, all curves visible, magnitude view.
    explicit TPEQForm(EditorContext& context);

    // Shows the window with output `output` (1..3) edited; 0 keeps the output shown last.
    void openFor(int output) override;
    std::vector<ScreenshotStep> screenshots() override;

    // The output being edited (1..3) and the band selected on it (1..7, SUB 1..3).
    int editedOutput() const { return editedOutput_; }
    int selectedBand() const { return selectedBand_[static_cast<std::size_t>(editedOutput_ - 1)]; }

signals:
    // Another band or output is shown (the coefficient view follows it).
    void bandShown(int output, int band);

protected:
    void refresh(const ConfigChange& change) override;
    void showOutputNames() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The handlers of the window's controls, named after them.
    void ModPEQ1Click(int output);
    void SpinFiltroChange(int band);
    void TipoFiltroComboChange(int listIndex);

    QWidget* buildOutputBar();
    QWidget* buildBandPanel();
    QWidget* buildFooter();

    // One edit of the selected band: `what` names it ("gain": "Output 1 band 3 gain").
    void editBand(const QString& what, const std::function<void(PeqBand&)>& change,
                  bool mergeable = false);
    const PeqBand& currentBand() const;
    bool subEdited() const;
    // Sets every band control from the selected band, signals blocked.
    void showBand();
    // Evaluates output `output`'s curve, replaces its series and places the marks.
    void drawOutput(int output);
    // The selected band's number over each shown output's curve: the edited output's in white
    // and kept in sight at the graph's edge, the others' in their curves' colours; marks that
    // would cover each other are moved apart.
    void placeMarks();
    // The graph's title names the edited output as the configuration calls it.
    void showTitle();
    // The status line: the position readout, or what a field said about an entry.
    void showStatus(const QString& text);
    void setPhaseView(bool phase);
    void setCurveVisible(int output, bool visible);

    void graphPressed(QPointF at, Qt::MouseButton button);
    void graphMoved(QPointF at, bool inside);
    void graphReleased();
    void dragTo(QPointF at);
    // True when `at` lies within the hit distances of the selected band's point (magnitude view).
    bool onBandPoint(QPointF at) const;
    void showReadout(QPointF at);
    void clearReadout();

    widgets::LedGroup* outputGroup_ = nullptr;
    std::array<widgets::LedButton*, 3> outputButtons_{};  // ModPEQ1..3
    std::array<widgets::LedButton*, 3> curveChecks_{};    // VerPEQ1Check..3
    widgets::LedButton* magButton_ = nullptr;
    widgets::LedButton* phaseButton_ = nullptr;
    widgets::IntSpinEdit* bandSpin_ = nullptr;  // SpinFiltro
    QComboBox* typeCombo_ = nullptr;            // TipoFiltroCombo
    widgets::RealEdit* frequencyEdit_ = nullptr;
    widgets::CommitSlider* frequencySlider_ = nullptr;
    widgets::RealEdit* qEdit_ = nullptr;
    widgets::CommitSlider* qSlider_ = nullptr;
    widgets::SpinButtons* qButtons_ = nullptr;
    widgets::RealEdit* gainEdit_ = nullptr;
    widgets::CommitSlider* gainSlider_ = nullptr;
    widgets::SpinButtons* gainButtons_ = nullptr;
    std::array<QWidget*, 4> gainGroup_{};
    std::array<QWidget*, 4> qGroup_{};
    widgets::ResponseGraph* graph_ = nullptr;  // xygraph1
    QStatusBar* statusBar_ = nullptr;          // StatusBar1, hidden: holds the readout
    QLabel* infoLabel_ = nullptr;              // shows it
    // Where the window's command buttons go, left of the real-time button.
    QHBoxLayout* commandRow_ = nullptr;

    int editedOutput_ = 1;
    std::array<int, 3> selectedBand_{1, 1, 1};
    std::array<ResponseCurve, 3> curves_{};
    std::array<int, 3> marks_{};
    analysis::CurveView view_ = analysis::CurveView::Magnitude;
    QString valueSuffix_;
    bool dragging_ = false;
};

}  // namespace kvn::ui
