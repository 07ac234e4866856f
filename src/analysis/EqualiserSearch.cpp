// The search behind the automatic equaliser.
#include "analysis/EqualiserSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

#include "analysis/EqualiserFit.h"
#include "config/EqualizerControls.h"
#include "dsp/DspConstants.h"

namespace kvn::analysis {

void setBandSteps(PeqBand& band, const BandSteps& steps, bool sub) {
    band.FilterType = steps.type;
    setBandQFromSlider(band, steps.q);
    setBandGainFromSlider(band, steps.gain);
    setBandFrequencyFromSlider(band, steps.frequency, sub);
}

namespace {

// The gain slider's 0.1 dB step at or below `gainDb`.
double gainStepBelow(double gainDb) {
    return std::floor(gainDb * 10.0 + 1e-9) / 10.0;
}

}  // namespace

SearchLimits searchLimits(bool sub, double maxBoostDb, bool cutOnly) {
    SearchLimits limits;
    limits.sub = sub;
    // The top of SUB's slider gives just over 500 Hz, which the field holds to 500 Hz and a
    // reload then moves to the step below: start at the first position a reload keeps.
    int top = frequencySliderTop(sub);
    while (frequencyFromSlider(top) > maxFrequencyHz(sub)) {
        ++top;
    }
    limits.frequencyTop = top;
    limits.frequencyBottom = frequencySliderPosition(kPeqMinFrequencyHz);
    const double boost = cutOnly ? 0.0 : std::clamp(maxBoostDb, 0.0, kPeqMaxGainDb);
    limits.peakMaxGainDb = gainStepBelow(boost);
    limits.shelfMaxGainDb = gainStepBelow(std::min(boost, kShelfMaxGainDb));
    return limits;
}

namespace {

constexpr double kDbPerNeper = 10.0 / kLn10;  // 10 log10(x) = kDbPerNeper ln(x) for power ratios

// The natural logarithm of a positive normal number, to about 1e-12 relative: the exponent from
// the bits, ln of the mantissa (scaled into [0.707, 1.414)) from the series of 2 atanh(s). It
// keeps the search's many curve evaluations cheap, and the same on every machine and library.
double fastLn(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    std::int64_t exponent = static_cast<std::int64_t>((bits >> 52) & 0x7FF) - 1023;
    std::uint64_t mantissaBits = (bits & 0xFFFFFFFFFFFFFULL) | 0x3FF0000000000000ULL;
    double m = std::bit_cast<double>(mantissaBits);  // [1, 2)
    if (m > kSqrt2) {
        m *= 0.5;
        ++exponent;
    }
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    const double series =
        1.0 + s2 * (1.0 / 3 +
                    s2 * (1.0 / 5 + s2 * (1.0 / 7 + s2 * (1.0 / 9 + s2 * (1.0 / 11 + s2 / 13)))));
    return 2.0 * s * series + static_cast<double>(exponent) * 0.69314718055994530942;
}

// Continuous parameters of a band: natural log of frequency and Q, gain in dB. The shelves have
// no Q of their own.
struct Band {
    std::uint8_t type = kParametric;
    std::array<double, 3> x{};
};
constexpr std::size_t kLogHz = 0;
constexpr std::size_t kLogQ = 1;
constexpr std::size_t kGain = 2;

bool usesParameter(std::uint8_t type, std::size_t index) {
    return index != kLogQ || type == kParametric;
}

struct State {
    std::vector<Band> bands;
    std::vector<double> curves;  // bands.size() curves of n points, one after the other
    std::vector<double> total;   // base plus every curve
    double cost = 0.0;           // sum of squares of total about its mean
};

// Iteration limits: a single band settles in a few steps, all bands together in a few dozen.
constexpr int kSingleBandIterations = 25;
constexpr int kJointIterations = 60;
constexpr int kPolishSweeps = 40;
// Smoothing widths of the greedy starts, in octaves.
constexpr std::array<double, 4> kStartWidths = {1.0 / 3.0, 1.0 / 6.0, 1.0 / 12.0, 2.0 / 3.0};
constexpr double kReseatWidth = 1.0 / 6.0;
// Starts spread over the range besides the greedy ones, scouted on a thinned set of points;
// the best few are settled on every point.
constexpr int kSpreadStarts = 96;
constexpr int kScoutIterations = 30;
constexpr std::size_t kRefinedStarts = 12;
constexpr std::size_t kThinnedMinPoints = 90;

// Symmetric positive definite solve in place (Cholesky); false when `a` is not positive definite.
bool solveSpd(std::vector<double>& a, std::vector<double>& b, std::size_t m) {
    for (std::size_t j = 0; j < m; ++j) {
        double d = a[j * m + j];
        for (std::size_t k = 0; k < j; ++k) {
            d -= a[j * m + k] * a[j * m + k];
        }
        if (!(d > 0.0)) {
            return false;
        }
        d = std::sqrt(d);
        a[j * m + j] = d;
        for (std::size_t i = j + 1; i < m; ++i) {
            double v = a[i * m + j];
            for (std::size_t k = 0; k < j; ++k) {
                v -= a[i * m + k] * a[j * m + k];
            }
            a[i * m + j] = v / d;
        }
    }
    for (std::size_t i = 0; i < m; ++i) {
        double v = b[i];
        for (std::size_t k = 0; k < i; ++k) {
            v -= a[i * m + k] * b[k];
        }
        b[i] = v / a[i * m + i];
    }
    for (std::size_t i = m; i-- > 0;) {
        double v = b[i];
        for (std::size_t k = i + 1; k < m; ++k) {
            v -= a[k * m + i] * b[k];
        }
        b[i] = v / a[i * m + i];
    }
    return true;
}

// How far the search is, shared by its coarse and fine stages: optimiser iterations done against
// a rough count of those ahead.
struct Pace {
    FitProgress* progress = nullptr;
    double work = 1.0;
    double done = 0.0;
    bool cancelled = false;

    bool tick(double units) {
        done += units;
        if (!cancelled && progress != nullptr && !progress->advance(std::min(0.99, done / work))) {
            cancelled = true;
        }
        return !cancelled;
    }
};

struct Candidate {
    double cost = 0.0;
    std::vector<Band> bands;
};

class Search {
public:
    Search(const SearchProblem& problem, Pace& pace)
        : p_(problem), n_(problem.base.size()), pace_(pace) {
        lower_ = {std::log(kPeqMinFrequencyHz), std::log(kPeqMinQ), kPeqMinGainDb};
        upper_ = {std::log(frequencyFromSlider(p_.limits.frequencyTop)),
                  std::log(qFromSlider(kQSliderMin)), 0.0};
        stepOctaves_ = (p_.octave.back() - p_.octave.front()) / static_cast<double>(n_ - 1);
    }

    // Every start: the greedy placements and the spread ones, each settled.
    std::vector<Candidate> explore(int spreadStarts, int iterations);
    // The best of `starts` settled on this search's points, re-seated, tried with shelves,
    // stepped onto the sliders and polished.
    std::vector<BandSteps> finish(const std::vector<Candidate>& starts);

private:
    double gainCeiling(std::uint8_t type) const {
        return type == kParametric ? p_.limits.peakMaxGainDb : p_.limits.shelfMaxGainDb;
    }
    double upper(std::uint8_t type, std::size_t index) const {
        return index == kGain ? gainCeiling(type) : upper_[index];
    }
    Band clamped(Band b) const {
        for (std::size_t i = 0; i < 3; ++i) {
            b.x[i] = std::clamp(b.x[i], lower_[i], upper(b.type, i));
        }
        return b;
    }

    // The magnitude in dB of a designed section on the range's points: |N|^2 / |D|^2 from the
    // coefficients, the same response the cascade evaluation gives.
    void sectionCurve(const PeqBand& s, double* out) const {
        const double n0 = s.b0 * s.b0 + s.b1 * s.b1 + s.b2 * s.b2;
        const double n1 = 2.0 * (s.b0 * s.b1 + s.b1 * s.b2);
        const double n2 = 2.0 * s.b0 * s.b2;
        const double d0 = 1.0 + s.a1 * s.a1 + s.a2 * s.a2;
        const double d1 = 2.0 * (s.a1 * s.a2 - s.a1);
        const double d2 = -2.0 * s.a2;
        for (std::size_t k = 0; k < n_; ++k) {
            const double num = n0 + n1 * p_.cos1[k] + n2 * p_.cos2[k];
            const double den = d0 + d1 * p_.cos1[k] + d2 * p_.cos2[k];
            out[k] = kDbPerNeper * fastLn(std::max(num, 1e-300) / std::max(den, 1e-300));
        }
    }
    void curveOf(const Band& b, double* out) const {
        PeqBand s;
        s.FilterType = b.type;
        s.FrequencyHz = std::exp(b.x[kLogHz]);
        s.Q = b.type == kParametric ? std::exp(b.x[kLogQ]) : s.Q;
        s.GainDb = b.x[kGain];
        s.design();
        sectionCurve(s, out);
    }
    void stepsCurve(const BandSteps& steps, double* out) const {
        PeqBand s;
        setBandSteps(s, steps, p_.limits.sub);
        sectionCurve(s, out);
    }

    double meanOf(const double* values) const {
        double sum = 0.0;
        for (std::size_t k = 0; k < n_; ++k) {
            sum += values[k];
        }
        return sum / static_cast<double>(n_);
    }
    double costOf(const double* total) const {
        const double mean = meanOf(total);
        double squares = 0.0;
        for (std::size_t k = 0; k < n_; ++k) {
            const double e = total[k] - mean;
            squares += e * e;
        }
        return squares;
    }
    // The cost with one curve of `total` replaced.
    double costReplacing(const std::vector<double>& total, const double* from, const double* to) {
        for (std::size_t k = 0; k < n_; ++k) {
            scratch_[k] = total[k] - from[k] + to[k];
        }
        return costOf(scratch_.data());
    }

    double* curve(State& s, std::size_t j) const { return s.curves.data() + j * n_; }
    void retotal(State& s) const {
        s.total = p_.base;
        for (std::size_t j = 0; j < s.bands.size(); ++j) {
            const double* c = s.curves.data() + j * n_;
            for (std::size_t k = 0; k < n_; ++k) {
                s.total[k] += c[k];
            }
        }
        s.cost = costOf(s.total.data());
    }
    void addBand(State& s, const Band& b) const {
        s.bands.push_back(clamped(b));
        s.curves.resize(s.bands.size() * n_);
        curveOf(s.bands.back(), curve(s, s.bands.size() - 1));
        retotal(s);
    }
    void replaceBand(State& s, std::size_t j, const Band& b) const {
        s.bands[j] = clamped(b);
        curveOf(s.bands[j], curve(s, j));
        retotal(s);
    }

    bool tick(double units = 1.0) { return pace_.tick(units); }
    bool cancelled() const { return pace_.cancelled; }

    void optimise(State& s, const std::vector<std::size_t>& free, int iterations);
    Band place(const std::vector<double>& total, double widthOctaves) const;
    State greedy(double widthOctaves, int iterations);
    State spread(int start, int iterations);
    State settled(const std::vector<Band>& bands, int iterations);
    void optimiseAll(State& s, int iterations) {
        std::vector<std::size_t> all(s.bands.size());
        for (std::size_t j = 0; j < all.size(); ++j) {
            all[j] = j;
        }
        optimise(s, all, iterations);
    }
    void reseat(State& s);
    State withShelf(const State& s, std::uint8_t type);
    std::vector<BandSteps> quantise(const State& s) const;
    double polish(std::vector<BandSteps>& steps);

    const SearchProblem& p_;
    std::size_t n_;
    Pace& pace_;
    double stepOctaves_ = 1.0;
    std::array<double, 3> lower_{};
    std::array<double, 3> upper_{};
    std::vector<double> scratch_ = std::vector<double>(n_);
    const std::vector<double> zeros_ = std::vector<double>(n_);
};

// Bounded Levenberg-Marquardt over the parameters of the bands `free`, the others held. The
// residual is the total about its mean (the level is free), so each Jacobian column is taken
// about its mean too. A parameter on a bound whose gradient points outwards is held for the step;
// a step is clipped to the bounds and taken only when it lowers the cost.
void Search::optimise(State& s, const std::vector<std::size_t>& free, int iterations) {
    struct Parameter {
        std::size_t band;
        std::size_t index;
    };
    std::vector<Parameter> parameters;
    for (const std::size_t j : free) {
        for (std::size_t i = 0; i < 3; ++i) {
            if (usesParameter(s.bands[j].type, i)) {
                parameters.push_back({j, i});
            }
        }
    }
    const std::size_t m = parameters.size();
    std::vector<double> jacobian(m * n_);
    std::vector<double> residual(n_);
    std::vector<double> gradient(m);
    std::vector<double> normal(m * m);
    std::vector<double> system(m * m);
    std::vector<double> step(m);
    std::vector<bool> held(m);
    constexpr std::array<double, 3> kDelta = {1e-5, 1e-5, 1e-4};
    double lambda = 1e-3;
    int stalled = 0;

    for (int iteration = 0; iteration < iterations && m > 0; ++iteration) {
        if (!tick()) {
            return;
        }
        const double mean = meanOf(s.total.data());
        for (std::size_t k = 0; k < n_; ++k) {
            residual[k] = s.total[k] - mean;
        }
        for (std::size_t r = 0; r < m; ++r) {
            const Parameter& q = parameters[r];
            Band b = s.bands[q.band];
            double h = kDelta[q.index];
            if (b.x[q.index] + h > upper(b.type, q.index)) {
                h = -h;
            }
            b.x[q.index] += h;
            double* column = jacobian.data() + r * n_;
            curveOf(b, column);
            const double* now = curve(s, q.band);
            double sum = 0.0;
            for (std::size_t k = 0; k < n_; ++k) {
                column[k] = (column[k] - now[k]) / h;
                sum += column[k];
            }
            const double columnMean = sum / static_cast<double>(n_);
            double g = 0.0;
            for (std::size_t k = 0; k < n_; ++k) {
                column[k] -= columnMean;
                g += column[k] * residual[k];
            }
            gradient[r] = g;
        }
        for (std::size_t r = 0; r < m; ++r) {
            for (std::size_t c = 0; c <= r; ++c) {
                const double* a = jacobian.data() + r * n_;
                const double* b = jacobian.data() + c * n_;
                double v = 0.0;
                for (std::size_t k = 0; k < n_; ++k) {
                    v += a[k] * b[k];
                }
                normal[r * m + c] = v;
                normal[c * m + r] = v;
            }
            const Parameter& q = parameters[r];
            const Band& b = s.bands[q.band];
            const double x = b.x[q.index];
            held[r] = (x <= lower_[q.index] && gradient[r] > 0.0) ||
                      (x >= upper(b.type, q.index) && gradient[r] < 0.0);
        }

        bool taken = false;
        for (int attempt = 0; attempt < 10 && !taken; ++attempt) {
            for (std::size_t r = 0; r < m; ++r) {
                for (std::size_t c = 0; c < m; ++c) {
                    system[r * m + c] = held[r] || held[c] ? 0.0 : normal[r * m + c];
                }
                const double d = normal[r * m + r];
                system[r * m + r] = held[r] ? 1.0 : d + lambda * d + 1e-12;
                step[r] = held[r] ? 0.0 : -gradient[r];
            }
            if (!solveSpd(system, step, m)) {
                lambda *= 4.0;
                continue;
            }
            State trial = s;
            for (std::size_t r = 0; r < m; ++r) {
                trial.bands[parameters[r].band].x[parameters[r].index] += step[r];
            }
            for (const std::size_t j : free) {
                trial.bands[j] = clamped(trial.bands[j]);
                curveOf(trial.bands[j], curve(trial, j));
            }
            retotal(trial);
            if (trial.cost < s.cost) {
                const double gain = s.cost - trial.cost;
                stalled = gain <= 1e-10 * s.cost + 1e-14 ? stalled + 1 : 0;
                s = std::move(trial);
                lambda = std::max(lambda / 3.0, 1e-9);
                taken = true;
            } else {
                lambda *= 4.0;
            }
        }
        if (!taken || stalled >= 2) {
            return;
        }
    }
}

// A new band where the smoothed residual of `total` encloses the largest area of one sign that
// the limits let a band correct, at its peak, with the peak's depth and a Q from its width at
// half depth.
Band Search::place(const std::vector<double>& total, double widthOctaves) const {
    const double mean = meanOf(total.data());
    std::vector<double> prefix(n_ + 1, 0.0);
    for (std::size_t k = 0; k < n_; ++k) {
        prefix[k + 1] = prefix[k] + (total[k] - mean);
    }
    const auto half = static_cast<std::size_t>(std::lround(widthOctaves / 2.0 / stepOctaves_));
    std::vector<double> smooth(n_);
    for (std::size_t k = 0; k < n_; ++k) {
        const std::size_t from = k >= half ? k - half : 0;
        const std::size_t to = std::min(n_ - 1, k + half);
        smooth[k] = (prefix[to + 1] - prefix[from]) / static_cast<double>(to - from + 1);
    }

    const bool boostAllowed = p_.limits.peakMaxGainDb > 0.0;
    std::size_t bestFrom = 0;
    std::size_t bestTo = 0;
    double bestArea = 0.0;
    for (std::size_t from = 0; from < n_;) {
        std::size_t to = from;
        const bool high = smooth[from] > 0.0;
        double area = 0.0;
        while (to < n_ && (smooth[to] > 0.0) == high) {
            area += std::abs(smooth[to]);
            ++to;
        }
        if ((high || boostAllowed) && area > bestArea) {
            bestArea = area;
            bestFrom = from;
            bestTo = to;
        }
        from = to;
    }

    Band b;
    if (bestArea == 0.0) {
        b.x = {(p_.octave.front() + p_.octave.back()) / 2.0 * std::log(2.0), 0.0, 0.0};
        return b;
    }
    std::size_t peak = bestFrom;
    for (std::size_t k = bestFrom; k < bestTo; ++k) {
        if (std::abs(smooth[k]) > std::abs(smooth[peak])) {
            peak = k;
        }
    }
    const double depth = std::abs(smooth[peak]);
    std::size_t left = peak;
    std::size_t right = peak;
    while (left > bestFrom && std::abs(smooth[left - 1]) > depth / 2.0) {
        --left;
    }
    while (right + 1 < bestTo && std::abs(smooth[right + 1]) > depth / 2.0) {
        ++right;
    }
    const double widthAtHalf = p_.octave[right] - p_.octave[left] + stepOctaves_;
    const double ratio = std::exp2(widthAtHalf);
    const double q = std::sqrt(ratio) / (ratio - 1.0);
    b.x = {p_.octave[peak] * std::log(2.0), std::log(q), -smooth[peak]};
    return b;
}

// Bands placed one at a time, each settled alone, then all settled together.
State Search::greedy(double widthOctaves, int iterations) {
    State s;
    s.total = p_.base;
    s.cost = costOf(s.total.data());
    for (int j = 0; j < p_.bands && !cancelled(); ++j) {
        addBand(s, place(s.total, widthOctaves));
        optimise(s, {s.bands.size() - 1}, kSingleBandIterations);
    }
    optimiseAll(s, iterations);
    return s;
}

// Bands spread over the range in log frequency, the spread turned by the golden ratio from one
// start to the next, each with the gain the smoothed residual asks for there; then all settled.
State Search::spread(int start, int iterations) {
    State s;
    s.total = p_.base;
    s.cost = costOf(s.total.data());
    const double low = p_.octave.front();
    const double high = p_.octave.back();
    const double turn = std::fmod((start / 2) * 0.6180339887498949, 1.0);
    const double mean = meanOf(s.total.data());
    for (int j = 0; j < p_.bands; ++j) {
        const double place = std::fmod(turn + (j + 0.5) / p_.bands, 1.0);
        const auto k = static_cast<std::size_t>(std::lround(place * static_cast<double>(n_ - 1)));
        Band b;
        // Each spread is tried twice: with the gain the residual asks for at each place, and flat.
        b.x = {(low + (high - low) * place) * std::log(2.0), std::log(2.0),
               start % 2 == 1 ? 0.0 : mean - s.total[k]};
        addBand(s, b);
    }
    optimiseAll(s, iterations);
    return s;
}

State Search::settled(const std::vector<Band>& bands, int iterations) {
    State s;
    s.total = p_.base;
    for (const Band& b : bands) {
        addBand(s, b);
    }
    s.cost = costOf(s.total.data());
    optimiseAll(s, iterations);
    return s;
}

std::vector<Candidate> Search::explore(int spreadStarts, int iterations) {
    std::vector<Candidate> found;
    for (const double width : kStartWidths) {
        State s = greedy(width, iterations);
        found.push_back({s.cost, std::move(s.bands)});
    }
    for (int start = 0; start < spreadStarts && !cancelled(); ++start) {
        State s = spread(start, iterations);
        found.push_back({s.cost, std::move(s.bands)});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Candidate& a, const Candidate& b) { return a.cost < b.cost; });
    return found;
}

// Each band in turn, weakest first, is taken out and placed anew on what the others leave; the
// change is kept when the settled whole is better.
void Search::reseat(State& s) {
    const std::size_t count = s.bands.size();
    if (count < 2) {
        return;
    }
    std::vector<std::pair<double, std::size_t>> order;
    for (std::size_t j = 0; j < count; ++j) {
        order.emplace_back(costReplacing(s.total, curve(s, j), zeros_.data()), j);
    }
    std::sort(order.begin(), order.end());
    for (const auto& [unused, j] : order) {
        if (cancelled()) {
            return;
        }
        State t = s;
        std::vector<double> without = t.total;
        const double* c = curve(t, j);
        for (std::size_t k = 0; k < n_; ++k) {
            without[k] -= c[k];
        }
        replaceBand(t, j, place(without, kReseatWidth));
        optimise(t, {j}, kSingleBandIterations);
        optimiseAll(t, kJointIterations);
        if (t.cost < s.cost * (1.0 - 1e-9)) {
            s = std::move(t);
        }
    }
}

// `s` with its lowest (low shelf) or highest (high shelf) peak turned into a shelf inside that
// end of the range, its gain chosen from whole-dB trials, then everything settled again.
State Search::withShelf(const State& s, std::uint8_t type) {
    State t = s;
    const bool low = type == kShelvLow6dB;
    std::size_t pick = t.bands.size();
    for (std::size_t j = 0; j < t.bands.size(); ++j) {
        if (t.bands[j].type != kParametric) {
            continue;
        }
        if (pick == t.bands.size() || (low ? t.bands[j].x[kLogHz] < t.bands[pick].x[kLogHz]
                                           : t.bands[j].x[kLogHz] > t.bands[pick].x[kLogHz])) {
            pick = j;
        }
    }
    if (pick == t.bands.size()) {
        return t;
    }
    Band shelf;
    shelf.type = type;
    shelf.x[kLogHz] = std::log(low ? p_.lowHz * 1.5 : p_.highHz / 1.5);
    shelf.x[kLogQ] = 0.0;
    std::vector<double> without = t.total;
    const double* c = curve(t, pick);
    for (std::size_t k = 0; k < n_; ++k) {
        without[k] -= c[k];
    }
    std::vector<double> trial(n_);
    double best = std::numeric_limits<double>::infinity();
    double bestGain = 0.0;
    for (double g = kPeqMinGainDb; g <= gainCeiling(type) + 1e-9; g += 1.0) {
        Band b = shelf;
        b.x[kGain] = g;
        curveOf(clamped(b), trial.data());
        const double cost = costReplacing(without, zeros_.data(), trial.data());
        if (cost < best) {
            best = cost;
            bestGain = g;
        }
    }
    shelf.x[kGain] = bestGain;
    replaceBand(t, pick, shelf);
    optimise(t, {pick}, kSingleBandIterations);
    optimiseAll(t, kJointIterations);
    return t;
}

std::vector<BandSteps> Search::quantise(const State& s) const {
    std::vector<BandSteps> steps;
    for (const Band& b : s.bands) {
        BandSteps q;
        q.type = b.type;
        q.frequency = std::clamp(frequencySliderPosition(std::exp(b.x[kLogHz])),
                                 p_.limits.frequencyTop, p_.limits.frequencyBottom);
        // Positions below Q 0.5 are held to 0.5 by the handler; the shelves have no Q.
        q.q = std::min(b.type == kParametric ? qSliderPosition(std::exp(b.x[kLogQ])) : kQSliderMax,
                       qSliderPosition(kPeqMinQ));
        q.gain = std::clamp(gainSliderPosition(b.x[kGain]), gainSliderPosition(gainCeiling(b.type)),
                            gainSliderPosition(kPeqMinGainDb));
        steps.push_back(q);
    }
    return steps;
}

// Descent over neighbouring slider steps: one step of gain or Q, both together, and frequency
// steps of one position, about 0.5 % and about 3 %; every step that lowers the cost is taken,
// until none does.
double Search::polish(std::vector<BandSteps>& steps) {
    const std::size_t count = steps.size();
    std::vector<double> curves(count * n_);
    std::vector<double> total = p_.base;
    for (std::size_t j = 0; j < count; ++j) {
        stepsCurve(steps[j], curves.data() + j * n_);
        for (std::size_t k = 0; k < n_; ++k) {
            total[k] += curves[j * n_ + k];
        }
    }
    double cost = costOf(total.data());
    const int gainTop = gainSliderPosition(kPeqMinGainDb);
    const int qBottom = qSliderPosition(kPeqMinQ);
    std::vector<double> candidate(n_);

    for (int sweep = 0; sweep < kPolishSweeps && tick(0.2); ++sweep) {
        bool improved = false;
        for (std::size_t j = 0; j < count; ++j) {
            const BandSteps now = steps[j];
            const double hz = frequencyFromSlider(now.frequency);
            std::vector<BandSteps> moves;
            for (const double ratio : {1.005, 1.03}) {
                const int up = std::min(now.frequency - 1, frequencySliderPosition(hz * ratio));
                const int down = std::max(now.frequency + 1, frequencySliderPosition(hz / ratio));
                for (const int f : {up, down}) {
                    moves.push_back({now.type, f, now.q, now.gain});
                }
            }
            for (const int d : {-1, 1}) {
                moves.push_back({now.type, now.frequency + d, now.q, now.gain});
                moves.push_back({now.type, now.frequency, now.q, now.gain + d});
                if (now.type == kParametric) {
                    moves.push_back({now.type, now.frequency, now.q + d, now.gain});
                    moves.push_back({now.type, now.frequency, now.q + d, now.gain + d});
                    moves.push_back({now.type, now.frequency, now.q + d, now.gain - d});
                }
            }
            const int gainCeilingStep = gainSliderPosition(gainCeiling(now.type));
            for (const BandSteps& move : moves) {
                if (move.frequency < p_.limits.frequencyTop ||
                    move.frequency > p_.limits.frequencyBottom || move.q < kQSliderMin ||
                    move.q > qBottom || move.gain < gainCeilingStep || move.gain > gainTop) {
                    continue;
                }
                stepsCurve(move, candidate.data());
                double* current = curves.data() + j * n_;
                const double c = costReplacing(total, current, candidate.data());
                if (c < cost * (1.0 - 1e-12)) {
                    for (std::size_t k = 0; k < n_; ++k) {
                        total[k] += candidate[k] - current[k];
                        current[k] = candidate[k];
                    }
                    cost = c;
                    steps[j] = move;
                    improved = true;
                }
            }
        }
        if (!improved) {
            break;
        }
    }
    return costOf(total.data());
}

std::vector<BandSteps> Search::finish(const std::vector<Candidate>& starts) {
    State best;
    best.cost = std::numeric_limits<double>::infinity();
    std::size_t refined = 0;
    double previous = -1.0;
    for (std::size_t i = 0; i < starts.size() && refined < kRefinedStarts && !cancelled(); ++i) {
        // Starts that ended in the same place are settled once.
        if (std::abs(starts[i].cost - previous) <= 1e-9 * starts[i].cost) {
            continue;
        }
        previous = starts[i].cost;
        ++refined;
        State s = settled(starts[i].bands, kJointIterations);
        if (s.cost < best.cost) {
            best = std::move(s);
        }
    }
    reseat(best);

    std::vector<State> candidates{best};
    if (p_.shelves) {
        candidates.push_back(withShelf(best, kShelvLow6dB));
        candidates.push_back(withShelf(best, kShelvHigh6dB));
        if (p_.bands >= 2) {
            candidates.push_back(withShelf(candidates[1], kShelvHigh6dB));
        }
    }
    std::vector<BandSteps> chosen;
    double chosenCost = std::numeric_limits<double>::infinity();
    for (const State& s : candidates) {
        std::vector<BandSteps> steps = quantise(s);
        const double cost = polish(steps);
        if (cost < chosenCost) {
            chosenCost = cost;
            chosen = std::move(steps);
        }
    }
    // Rising frequency: the bands read from low to high in the editor.
    std::stable_sort(chosen.begin(), chosen.end(), [](const BandSteps& a, const BandSteps& b) {
        return a.frequency > b.frequency;
    });
    return chosen;
}

// `problem` on every `factor`-th point, for scouting the starts cheaply.
SearchProblem thinned(const SearchProblem& problem, std::size_t factor) {
    SearchProblem coarse = problem;
    for (std::vector<double>* values : {&coarse.base, &coarse.cos1, &coarse.cos2, &coarse.octave}) {
        std::vector<double> kept;
        for (std::size_t k = 0; k < values->size(); k += factor) {
            kept.push_back((*values)[k]);
        }
        *values = std::move(kept);
    }
    return coarse;
}

}  // namespace

std::optional<std::vector<BandSteps>> searchBands(const SearchProblem& problem,
                                                  FitProgress* progress) {
    if (problem.base.size() < 2 || problem.bands < 1) {
        return std::vector<BandSteps>{};
    }
    Pace pace;
    pace.progress = progress;
    const double bands = problem.bands;
    pace.work = (kStartWidths.size() + kSpreadStarts) * kScoutIterations / 3.0 +
                (kRefinedStarts + bands + 3.0) * kJointIterations / 2.0;
    // The starts are scouted on every third point (a third of the work, the same landscape);
    // the best are settled on all of them.
    const std::size_t factor = problem.base.size() >= kThinnedMinPoints ? 3 : 1;
    std::vector<Candidate> starts = Search(factor > 1 ? thinned(problem, factor) : problem, pace)
                                        .explore(kSpreadStarts, kScoutIterations);
    if (pace.cancelled) {
        return std::nullopt;
    }
    std::vector<BandSteps> steps = Search(problem, pace).finish(starts);
    if (pace.cancelled) {
        return std::nullopt;
    }
    return steps;
}

}  // namespace kvn::analysis
