// Arithmetic of the response graphs.
#include "widgets/GraphMath.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "widgets/NumberFormat.h"

namespace kvn::widgets {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Ticks computed as mantissa x 10^n land a few ulps off the range ends (20 vs 20.000000000000004);
// a relative slack keeps the end ticks.
constexpr double kTickSlack = 1e-9;

// Calls visit(mantissa * 10^n) for every decade that overlaps the range, in increasing order.
template <typename Visit>
void forEachDecadeMultiple(const AxisRange& range, std::initializer_list<int> mantissas,
                           Visit visit) {
    if (!range.isValidFor(AxisScale::Logarithmic)) {
        return;
    }
    const int first = static_cast<int>(std::floor(std::log10(range.lower)));
    const int last = static_cast<int>(std::floor(std::log10(range.upper)));
    for (int n = first; n <= last; ++n) {
        const double decade = std::pow(10.0, n);
        for (const int m : mantissas) {
            const double value = m * decade;
            if (value >= range.lower * (1.0 - kTickSlack) &&
                value <= range.upper * (1.0 + kTickSlack)) {
                visit(value);
            }
        }
    }
}

}  // namespace

bool AxisRange::isValidFor(AxisScale scale) const {
    if (!std::isfinite(lower) || !std::isfinite(upper) || !(lower < upper)) {
        return false;
    }
    return scale == AxisScale::Linear || lower > 0.0;
}

double AxisMapping::toPixel(double value) const {
    if (!range.isValidFor(scale)) {
        return kNaN;
    }
    double fraction = 0.0;
    if (scale == AxisScale::Logarithmic) {
        if (!(value > 0.0)) {
            return kNaN;
        }
        fraction = std::log(value / range.lower) / std::log(range.upper / range.lower);
    } else {
        fraction = (value - range.lower) / (range.upper - range.lower);
    }
    return pixelAtLower + fraction * (pixelAtUpper - pixelAtLower);
}

double AxisMapping::toValue(double pixel) const {
    if (!range.isValidFor(scale) || pixelAtUpper == pixelAtLower) {
        return kNaN;
    }
    const double fraction = (pixel - pixelAtLower) / (pixelAtUpper - pixelAtLower);
    if (scale == AxisScale::Logarithmic) {
        return range.lower * std::pow(range.upper / range.lower, fraction);
    }
    return range.lower + fraction * (range.upper - range.lower);
}

std::vector<double> logMajorTicks(const AxisRange& range) {
    std::vector<double> ticks;
    forEachDecadeMultiple(range, {1, 2, 5}, [&](double v) { ticks.push_back(v); });
    return ticks;
}

std::vector<double> logMinorTicks(const AxisRange& range) {
    std::vector<double> ticks;
    forEachDecadeMultiple(range, {3, 4, 6, 7, 8, 9}, [&](double v) { ticks.push_back(v); });
    return ticks;
}

std::string frequencyTickLabel(double frequencyHz) {
    if (std::fabs(frequencyHz) >= 1000.0) {
        return formatGeneral(frequencyHz / 1000.0, 4) + "k";
    }
    return formatGeneral(frequencyHz, 4);
}

std::vector<double> linearTicks(const AxisRange& range, double step) {
    std::vector<double> ticks;
    if (!range.isValidFor(AxisScale::Linear) || !(step > 0.0) || !std::isfinite(step)) {
        return ticks;
    }
    const double slack = step * kTickSlack;
    const double first = std::ceil((range.lower - slack) / step);
    const double last = std::floor((range.upper + slack) / step);
    if (last - first + 1 > kMaxLinearTicks) {
        return ticks;
    }
    for (double k = first; k <= last; ++k) {
        // k * step with k = 0 can be -0.0; the label of the zero tick must not read "-0".
        ticks.push_back(k == 0.0 ? 0.0 : k * step);
    }
    return ticks;
}

double niceTickStep(const AxisRange& range, int targetTicks) {
    if (!range.isValidFor(AxisScale::Linear)) {
        return 1.0;
    }
    const double rough = (range.upper - range.lower) / std::max(targetTicks - 1, 1);
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * decade >= rough * (1.0 - kTickSlack)) {
            return m * decade;
        }
    }
    return 10.0 * decade;
}

bool bandHit(double xHz, double yDb, double bandFrequencyHz, double bandGainDb) {
    if (!(xHz > 0.0) || !(bandFrequencyHz > 0.0)) {
        return false;
    }
    return std::fabs(std::log10(xHz) - std::log10(bandFrequencyHz)) <= kBandHitLogDistance &&
           std::fabs(yDb - bandGainDb) <= kBandHitGainDistanceDb;
}

double valueInSight(double value, const AxisRange& range) {
    return std::isnan(value) ? value : std::clamp(value, range.lower, range.upper);
}

std::vector<LabelPlace> keepLabelsApart(std::vector<LabelPlace> labels, double width, double height,
                                        double left, double right) {
    const double half = width / 2.0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        LabelPlace& label = labels[i];
        label.x = right - left >= width ? std::clamp(label.x, left + half, right - half)
                                        : (left + right) / 2.0;
        // Each raise puts the label just above one placed before it; with i labels below it,
        // i + 1 passes find a free place.
        for (std::size_t pass = 0; pass <= i; ++pass) {
            bool moved = false;
            for (std::size_t j = 0; j < i; ++j) {
                if (std::fabs(label.x - labels[j].x) < width &&
                    std::fabs(label.y - labels[j].y) < height) {
                    label.y = labels[j].y - height;
                    moved = true;
                }
            }
            if (!moved) {
                break;
            }
        }
    }
    return labels;
}

}  // namespace kvn::widgets
