// The automatic equaliser: equaliser bands for one output, fitted so that the output's measured
// loudspeaker plus the processor's blocks follows a target over a frequency range.
//
// The fit uses the processor's own band designs, the editor's limits and the sliders' steps, so
// that what it proposes is exactly what the processor does and what a saved and reopened preset
// holds. Its error is the output's magnitude in the total response (measured loudspeaker,
// equaliser, crossover with SUB's fixed path, gain; every influence on) minus the target, over
// the grid points whose frequency lies in the range, as an RMS about the mean: the level is
// free. The figures it reports are computed afresh from the final bands.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/TargetCurve.h"
#include "analysis/TotalResponse.h"
#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

namespace kvn::analysis {

inline constexpr double kDefaultMaxBoostDb = 6.0;
inline constexpr double kMaxBoostLimitDb = 12.0;

struct FitRange {
    double lowHz = 40.0;
    double highHz = 16000.0;
};

// The range a fit of `output` (1..3) starts from: 40 Hz to 16 kHz, on SUB 30 Hz to 400 Hz.
FitRange defaultFitRange(int output);

struct EqualiserFitOptions {
    int output = 1;  // 1..3
    FitRange range;
    // Bands to fit besides the kept ones: 1..7, SUB 1..3.
    int bands = kPeqBands;
    // Bands in use (1..PeqBandsInUse) that stay exactly as they are; they count in the total.
    std::vector<int> keptBands;
    // No fitted band boosts more than this (0..12 dB): boosting a deep notch wastes amplifier
    // power. The shelves stop at +6 dB in any case.
    double maxBoostDb = kDefaultMaxBoostDb;
    bool cutOnly = false;
    // The first-order shelves may take the place of peaks at the ends of the range; they are kept
    // only where they lower the error.
    bool shelves = true;
};

// The fit reports how far it is and may be stopped.
class FitProgress {
public:
    virtual ~FitProgress() = default;
    // `fraction` of the work done, 0..1, rising. Returning false stops the fit.
    virtual bool advance(double fraction) = 0;
};

enum class FitStatus {
    Fitted,
    Refused,    // the inputs cannot be fitted: `message` says why
    Cancelled,  // the progress asked to stop
};

struct EqualiserFit {
    FitStatus status = FitStatus::Refused;
    std::string message;
    int output = 1;
    FitRange range;
    // The output's bands after the fit, numbered from 1 (SUB: 1..3): kept bands as they were,
    // fitted bands, and the bands neither kept nor fitted set to Bypass. Each is on the sliders'
    // steps and designed.
    std::array<PeqBand, kPeqBands> bands{};
    std::vector<int> fittedBands;  // the numbers of the fitted bands, rising
    int bandsInUse = 0;            // PeqBandsInUse after the fit
    double rmsBeforeDb = 0.0;      // the output as the configuration has it
    double rmsAfterDb = 0.0;       // with the fitted bands
};

// Fits options.bands bands of output options.output. `measured` is the output's measured curve
// on the grid as the import reads it (-140 dB outside the measured range). Refused, with a
// message: a band count or maximum boost out of range, kept bands that do not exist or are not
// in use, more bands than the output has, an empty range or one whose low end is not below its
// high end, a range holding fewer than two grid points, a range reaching outside the measured
// data or outside the target's. Deterministic: the same inputs give the same bands everywhere.
// Runs on the calling thread; `progress` (may be null) is asked often.
EqualiserFit fitEqualiser(const ProcessorConfig& config, const ResponseCurve& measured,
                          const TargetCurve& target, const EqualiserFitOptions& options,
                          FitProgress* progress = nullptr);

// Stores a fit's bands in its output and raises PeqBandsInUse to the highest band it uses. Does
// nothing unless the fit is Fitted.
void applyEqualiserFit(ProcessorConfig& config, const EqualiserFit& fit);

// The fit's error for `config` as it stands: the RMS about the mean, in dB, of output
// `output`'s total magnitude minus the target over the grid points in `range` (every influence
// on, the output heard even when muted). 0 when the range holds no grid point.
double fitDeviationDb(const ProcessorConfig& config, int output, const ResponseCurve& measured,
                      const TargetCurve& target, FitRange range);

// What the Auto EQ window draws on the grid: the output's total magnitude before and after the
// fit, and the target moved to the level of the fitted curve over the range (NaN where the
// target has no data); `levelDb` is that level, the mean of the fitted curve over the range.
struct FitCurves {
    GridValues beforeDb{};
    GridValues afterDb{};
    GridValues targetDb{};
    double levelDb = 0.0;
};
FitCurves fitCurves(const ProcessorConfig& config, const ResponseCurve& measured,
                    const TargetCurve& target, const EqualiserFit& fit);

}  // namespace kvn::analysis
