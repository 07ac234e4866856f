// Arithmetic of the response graphs, free of any drawing: mapping between axis values and pixels
// on linear and logarithmic axes, tick positions and labels, the "strictly inside" test of the
// position readout and the hit test for dragging an equaliser band.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kvn::widgets {

enum class AxisScale { Linear, Logarithmic };

// The values shown along one axis, lower < upper (and 0 < lower on a logarithmic axis).
struct AxisRange {
    double lower = 0.0;
    double upper = 1.0;

    // True when lower < value < upper; the ends themselves are outside.
    bool strictlyContains(double value) const { return value > lower && value < upper; }
    bool isValidFor(AxisScale scale) const;
};

// Where one axis draws its values: `lower` at pixel `pixelAtLower`, `upper` at `pixelAtUpper`
// (for a y axis the lower value sits at the larger pixel). Linear or logarithmic in between.
struct AxisMapping {
    AxisRange range;
    AxisScale scale = AxisScale::Linear;
    double pixelAtLower = 0.0;
    double pixelAtUpper = 1.0;

    // The pixel of `value`. NaN when the range is not valid for the scale, or the value is not
    // positive on a logarithmic axis. Values outside the range map outside the pixel span.
    double toPixel(double value) const;
    // The value drawn at `pixel`; NaN when the range is not valid for the scale or the pixel span
    // is empty.
    double toValue(double pixel) const;
};

// Major ticks of a logarithmic frequency axis: every 1, 2 and 5 times a power of ten that lies in
// [lower, upper] (20..20000 gives 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000). Empty
// for a range that is not valid on a logarithmic axis.
std::vector<double> logMajorTicks(const AxisRange& range);

// Minor ticks of a logarithmic axis: the whole multiples 1..9 of each power of ten in
// [lower, upper] that are not major ticks (30, 40, 60, 70, 80, 90, 300, ...).
std::vector<double> logMinorTicks(const AxisRange& range);

// The label of a frequency tick: below 1000 Hz the number ("20", "500"), from 1000 Hz on in
// kilohertz with a "k" ("1k", "2.5k", "20k"); general format with 4 significant digits.
std::string frequencyTickLabel(double frequencyHz);

// Ticks of a linear axis: every whole multiple of `step` in [lower, upper], each computed as
// k * step (no accumulated error). Empty when step is not positive or would give more than
// kMaxLinearTicks ticks.
inline constexpr int kMaxLinearTicks = 1000;
std::vector<double> linearTicks(const AxisRange& range, double step);

// A readable tick step for a linear axis: 1, 2 or 5 times a power of ten, chosen so that the range
// holds about `targetTicks` ticks (at least 2). 1.0 for a range that is not valid.
double niceTickStep(const AxisRange& range, int targetTicks);

// Hit distances of an equaliser band point: a decade fraction in x and decibels in y.
inline constexpr double kBandHitLogDistance = 0.07;
inline constexpr double kBandHitGainDistanceDb = 2.0;

// True when the graph position (xHz, yDb) is within the hit distances of the band point
// (bandFrequencyHz, bandGainDb): |log10 xHz - log10 bandFrequencyHz| <= 0.07 and
// |yDb - bandGainDb| <= 2 dB, both ends included. False when a frequency is not positive.
bool bandHit(double xHz, double yDb, double bandFrequencyHz, double bandGainDb);

// Where a point is drawn on an axis so that it stays in sight: its own value inside the range,
// otherwise the nearer end (an equaliser band at 10 Hz sits on the left edge of a graph from
// 20 Hz, and is taken hold of there). NaN stays NaN.
double valueInSight(double value, const AxisRange& range);

// The centre of a text label in pixels (y grows downwards).
struct LabelPlace {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const LabelPlace&) const = default;
};

// Places labels of `width` x `height` pixels so that each can be read: in the order given, each
// is held inside the span [left, right] (wholly when the span is wide enough), then raised by a
// label height above every label placed before it that it would cover, as often as needed. The
// first label is only held to the span.
std::vector<LabelPlace> keepLabelsApart(std::vector<LabelPlace> labels, double width, double height,
                                        double left, double right);

// The points of a line in pixels (`Point` has x() and y()) that draw it within `reach` pixels:
// `out` gets the points of `in` without those that lie within `reach` above or below the straight
// line between the points kept on either side of them. A curve drawn coarsely during a drag has
// more points than its straight stretches need, and each segment drawn costs the same however
// short. Both ends are kept; so are points that are not finite (gaps in the line), their
// neighbours, and every point where x does not increase. One pass, no allocation beyond `out`.
template <typename Point, typename Points>
void thinOutLine(const Points& in, double reach, Points& out) {
    out.clear();
    const auto count = in.size();
    const auto finite = [](const Point& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); };
    for (decltype(in.size()) i = 0; i < count;) {
        const Point& anchor = in[i];
        out.push_back(anchor);
        // The slopes from the anchor that pass within reach of every point skipped so far.
        double low = -std::numeric_limits<double>::infinity();
        double high = std::numeric_limits<double>::infinity();
        auto last = i;
        for (auto j = i + 1; finite(anchor) && j < count; ++j) {
            const Point& p = in[j];
            const double dx = p.x() - anchor.x();
            const double dy = p.y() - anchor.y();
            if (!finite(p) || !(p.x() > in[j - 1].x()) || dy < low * dx || dy > high * dx) {
                break;
            }
            last = j;
            low = std::max(low, (dy - reach) / dx);
            high = std::min(high, (dy + reach) / dx);
        }
        // The line reaches `last`, which starts the next one; a point no line could reach
        // starts one of its own.
        i = last > i ? last : i + 1;
    }
}

}  // namespace kvn::widgets
