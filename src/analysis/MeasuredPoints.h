// The points read from one measurement file, with the checks that keep nonsense out of the
// measured curve: a line whose value cannot be a measurement, frequencies that go down, and
// files whose points give no curve on the response grid.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvn::analysis {

// No loudspeaker measurement reads beyond this level; a larger one is a damaged number.
inline constexpr double kMeasuredDbMax = 500.0;

// "path: line N what" with N counted from 1, as every refusal of a line reads.
std::string lineMessage(std::string_view path, std::size_t lineIndex, std::string_view what);

class MeasuredPoints {
public:
    // `path` names the file in the refusals; it must outlive the points.
    explicit MeasuredPoints(std::string_view path) : path_(path) {}

    // Adds the point read on line `lineIndex` (0-based). Refused, with nothing added: a level
    // beyond +-kMeasuredDbMax, a negative frequency, a frequency lower than the one before.
    std::optional<std::string> add(double hz, double db, double phase, std::size_t lineIndex);
    // After the last line: why the points give no curve (fewer than two; every one at the same
    // frequency; none inside the grid's 20..23999 Hz), or nothing when they do.
    std::optional<std::string> unusable() const;
    // The warning when the part of the grid measured spans less than one octave; empty
    // otherwise. Meaningful once unusable() is empty.
    std::string narrowRangeNote() const;

    std::vector<double> hz;
    std::vector<double> db;
    std::vector<double> phase;

private:
    std::string_view path_;
};

}  // namespace kvn::analysis
