// The automatic equaliser: the checks of its inputs, the fixed part of the output's response,
// and the bands the search chooses put into the output's slots.
#include "analysis/EqualiserFit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "analysis/EqualiserSearch.h"
#include "analysis/MeasurementImport.h"
#include "analysis/MessageText.h"
#include "config/EqualizerControls.h"

namespace kvn::analysis {

FitRange defaultFitRange(int output) {
    return output == kSubOutput ? FitRange{30.0, 400.0} : FitRange{40.0, 16000.0};
}

namespace {

std::string rangeText(FitRange range) {
    return numberText(range.lowHz) + "-" + numberText(range.highHz) + " Hz";
}

std::string capitalised(std::string text) {
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text;
}

// The grid points whose frequency lies in the range.
std::vector<std::size_t> rangePoints(FitRange range) {
    std::vector<std::size_t> points;
    const ResponseGrid& grid = responseGrid();
    for (std::size_t k = 0; k < grid.GridHz.size(); ++k) {
        if (grid.GridHz[k] >= range.lowHz && grid.GridHz[k] <= range.highHz) {
            points.push_back(k);
        }
    }
    return points;
}

// The output's magnitude in the total response with every influence on, as the view keeps it
// (single precision), heard even when the output is muted.
GridValues totalMagnitude(const ProcessorConfig& config, int output,
                          const ResponseCurve& measured) {
    ProcessorConfig viewed = config;
    viewed.ResponseView.fill(true);
    MeasuredCurves curves{};
    curves[static_cast<std::size_t>(output - 1)] = measured;
    TotalResponse response;
    computeTotalResponse(viewed, curves, response);
    GridValues magnitude{};
    for (std::size_t k = 0; k < magnitude.size(); ++k) {
        magnitude[k] = response.magDb[static_cast<std::size_t>(output - 1)][k];
    }
    return magnitude;
}

double deviationDb(const GridValues& magnitude, const TargetCurve& target,
                   const std::vector<std::size_t>& points) {
    if (points.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (const std::size_t k : points) {
        sum += magnitude[k] - target.db[k];
    }
    const double mean = sum / static_cast<double>(points.size());
    double squares = 0.0;
    for (const std::size_t k : points) {
        const double e = magnitude[k] - target.db[k] - mean;
        squares += e * e;
    }
    return std::sqrt(squares / static_cast<double>(points.size()));
}

// Why the inputs cannot be fitted; empty when they can. `points` are the range's grid points.
std::string refusal(const ProcessorConfig& config, const ResponseCurve& measured,
                    const TargetCurve& target, const EqualiserFitOptions& options,
                    const std::vector<std::size_t>& points, const std::vector<int>& kept) {
    const int output = options.output;
    const int count = peqBandCount(output);
    const std::string name = outputTitle(output);
    if (options.bands < 1 || options.bands > count) {
        return "The number of bands to fit must be 1 to " + std::to_string(count) + " on " + name;
    }
    if (!(options.maxBoostDb >= 0.0 && options.maxBoostDb <= kMaxBoostLimitDb)) {
        return "The maximum boost must be 0 to 12 dB";
    }
    const FitRange range = options.range;
    if (!std::isfinite(range.lowHz) || !std::isfinite(range.highHz) || range.lowHz <= 0.0) {
        return "The range must be two frequencies above 0 Hz";
    }
    if (range.lowHz >= range.highHz) {
        return "The range " + rangeText(range) +
               " is empty: its low end must be below its high end";
    }
    if (points.size() < 2) {
        return "The range " + rangeText(range) +
               " holds fewer than two points of the response grid";
    }
    const ResponseGrid& grid = responseGrid();
    for (const std::size_t k : points) {
        const std::string at = std::to_string(grid.GridHz[k]) + " Hz";
        if (measured.MagDb[k] == kOutsideMeasurementDb) {
            return "The measurement does not cover the range " + rangeText(range) +
                   ": it has no data at " + at;
        }
        if (!target.defined[k]) {
            return capitalised(target.name) + " does not cover the range " + rangeText(range) +
                   ": it has no data at " + at;
        }
    }
    for (const int number : kept) {
        if (number < 1 || number > count) {
            return name + " has no band " + std::to_string(number);
        }
        if (number > config.output(output).PeqBandsInUse) {
            return "Band " + std::to_string(number) + " of " + name +
                   " is not in use and cannot be kept";
        }
    }
    if (options.bands + static_cast<int>(kept.size()) > count) {
        return std::to_string(options.bands) + " bands to fit and " + std::to_string(kept.size()) +
               " kept are more than the " + std::to_string(count) + " bands of " + name;
    }
    return {};
}

}  // namespace

EqualiserFit fitEqualiser(const ProcessorConfig& config, const ResponseCurve& measured,
                          const TargetCurve& target, const EqualiserFitOptions& options,
                          FitProgress* progress) {
    EqualiserFit fit;
    fit.output = options.output;
    fit.range = options.range;
    if (options.output < 1 || options.output > kOutputCount) {
        fit.message = "There is no output " + std::to_string(options.output);
        return fit;
    }
    const int output = options.output;
    const bool sub = output == kSubOutput;
    const int count = peqBandCount(output);
    std::vector<int> kept = options.keptBands;
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    const std::vector<std::size_t> points = rangePoints(options.range);
    fit.message = refusal(config, measured, target, options, points, kept);
    if (!fit.message.empty()) {
        return fit;
    }

    // The fitted bands take the lowest slots that are not kept; the other free slots are
    // bypassed, so that nothing but the kept bands and the fit shapes the output.
    std::vector<int> slots;
    for (int number = 1; number <= count; ++number) {
        if (!std::binary_search(kept.begin(), kept.end(), number)) {
            slots.push_back(number);
        }
    }
    ProcessorConfig fixed = config;
    OutputChannel& fixedOutput = fixed.output(output);
    for (const int number : slots) {
        fixedOutput.band(number).FilterType = kBypass;
        fixedOutput.band(number).setUnity();
    }
    fixedOutput.PeqBandsInUse = count;
    const GridValues fixedDb = totalMagnitude(fixed, output, measured);

    SearchProblem problem;
    const ResponseGrid& grid = responseGrid();
    for (const std::size_t k : points) {
        problem.base.push_back(fixedDb[k] - target.db[k]);
        problem.cos1.push_back(grid.ZRe[k]);
        problem.cos2.push_back(2.0 * grid.ZRe[k] * grid.ZRe[k] - 1.0);
        problem.octave.push_back(std::log2(static_cast<double>(grid.GridHz[k])));
    }
    problem.lowHz = options.range.lowHz;
    problem.highHz = options.range.highHz;
    problem.bands = options.bands;
    problem.limits = searchLimits(sub, options.maxBoostDb, options.cutOnly);
    problem.shelves = options.shelves;
    const std::optional<std::vector<BandSteps>> found = searchBands(problem, progress);
    if (!found) {
        fit.status = FitStatus::Cancelled;
        fit.message = "The fit was cancelled";
        return fit;
    }

    const OutputChannel& current = config.output(output);
    std::copy(current.Peq.begin(), current.Peq.end(), fit.bands.begin());
    fit.bandsInUse = current.PeqBandsInUse;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        PeqBand& band = fit.bands[static_cast<std::size_t>(slots[i] - 1)];
        if (i < found->size()) {
            setBandSteps(band, (*found)[i], sub);
            fit.fittedBands.push_back(slots[i]);
            fit.bandsInUse = std::max(fit.bandsInUse, slots[i]);
        } else {
            band.FilterType = kBypass;
            loadBandControls(band, sub);
        }
    }
    fit.status = FitStatus::Fitted;
    fit.message.clear();
    fit.rmsBeforeDb = fitDeviationDb(config, output, measured, target, options.range);
    ProcessorConfig after = config;
    applyEqualiserFit(after, fit);
    fit.rmsAfterDb = fitDeviationDb(after, output, measured, target, options.range);
    if (progress != nullptr) {
        progress->advance(1.0);
    }
    return fit;
}

void applyEqualiserFit(ProcessorConfig& config, const EqualiserFit& fit) {
    if (fit.status != FitStatus::Fitted || fit.output < 1 || fit.output > kOutputCount) {
        return;
    }
    OutputChannel& output = config.output(fit.output);
    for (int number = 1; number <= peqBandCount(fit.output); ++number) {
        output.band(number) = fit.bands[static_cast<std::size_t>(number - 1)];
    }
    output.PeqBandsInUse = std::max(output.PeqBandsInUse, fit.bandsInUse);
}

double fitDeviationDb(const ProcessorConfig& config, int output, const ResponseCurve& measured,
                      const TargetCurve& target, FitRange range) {
    return deviationDb(totalMagnitude(config, output, measured), target, rangePoints(range));
}

FitCurves fitCurves(const ProcessorConfig& config, const ResponseCurve& measured,
                    const TargetCurve& target, const EqualiserFit& fit) {
    FitCurves curves;
    const int output = std::clamp(fit.output, 1, kOutputCount);
    curves.beforeDb = totalMagnitude(config, output, measured);
    ProcessorConfig after = config;
    applyEqualiserFit(after, fit);
    curves.afterDb = totalMagnitude(after, output, measured);
    const std::vector<std::size_t> points = rangePoints(fit.range);
    double shift = 0.0;
    for (const std::size_t k : points) {
        shift += curves.afterDb[k] - target.db[k];
        curves.levelDb += curves.afterDb[k];
    }
    const double count = std::max<double>(1.0, static_cast<double>(points.size()));
    shift /= count;
    curves.levelDb /= count;
    for (std::size_t k = 0; k < curves.targetDb.size(); ++k) {
        // A gap where the target has no data.
        curves.targetDb[k] =
            target.defined[k] ? target.db[k] + shift : std::numeric_limits<double>::quiet_NaN();
    }
    return curves;
}

}  // namespace kvn::analysis
