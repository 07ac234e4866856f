// The alignment window "Align Outputs", opened from the total response's "Align...": which
// outputs may move ("Move" boxes, SUB at first), whether their polarity may change, the
// frequency range (the crossover range when the window opens or "Crossover Range" is pressed),
// "Find", which searches off the window's thread with a progress bar and "Cancel", and the
// proposal: each output's delay in samples, ms and cm (at the configuration's temperature) and
// polarity, the summation loss now and aligned, and the ADD curve now and aligned on one graph.
// "Apply" stores the proposal's delays and polarities as one undoable edit (sent at once in real
// time). A proposal that no longer fits the configuration or the measurements (an edit elsewhere,
// an import, New, Open) is withdrawn.
#pragma once

#include "analysis/OutputAlignment.h"
#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;

namespace kvn::ui {

class MeasurementImportService;

class TAlignForm : public EditorForm {
    Q_OBJECT

public:
    static constexpr int kNowSeries = 1;
    static constexpr int kAlignedSeries = 2;

    // `service` must outlive the window.
    TAlignForm(EditorContext& context, const MeasurementImportService& service);
    // Stops a search that still runs and waits for it.
    ~TAlignForm() override;

    void openFor(int output) override;
    void reloadFromConfig() override;
    std::vector<ScreenshotStep> screenshots() override;

    // "Find": checks the request and the measurements (a message box says what is missing) and
    // starts the search. False when it did not start.
    bool find();
    // Waits until a running search has ended and shows its outcome now.
    void waitForSearch();
    bool searching() const { return worker_ != nullptr; }
    // The proposal shown, if any.
    const std::optional<analysis::AlignmentResult>& proposal() const { return proposal_; }

protected:
    void refresh(const ConfigChange& change) override;
    // A proposal must be withdrawn when what it was found for changes, shown or not.
    bool refreshesWhileHidden() const override { return true; }
    void showOutputNames() override;

private:
    struct Job;

    // The "Move" boxes that are checked, a muted output's never.
    std::array<bool, kOutputCount> movable() const;
    analysis::AlignmentRequest request() const;
    analysis::MeasuredCurves curves() const;
    // The configuration as the search saw it (the view's influences do not matter to it).
    ProcessorConfig searchedConfig() const;
    // The configuration or the measurements differ from what the last search was for.
    bool outdated() const;
    void showDefaultRange();
    void showMutedOutputs();
    void searchEnded();
    void cancel();
    void apply();
    void withdraw(const QString& why);
    void showProposal();
    void showState(const QString& text);

    const MeasurementImportService& service_;
    std::array<QCheckBox*, kOutputCount> move_{};  // Move1..Move3
    QCheckBox* polarity_;                          // PolarityBox
    widgets::RealEdit* low_;                       // RangeLowEdit
    widgets::RealEdit* high_;                      // RangeHighEdit
    QPushButton* find_;                            // FindB
    QPushButton* cancel_;                          // CancelB
    QPushButton* apply_;                           // ApplyB
    QProgressBar* progress_;                       // AlignProgress
    QTimer* progressTimer_;
    QTableWidget* table_;  // ProposalTable
    QLabel* loss_;         // LossLabel
    QLabel* state_;        // StateLabel
    widgets::ResponseGraph* graph_;
    std::shared_ptr<Job> job_;
    std::unique_ptr<QThread> worker_;
    std::optional<analysis::AlignmentResult> proposal_;
    // What the shown proposal was found for.
    ProcessorConfig searched_;
    analysis::MeasuredCurves searchedCurves_{};
};

}  // namespace kvn::ui
