// "Auto EQ": fits the equaliser bands of one output to its measured loudspeaker and a target.
// The measurement is the output's imported one unless another file is chosen; the target is
// flat, tilted or a target file; the range, the number of bands, the bands in use to keep, the
// maximum boost, "cut only" and the shelves are the fit's options.
//
// "Fit" reads the files and fits on a worker thread (progress bar, "Cancel" stops it; the
// window stays responsive) and then shows the proposal over the present response with the RMS
// deviations before and after, changing nothing. "Apply" stores all the proposed bands (and a
// measurement file chosen here) as one edit of the change path: one undo step, and in real time
// the processor receives the bands. A change of the output elsewhere while a proposal is shown
// or being fitted discards it.
#pragma once

#include "analysis/EqualiserFit.h"
#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;

namespace kvn::ui {

class TAutoEqForm : public EditorForm {
    Q_OBJECT

public:
    explicit TAutoEqForm(EditorContext& context);
    // Stops a running fit and waits for its thread.
    ~TAutoEqForm() override;

    // Shows the window for output `output` (1..3); 0 keeps the output shown last.
    void openFor(int output) override;
    std::vector<ScreenshotStep> screenshots() override;

    bool fitting() const { return thread_ != nullptr; }

signals:
    // A fit ended: proposed, refused, cancelled or discarded.
    void fitEnded();

protected:
    void refresh(const ConfigChange& change) override;
    // A fit under way or shown must learn of every change of its output, shown or not.
    bool refreshesWhileHidden() const override { return true; }

private:
    struct Job;

    QWidget* buildOptions();
    void chooseOutput(int output);
    void chooseMeasurement();
    void chooseTarget();
    // FitB, CancelB, ApplyB.
    void startFit();
    void cancelFit();
    void applyFit();
    std::shared_ptr<Job> makeJob();
    // The worker's thread ended; then the job's result is shown (finishJob).
    void fitFinished();
    void finishJob();
    void showProposal();
    void dropProposal(const QString& why);
    void showKeepChecks();
    void setFitting(bool on);

    int output_ = 1;
    QComboBox* outputCombo_ = nullptr;
    QLineEdit* measurementEdit_ = nullptr;
    QComboBox* targetCombo_ = nullptr;
    QLineEdit* targetEdit_ = nullptr;
    widgets::RealEdit* tiltEdit_ = nullptr;
    widgets::RealEdit* lowEdit_ = nullptr;
    widgets::RealEdit* highEdit_ = nullptr;
    widgets::IntSpinEdit* bandsSpin_ = nullptr;
    widgets::RealEdit* boostEdit_ = nullptr;
    QCheckBox* cutOnlyCheck_ = nullptr;
    QCheckBox* shelvesCheck_ = nullptr;
    std::array<QCheckBox*, kPeqBands> keepChecks_{};
    QPushButton* fitButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* resultLabel_ = nullptr;
    QTableWidget* bandsTable_ = nullptr;
    widgets::ResponseGraph* graph_ = nullptr;

    // A measurement chosen here instead of the output's imported one (empty: the imported one).
    QString chosenMeasurement_;
    QString targetFile_;
    std::unique_ptr<QThread> thread_;
    QTimer* progressTimer_ = nullptr;
    std::shared_ptr<Job> job_;
    // The last proposal and what it was fitted on; `generation_` counts the changes of the output
    // made elsewhere, so that a proposal of an older state is never applied.
    std::shared_ptr<Job> proposal_;
    int generation_ = 0;
};

}  // namespace kvn::ui
