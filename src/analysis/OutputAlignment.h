// Alignment of the outputs from their measured responses: the delays and polarities of the
// outputs that may move which make the sounding outputs add up best over a frequency range,
// judged on the total response with every influence on.
//
// Summation loss at a grid point: 20 log10(sum |Hn|) - 20 log10(|sum Hn|) over the outputs that
// are not muted, Hn being output n's total response exactly as computeTotalResponse forms it
// (level, equaliser, crossover with the fixed SUB path, polarity, delay with the relative
// distance and the look-ahead, measured speaker, in its single precision). The figure is the RMS
// of the loss over the grid points of the range; 0 dB is perfect summation.
//
// The search is exhaustive over whole samples 0..234 and, when allowed, both polarities of every
// movable output, so it finds the global optimum on the grid:
// - Each output's response is built once per delay and polarity (a delay only turns the phase,
//   by the same single-precision phase the view uses), and a candidate is the sum of one entry
//   per output: no redesign per candidate.
// - A candidate's sum of squared losses is abandoned as soon as its partial sum exceeds what
//   the best so far plus the tie tolerance allows. The terms are never negative, so an abandoned
//   candidate can be neither the optimum nor a tie with it; every candidate within the tolerance
//   of the final optimum is evaluated fully.
// - When every sounding output may move, a delay or an inversion common to all of them turns
//   every Hn alike and leaves |sum Hn| and the loss unchanged. The search then visits one
//   candidate per class: delays whose smallest is 0 (which also has the smallest total delay of
//   its class) and polarities with the first movable output's fixed, reported as whichever of
//   the pattern and its inverse inverts fewer outputs (on equal counts, the later outputs).
// Ties: losses within kAlignmentTieDb of the best count as equal (the total response turns
// its phases in single precision, which moves a loss by up to about 1e-6 dB, so a closer
// tolerance would let rounding decide); the smaller total delay wins,
// then the fewer inverted outputs, then the lower delays and polarities in output order (1, 2,
// SUB), so the answer is deterministic. The reported losses are recomputed from scratch through
// computeTotalResponse for the configuration before and after.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "analysis/TotalResponse.h"
#include "config/ProcessorConfig.h"

namespace kvn::analysis {

inline constexpr double kAlignmentTieDb = 1e-5;

// A frequency range in Hz; the grid points from lowHz to highHz, both included, take part.
struct FrequencyRange {
    double lowHz = 0.0;
    double highHz = 0.0;
    bool operator==(const FrequencyRange&) const = default;
};

// The grid points of a range: indices first..first + count - 1 (count 0: none).
struct GridSpan {
    std::size_t first = 0;
    std::size_t count = 0;
};
GridSpan gridSpan(const FrequencyRange& range);

// The range the alignment takes by default: where the crossover edges of the sounding outputs
// meet. A pair of edges meets when one sounding output's low-pass edge and another's high-pass
// edge have the octaves either side of them overlapping (the high-pass at most four times the
// low-pass frequency) and at least one of the two outputs may move. The range runs from one
// octave below the lowest edge of those pairs to one octave above the highest, held to the grid
// (20..23999 Hz). Nothing when no pair meets. Bypassed edges are no edges.
std::optional<FrequencyRange> defaultAlignmentRange(const ProcessorConfig& config,
                                                    const std::array<bool, kOutputCount>& movable);

struct AlignmentRequest {
    FrequencyRange range;
    // Which outputs (index 0 = Output 1) may get another delay and polarity.
    std::array<bool, kOutputCount> movable{false, false, true};
    // False keeps every output's polarity; only the delays move.
    bool polarity = true;
};

// What keeps a request from being searched, as the message to show, or nothing. The outputs:
// a movable output that is muted, no movable output, fewer than two sounding outputs. The range:
// a low end not below the high end, a range that leaves the grid (20..23999 Hz) or that holds no
// grid point. A request is checked for its outputs first.
std::optional<std::string> alignmentOutputsProblem(const ProcessorConfig& config,
                                                   const std::array<bool, kOutputCount>& movable);
std::optional<std::string> alignmentRangeProblem(const FrequencyRange& range);
std::optional<std::string> alignmentRequestProblem(const ProcessorConfig& config,
                                                   const AlignmentRequest& request);

// What keeps the measurements from serving the alignment, as the message to show (naming the
// output and its file), or nothing. Every sounding output needs a measurement with phase over the
// range: `imported[n]` says whether output n + 1's file was read; a file whose phase is 0 at every
// grid point has no phase (formats without a phase column, a magnitude-only file); a range point
// outside the measured frequencies has no measurement.
std::optional<std::string> alignmentMeasurementProblem(
    const ProcessorConfig& config, const MeasuredCurves& measured,
    const std::array<bool, kOutputCount>& imported, const FrequencyRange& range);

struct AlignmentResult {
    // The search was stopped through the progress callback; nothing else below is set.
    bool cancelled = false;
    // Every output's delay and polarity after the alignment (the outputs that do not move keep
    // theirs).
    std::array<int, kOutputCount> delays{};
    std::array<bool, kOutputCount> inverted{};
    // The summation loss (RMS over the range, dB) before and after, recomputed through
    // computeTotalResponse, and the sum ("ADD", dB) on the grid before and after.
    double lossBeforeDb = 0.0;
    double lossAfterDb = 0.0;
    GridValues addBeforeDb{};
    GridValues addAfterDb{};
    FrequencyRange range;
    // Candidates evaluated (abandoned ones included).
    std::int64_t candidates = 0;
};

// Told from time to time how many of `total` candidates the search has visited; returning false
// stops it. Called on the searching thread.
using AlignmentProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// The alignment of a request that alignmentRequestProblem accepts, with every influence on
// whatever `config.ResponseView` says. `measured` are the outputs' imported curves.
AlignmentResult alignOutputs(const ProcessorConfig& config, const MeasuredCurves& measured,
                             const AlignmentRequest& request,
                             const AlignmentProgress& progress = {});

// The summation loss of a configuration over a range as the total response gives it, with every
// influence on. A range without grid points gives 0.
double summationLossDb(const ProcessorConfig& config, const MeasuredCurves& measured,
                       const FrequencyRange& range);

// Stores the result's delays and polarities in the configuration (a polarity through the gains
// editor's switch, which recomputes the signed gain). A cancelled result changes nothing.
void applyAlignment(ProcessorConfig& config, const AlignmentResult& result);

}  // namespace kvn::analysis
