// The exhaustive alignment search and its checks.
#include "analysis/OutputAlignment.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>
#include <vector>

#include "analysis/MeasurementImport.h"
#include "analysis/MessageText.h"
#include "config/LevelControls.h"

namespace kvn::analysis {
namespace {

constexpr int kDelayChoices = kMaxDelaySamples + 1;
// |sum Hn|^2 below this counts as this, so that a perfect cancellation stays finite.
constexpr double kSmallestPower = 1e-300;
// Progress is told after about this many candidates.
constexpr std::int64_t kProgressEvery = 4096;

ProcessorConfig withEveryInfluence(const ProcessorConfig& config) {
    ProcessorConfig c = config;
    c.ResponseView.fill(true);
    return c;
}

bool sounding(const ProcessorConfig& config, int output) {
    return !config.output(output).Muted;
}

// The RMS summation loss of a computed total response over `span`.
double lossOf(const ProcessorConfig& config, const TotalResponse& r, GridSpan span) {
    if (span.count == 0) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t k = span.first; k < span.first + span.count; ++k) {
        double magnitudes = 0.0;
        for (std::size_t o = 0; o < static_cast<std::size_t>(kOutputCount); ++o) {
            magnitudes += outputAmplitude(r.magDb[o][k], config.Output[o].muteFactor());
        }
        if (magnitudes > 0.0) {
            const double loss = 20.0 * std::log10(magnitudes) - r.addDb[k];
            sum += loss * loss;
        }
    }
    return std::sqrt(sum / static_cast<double>(span.count));
}

struct Choice {
    int delay = 0;
    bool inverted = false;
};

struct Candidate {
    std::array<int, kOutputCount> delays{};
    std::array<bool, kOutputCount> inverted{};

    // The tie-break order: smaller total delay, fewer inversions, then output order.
    auto key() const {
        return std::make_tuple(std::accumulate(delays.begin(), delays.end(), 0),
                               std::count(inverted.begin(), inverted.end(), true), delays,
                               inverted);
    }
};

struct Record {
    double sum;
    Candidate candidate;
};

// One movable output: its response over the range for each of its choices, in evaluation order.
struct Axis {
    int output = 0;
    std::vector<Choice> choices;
    std::vector<double> re;  // choices x points
    std::vector<double> im;
};

class Search {
public:
    Search(const ProcessorConfig& config, const MeasuredCurves& measured,
           const AlignmentRequest& request, GridSpan span, const AlignmentProgress& progress)
        : config_(config), progress_(progress), points_(span.count) {
        for (int n = 1; n <= kOutputCount; ++n) {
            current_.delays[static_cast<std::size_t>(n - 1)] = config.output(n).DelaySamples;
            current_.inverted[static_cast<std::size_t>(n - 1)] = config.output(n).Inverted;
        }
        bool everySoundingMoves = true;
        for (int n = 1; n <= kOutputCount; ++n) {
            if (sounding(config, n) && !request.movable[static_cast<std::size_t>(n - 1)]) {
                everySoundingMoves = false;
            }
        }
        relative_ = everySoundingMoves;
        complementPolarity_ = relative_ && request.polarity;
        build(measured, request, span);
    }

    AlignmentResult run() {
        AlignmentResult result;
        std::int64_t total = 1;
        std::int64_t allPositive = 1;
        for (const Axis& axis : axes_) {
            const auto perDelay = static_cast<std::int64_t>(axis.choices.size()) / kDelayChoices;
            total *= static_cast<std::int64_t>(axis.choices.size());
            allPositive *= perDelay * (kDelayChoices - 1);
        }
        total_ = relative_ ? total - allPositive : total;
        partialRe_.assign(axes_.size() + 1, std::vector<double>(points_));
        partialIm_.assign(axes_.size() + 1, std::vector<double>(points_));
        partialRe_[0] = fixedRe_;
        partialIm_[0] = fixedIm_;
        if (axes_.empty()) {
            result.cancelled = true;  // a request the checks refuse: nothing to search
            return result;
        }
        visit(0, false);
        if (stopped_ || (progress_ && !progress_(done_, total_))) {
            result.cancelled = true;
            return result;
        }
        const double tieLimit = limitFor(best_);
        const Record* chosen = nullptr;
        for (const Record& r : records_) {
            if (r.sum <= tieLimit &&
                (chosen == nullptr || r.candidate.key() < chosen->candidate.key())) {
                chosen = &r;
            }
        }
        if (chosen == nullptr) {
            result.cancelled = true;
            return result;
        }
        result.delays = chosen->candidate.delays;
        result.inverted = chosen->candidate.inverted;
        result.candidates = done_;
        return result;
    }

private:
    void build(const MeasuredCurves& measured, const AlignmentRequest& request, GridSpan span) {
        const ResponseGrid& grid = responseGrid();
        std::vector<double> amplitudeSum(points_, 0.0);
        std::vector<double> amplitudeMax(points_, 0.0);
        std::vector<std::array<double, kGridPoints>> amplitudes;
        std::vector<int> participants;
        for (int n = 1; n <= kOutputCount; ++n) {
            if (sounding(config_, n)) {
                participants.push_back(n);
            }
        }
        std::vector<OutputTerms> terms(participants.size());
        for (std::size_t p = 0; p < participants.size(); ++p) {
            const int n = participants[p];
            outputTerms(config_, n, measured[static_cast<std::size_t>(n - 1)], terms[p]);
            for (std::size_t i = 0; i < points_; ++i) {
                const double a = outputAmplitude(terms[p].magDb[span.first + i], 1.0);
                amplitudeSum[i] += a;
                amplitudeMax[i] = std::max(amplitudeMax[i], a);
            }
        }
        // Points where the outputs are most alike in level decide most candidates soonest.
        order_.resize(points_);
        std::iota(order_.begin(), order_.end(), std::size_t{0});
        const auto overlap = [&](std::size_t i) {
            return amplitudeSum[i] > 0.0 ? 1.0 - amplitudeMax[i] / amplitudeSum[i] : 0.0;
        };
        std::stable_sort(order_.begin(), order_.end(),
                         [&](std::size_t a, std::size_t b) { return overlap(a) > overlap(b); });
        ceilingDb_.resize(points_);
        for (std::size_t i = 0; i < points_; ++i) {
            const double sum = amplitudeSum[order_[i]];
            ceilingDb_[i] = sum > 0.0 ? 20.0 * std::log10(sum) : 0.0;
        }

        // Output n's response for one delay and polarity, point by point as the view forms it.
        const auto response = [&](std::size_t p, Choice choice, double* re, double* im) {
            const int n = participants[p];
            const double polarityRad = polarityPhaseRad(config_, choice.inverted);
            const double delayPerHz = delayPhasePerHz(config_, n, choice.delay);
            for (std::size_t i = 0; i < points_; ++i) {
                const std::size_t k = span.first + order_[i];
                const float phase =
                    totalPhaseRad(terms[p].phaseRad[k], polarityRad, delayPerHz, grid.GridHz[k]);
                const double a = outputAmplitude(terms[p].magDb[k], 1.0);
                re[i] += a * std::cos(phase);
                im[i] += a * std::sin(phase);
            }
        };
        fixedRe_.assign(points_, 0.0);
        fixedIm_.assign(points_, 0.0);
        for (std::size_t p = 0; p < participants.size(); ++p) {
            const int n = participants[p];
            const auto o = static_cast<std::size_t>(n - 1);
            if (!request.movable[o]) {
                response(p, {current_.delays[o], current_.inverted[o]}, fixedRe_.data(),
                         fixedIm_.data());
                continue;
            }
            Axis axis;
            axis.output = n;
            std::vector<bool> polarities{current_.inverted[o]};
            if (request.polarity) {
                // With the common inversion left out, the first movable output stays upright.
                polarities = axes_.empty() && complementPolarity_ ? std::vector<bool>{false}
                                                                  : std::vector<bool>{false, true};
            }
            for (int d = 0; d < kDelayChoices; ++d) {
                for (const bool inverted : polarities) {
                    axis.choices.push_back({d, inverted});
                }
            }
            axis.re.assign(axis.choices.size() * points_, 0.0);
            axis.im.assign(axis.choices.size() * points_, 0.0);
            for (std::size_t c = 0; c < axis.choices.size(); ++c) {
                response(p, axis.choices[c], axis.re.data() + c * points_,
                         axis.im.data() + c * points_);
            }
            axes_.push_back(std::move(axis));
        }
    }

    // The largest sum of squares that is still within the tie tolerance of `bestSum`.
    double limitFor(double bestSum) const {
        if (!std::isfinite(bestSum)) {
            return std::numeric_limits<double>::infinity();
        }
        const auto n = static_cast<double>(points_);
        const double rms = std::sqrt(bestSum / n) + kAlignmentTieDb;
        return rms * rms * n;
    }

    void visit(std::size_t level, bool zeroSeen) {
        const Axis& axis = axes_[level];
        const bool last = level + 1 == axes_.size();
        // With the common delay left out, the smallest delay is 0.
        const std::size_t end = relative_ && last && !zeroSeen ? axis.choices.size() / kDelayChoices
                                                               : axis.choices.size();
        const std::vector<double>& baseRe = partialRe_[level];
        const std::vector<double>& baseIm = partialIm_[level];
        for (std::size_t c = 0; c < end && !stopped_; ++c) {
            chosen_[level] = axis.choices[c];
            const double* re = axis.re.data() + c * points_;
            const double* im = axis.im.data() + c * points_;
            if (last) {
                evaluate(baseRe.data(), baseIm.data(), re, im);
                continue;
            }
            std::vector<double>& nextRe = partialRe_[level + 1];
            std::vector<double>& nextIm = partialIm_[level + 1];
            for (std::size_t i = 0; i < points_; ++i) {
                nextRe[i] = baseRe[i] + re[i];
                nextIm[i] = baseIm[i] + im[i];
            }
            visit(level + 1, zeroSeen || axis.choices[c].delay == 0);
        }
    }

    void evaluate(const double* baseRe, const double* baseIm, const double* re, const double* im) {
        ++done_;
        if (progress_ && done_ - reported_ >= kProgressEvery) {
            reported_ = done_;
            stopped_ = !progress_(done_, total_);
        }
        const double limit = limitFor(best_);
        double sum = 0.0;
        for (std::size_t i = 0; i < points_; ++i) {
            const double r = baseRe[i] + re[i];
            const double m = baseIm[i] + im[i];
            const double loss =
                ceilingDb_[i] - 10.0 * std::log10(std::max(r * r + m * m, kSmallestPower));
            sum += loss * loss;
            if (sum > limit) {
                return;
            }
        }
        best_ = std::min(best_, sum);
        records_.push_back({sum, candidate()});
        if (records_.size() >= compactAt_) {
            const double keep = limitFor(best_);
            std::erase_if(records_, [keep](const Record& r) { return r.sum > keep; });
            compactAt_ = std::max(compactAt_, 2 * records_.size());
        }
    }

    Candidate candidate() const {
        Candidate c = current_;
        for (std::size_t level = 0; level < axes_.size(); ++level) {
            const auto o = static_cast<std::size_t>(axes_[level].output - 1);
            c.delays[o] = chosen_[level].delay;
            c.inverted[o] = chosen_[level].inverted;
        }
        if (complementPolarity_) {
            // The pattern and its inverse sum alike: report the one that inverts fewer outputs.
            Candidate inverse = c;
            for (const Axis& axis : axes_) {
                const auto o = static_cast<std::size_t>(axis.output - 1);
                inverse.inverted[o] = !c.inverted[o];
            }
            if (inverse.key() < c.key()) {
                c = inverse;
            }
        }
        return c;
    }

    const ProcessorConfig& config_;
    const AlignmentProgress& progress_;
    std::size_t points_;
    Candidate current_;
    bool relative_ = false;
    bool complementPolarity_ = false;
    std::vector<std::size_t> order_;
    std::vector<double> ceilingDb_;
    std::vector<double> fixedRe_;
    std::vector<double> fixedIm_;
    std::vector<Axis> axes_;
    std::vector<std::vector<double>> partialRe_;
    std::vector<std::vector<double>> partialIm_;
    std::array<Choice, kOutputCount> chosen_{};
    double best_ = std::numeric_limits<double>::infinity();
    std::vector<Record> records_;
    std::size_t compactAt_ = 4096;
    std::int64_t done_ = 0;
    std::int64_t reported_ = 0;
    std::int64_t total_ = 0;
    bool stopped_ = false;
};

}  // namespace

GridSpan gridSpan(const FrequencyRange& range) {
    const auto& hz = responseGrid().GridHz;
    const auto first = std::lower_bound(hz.begin(), hz.end(), range.lowHz,
                                        [](std::int32_t f, double low) { return f < low; });
    const auto last = std::upper_bound(first, hz.end(), range.highHz,
                                       [](double high, std::int32_t f) { return high < f; });
    return {static_cast<std::size_t>(first - hz.begin()), static_cast<std::size_t>(last - first)};
}

std::optional<FrequencyRange> defaultAlignmentRange(const ProcessorConfig& config,
                                                    const std::array<bool, kOutputCount>& movable) {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = 0.0;
    for (int a = 1; a <= kOutputCount; ++a) {
        for (int b = 1; b <= kOutputCount; ++b) {
            const TXOVERPB& lowPass = config.output(a).LowPassEdge;
            const TXOVERPB& highPass = config.output(b).HighPassEdge;
            const bool moves = movable[static_cast<std::size_t>(a - 1)] ||
                               movable[static_cast<std::size_t>(b - 1)];
            if (a == b || !moves || !sounding(config, a) || !sounding(config, b) ||
                lowPass.XoverType == kXoverBypass || highPass.XoverType == kXoverBypass ||
                highPass.FrequencyHz > 4.0 * lowPass.FrequencyHz) {
                continue;
            }
            lowest = std::min({lowest, lowPass.FrequencyHz, highPass.FrequencyHz});
            highest = std::max({highest, lowPass.FrequencyHz, highPass.FrequencyHz});
        }
    }
    if (highest == 0.0) {
        return std::nullopt;
    }
    const auto& hz = responseGrid().GridHz;
    return FrequencyRange{std::max(lowest / 2.0, static_cast<double>(hz.front())),
                          std::min(highest * 2.0, static_cast<double>(hz.back()))};
}

std::optional<std::string> alignmentOutputsProblem(const ProcessorConfig& config,
                                                   const std::array<bool, kOutputCount>& movable) {
    int soundingCount = 0;
    bool anyMovable = false;
    for (int n = 1; n <= kOutputCount; ++n) {
        const bool moves = movable[static_cast<std::size_t>(n - 1)];
        if (moves && !sounding(config, n)) {
            return outputTitle(n) + " is muted: it takes no part in the sum and cannot be aligned";
        }
        anyMovable = anyMovable || moves;
        soundingCount += sounding(config, n) ? 1 : 0;
    }
    if (!anyMovable) {
        return "no output is chosen to move";
    }
    if (soundingCount < 2) {
        return "alignment needs at least two outputs that are not muted";
    }
    return std::nullopt;
}

std::optional<std::string> alignmentRangeProblem(const FrequencyRange& range) {
    const auto& hz = responseGrid().GridHz;
    const std::string rangeText =
        numberText(range.lowHz) + " to " + numberText(range.highHz) + " Hz";
    if (!(range.lowHz < range.highHz)) {
        return "the range " + rangeText + " must start below its end";
    }
    if (range.lowHz < hz.front() || range.highHz > hz.back()) {
        return "the range " + rangeText + " leaves the response grid (" + numberText(hz.front()) +
               " to " + numberText(hz.back()) + " Hz)";
    }
    if (gridSpan(range).count == 0) {
        return "the range " + rangeText + " holds no point of the response grid";
    }
    return std::nullopt;
}

std::optional<std::string> alignmentRequestProblem(const ProcessorConfig& config,
                                                   const AlignmentRequest& request) {
    if (auto problem = alignmentOutputsProblem(config, request.movable)) {
        return problem;
    }
    return alignmentRangeProblem(request.range);
}

std::optional<std::string> alignmentMeasurementProblem(
    const ProcessorConfig& config, const MeasuredCurves& measured,
    const std::array<bool, kOutputCount>& imported, const FrequencyRange& range) {
    const GridSpan span = gridSpan(range);
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto o = static_cast<std::size_t>(n - 1);
        if (!sounding(config, n)) {
            continue;
        }
        const std::string& file = config.MeasurementFile[o];
        if (file.empty()) {
            return outputTitle(n) +
                   " has no measurement file: alignment needs the measured magnitude and phase "
                   "of every output that is not muted";
        }
        if (!imported[o]) {
            return outputTitle(n) + ": " + file + " could not be read as a measurement";
        }
        const ResponseCurve& curve = measured[o];
        const auto phaseEnd = curve.PhaseRad.begin() + kGridPoints;
        if (std::all_of(curve.PhaseRad.begin(), phaseEnd, [](float p) { return p == 0.0f; })) {
            return outputTitle(n) + ": " + file +
                   " has no phase, and alignment needs the measured phase";
        }
        for (std::size_t k = span.first; k < span.first + span.count; ++k) {
            if (curve.MagDb[k] == kOutsideMeasurementDb && curve.PhaseRad[k] == 0.0f) {
                return outputTitle(n) + ": " + file + " does not cover the range " +
                       numberText(range.lowHz) + " to " + numberText(range.highHz) + " Hz";
            }
        }
    }
    return std::nullopt;
}

AlignmentResult alignOutputs(const ProcessorConfig& config, const MeasuredCurves& measured,
                             const AlignmentRequest& request, const AlignmentProgress& progress) {
    const ProcessorConfig before = withEveryInfluence(config);
    const GridSpan span = gridSpan(request.range);
    AlignmentResult result = Search(before, measured, request, span, progress).run();
    if (result.cancelled) {
        return result;
    }
    result.range = request.range;
    ProcessorConfig after = before;
    applyAlignment(after, result);
    TotalResponse r;
    computeTotalResponse(before, measured, r);
    result.lossBeforeDb = lossOf(before, r, span);
    result.addBeforeDb = r.addDb;
    computeTotalResponse(after, measured, r);
    result.lossAfterDb = lossOf(after, r, span);
    result.addAfterDb = r.addDb;
    return result;
}

double summationLossDb(const ProcessorConfig& config, const MeasuredCurves& measured,
                       const FrequencyRange& range) {
    const ProcessorConfig c = withEveryInfluence(config);
    TotalResponse r;
    computeTotalResponse(c, measured, r);
    return lossOf(c, r, gridSpan(range));
}

void applyAlignment(ProcessorConfig& config, const AlignmentResult& result) {
    if (result.cancelled) {
        return;
    }
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto o = static_cast<std::size_t>(n - 1);
        OutputChannel& output = config.output(n);
        output.DelaySamples = std::clamp(result.delays[o], 0, kMaxDelaySamples);
        if (output.Inverted != result.inverted[o]) {
            setInverted(output, result.inverted[o]);
        }
    }
}

}  // namespace kvn::analysis
