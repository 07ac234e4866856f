// Checks on the measured points of one file.
#include "analysis/MeasuredPoints.h"

#include <algorithm>
#include <cmath>

#include "analysis/MessageText.h"
#include "dsp/Response.h"

namespace kvn::analysis {
namespace {

double gridLowHz() {
    return responseGrid().GridHz.front();
}

double gridHighHz() {
    return responseGrid().GridHz.back();
}

std::string gridText() {
    return "the response grid's " + numberText(gridLowHz()) + " to " + numberText(gridHighHz()) +
           " Hz";
}

}  // namespace

std::string lineMessage(std::string_view path, std::size_t lineIndex, std::string_view what) {
    return std::string(path) + ": line " + std::to_string(lineIndex + 1) + " " + std::string(what);
}

std::optional<std::string> MeasuredPoints::add(double f, double level, double angle,
                                               std::size_t lineIndex) {
    if (std::abs(level) > kMeasuredDbMax) {
        return lineMessage(path_, lineIndex,
                           "has a level of " + numberText(level) + " dB, beyond the " +
                               numberText(kMeasuredDbMax) + " dB a measurement can read.");
    }
    if (f < 0.0) {
        return lineMessage(path_, lineIndex,
                           "has a negative frequency (" + numberText(f) + " Hz).");
    }
    if (!hz.empty() && f < hz.back()) {
        return lineMessage(path_, lineIndex, "has a lower frequency than the line before.");
    }
    hz.push_back(f);
    db.push_back(level);
    phase.push_back(angle);
    return std::nullopt;
}

std::optional<std::string> MeasuredPoints::unusable() const {
    const std::string path(path_);
    if (hz.size() < 2) {
        return path + " holds fewer than two measured points.";
    }
    if (hz.front() == hz.back()) {
        return path + ": every line has the same frequency (" + numberText(hz.front()) +
               " Hz); a response needs at least two.";
    }
    if (std::min(hz.back(), gridHighHz()) <= std::max(hz.front(), gridLowHz())) {
        return path + ": its frequencies (" + numberText(hz.front()) + " to " +
               numberText(hz.back()) + " Hz) cover no part of " + gridText() + ".";
    }
    return std::nullopt;
}

std::string MeasuredPoints::narrowRangeNote() const {
    if (hz.size() < 2) {
        return {};
    }
    const double low = std::max(hz.front(), gridLowHz());
    const double high = std::min(hz.back(), gridHighHz());
    if (high <= low || high >= 2.0 * low) {
        return {};
    }
    return "the measured range " + numberText(low) + " to " + numberText(high) +
           " Hz covers less than one octave of " + gridText();
}

}  // namespace kvn::analysis
