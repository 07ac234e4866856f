// The crossover editor "CrossOver Configuration": family, order and frequency of the high-pass
// edge (the "L" controls, low end of the band) and of the low-pass edge (the "H" controls, high
// end) of the output chosen with ModXover1..3, and the graph of the three outputs' crossovers
// (the edited one in front with its two edges, the others faint behind it). SUB has only its
// low-pass edge, which cannot be bypassed; its curve carries the fixed SUB path and the SUB
// reinforcement section. Every change is one edit of the output's crossover on the change path;
// the edge handles on the graph, each at its edge's frequency on the edge's curve, drag that
// frequency.
#pragma once

#include "analysis/CrossoverView.h"
#include "config/CrossoverControls.h"
#include "dsp/Response.h"
#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kvn::ui {

class TXOVERForm : public EditorForm {
    Q_OBJECT

public:
    explicit TXOVERForm(EditorContext& context);

    // Shows the window with output 1..3 chosen (0: the output chosen last).
    void openFor(int output) override;
    std::vector<ScreenshotStep> screenshots() override;

    // XoverOutput: the output whose edges the controls edit.
    int editedOutput() const { return output_; }

protected:
    void refresh(const ConfigChange& change) override;
    void showOutputNames() override;

private:
    enum class Control { Family, Order, Frequency };

    struct EdgeControls {
        QGroupBox* box = nullptr;
        QComboBox* family = nullptr;              // TipoXCombo0L / 0H
        widgets::IntSpinEdit* order = nullptr;    // OrdenSpin0L / 0H
        widgets::RealEdit* frequency = nullptr;   // FrecEdit0L / 0H
        widgets::SpinButtons* steps = nullptr;    // FrecSpinB0L / 0H
        widgets::IntSpinEdit* spin = nullptr;     // FrecSpin0L / 0H, hidden: the committed Hz
        widgets::CommitSlider* slider = nullptr;  // FrecSlider0L / 0H
    };

    QWidget* buildOutputPanel();
    QWidget* buildEdge(XoverEdge edge);
    QWidget* buildGraph();
    EdgeControls& controls(XoverEdge edge);

    // ModXover1Click: the output whose edges the controls edit.
    void chooseOutput(int output);
    // FrecSpin1LChange: the edge change behind every control of `edge`.
    void edgeChanged(XoverEdge edge, Control control);
    // Every frequency source (field, arrow buttons, slider, graph) commits through the hidden spin.
    void commitFrequency(XoverEdge edge, double frequencyHz);

    // Controls of the edited output as the configuration holds them (signals blocked).
    void showControls();
    void drawOutput(int output);
    void drawEdges();
    void showView(bool phase);
    void showReadout(QPointF coord, bool inside);

    void graphPressed(QPointF coord, bool inside, Qt::MouseButton button);
    void graphMoved(QPointF coord, bool inside);
    void graphReleased();

    int output_ = 1;
    bool phase_ = false;
    std::optional<XoverEdge> dragging_;
    std::array<std::optional<double>, 2> handles_{};  // high-pass, low-pass handles in Hz
    std::array<ResponseCurve, kOutputCount> curves_{};
    std::array<ResponseCurve, 2> edgeCurves_{};  // high-pass, low-pass of the edited output

    QLabel* panelLabel_ = nullptr;
    std::array<QLabel*, kOutputCount> nameLabels_{};
    std::array<widgets::LedButton*, kOutputCount> outputButtons_{};
    std::array<widgets::LedButton*, kOutputCount> showButtons_{};
    widgets::LedGroup* outputGroup_ = nullptr;
    widgets::LedGroup* viewGroup_ = nullptr;
    EdgeControls high_;  // "L": the high-pass edge
    EdgeControls low_;   // "H": the low-pass edge
    widgets::ResponseGraph* graph_ = nullptr;
    std::array<int, 2> handleMarks_{};
    QLabel* infoLabel_ = nullptr;
    QPushButton* loudnessButton_ = nullptr;
};

}  // namespace kvn::ui
