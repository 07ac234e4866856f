// Rounding of user values to whole numbers, shared by every layer.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvn {

// x rounded to the nearest integer, halves to even, as every user value is rounded. Values beyond
// the int range are held to it and NaN gives 0, so that bytes read from a file or an image can
// never make the conversion undefined.
inline int roundHalfEven(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    const double limit = static_cast<double>(std::numeric_limits<int>::max());
    return static_cast<int>(std::clamp(std::nearbyint(x), -limit, limit));
}

}  // namespace kvn
