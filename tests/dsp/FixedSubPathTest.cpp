#include "dsp/FixedSubPath.h"

#include <gtest/gtest.h>

namespace kvn {
namespace {

TEST(FixedSubPath, MatchesTheListedTableValues) {
    const ResponseCurve& c = fixedSubPathResponse();
    EXPECT_NEAR(c.MagDb[0], -0.0000142, 0.0000005);
    EXPECT_NEAR(c.MagDb[100], -0.0172, 0.00005);
    EXPECT_NEAR(c.MagDb[200], -7.58, 0.005);
    EXPECT_NEAR(c.MagDb[300], -37.9, 0.05);
    EXPECT_NEAR(c.MagDb[400], -227.9, 0.05);
    EXPECT_NEAR(c.PhaseRad[0], -0.0602, 0.00005);
    EXPECT_NEAR(c.PhaseRad[200], -2.08, 0.005);
    EXPECT_NEAR(std::abs(c.PhaseRad[400]), 3.1416, 0.0001);
}

}  // namespace
}  // namespace kvn
