// The total response view "Final Response": what the whole system does at each output (its
// equaliser, crossover, gain and polarity, delay and measured loudspeaker) and the complex sum
// of the three ("ADD"), in magnitude or phase. It is recomputed for every change of the
// configuration and every measurement import, also while hidden; changes are coalesced so that
// one event-loop turn costs at most one computation and one replot. The five "Influences" are
// the configuration's ResponseView flags (a click is a quiet edit); the curve switches and the
// Mag/Phase mode belong to the window.
#pragma once

#include "analysis/TotalResponse.h"
#include "ui/main/EditorForm.h"
#include "widgets/WidgetsForward.h"

#include <array>

class QCheckBox;
class QLabel;

namespace kvn::ui {

class MeasurementImportService;

class TFinalResponseForm : public EditorForm {
    Q_OBJECT

public:
    static constexpr int kAddSeries = 4;

    // `service` must outlive the window.
    TFinalResponseForm(EditorContext& context, const MeasurementImportService& service);

    void openFor(int output) override;
    std::vector<ScreenshotStep> screenshots() override;

    // DibujaFinalResponse: computes and plots now (what a pending recomputation would do).
    void DibujaFinalResponse();
    // The curves last computed.
    const analysis::TotalResponse& response() const { return response_; }
    bool phaseMode() const { return phaseMode_; }
    // Computations so far (the benchmark and tests count them).
    int computations() const { return computations_; }

protected:
    void refresh(const ConfigChange& change) override;
    void showOutputNames() override;
    void changeEvent(QEvent* event) override;

private:
    void scheduleRecompute();
    void setPhaseMode(bool phase);
    void showInfluences();
    void plot();
    void showReadout(QPointF coord, bool inside);

    const MeasurementImportService& service_;
    widgets::ResponseGraph* graph_;
    std::array<QCheckBox*, analysis::kInfluenceCount> influences_{};
    std::array<widgets::LedButton*, kAddSeries> curveSwitches_{};  // Via1..Via4
    widgets::LedGroup* modes_;                                     // Mag, Phase
    QLabel* readout_;                                              // InfoLabel
    analysis::TotalResponse response_;
    // Each output's equaliser and crossover curves: only those whose sections changed are
    // evaluated again.
    analysis::BlockCurveCache blocks_;
    analysis::OutputPartCache parts_;
    bool phaseMode_ = false;
    bool pending_ = false;
    int computations_ = 0;
};

}  // namespace kvn::ui
