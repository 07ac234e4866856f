#include "analysis/OutputResponse.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "dsp/FixedSubPath.h"

namespace kvn::analysis {
namespace {

ProcessorConfig newPreset() {
    ProcessorConfig c;
    c.resetToNew();
    return c;
}

TEST(OutputResponse, DefaultOutputOne_IsFlatOnTheWholeGrid) {
    const OutputResponse r = evaluateOutput(newPreset(), 1, ResponseBlock::Total);
    EXPECT_EQ(r.hz[0], 20);
    EXPECT_EQ(r.hz[200], 693);
    EXPECT_EQ(r.hz[400], 23999);
    for (std::size_t k = 0; k < r.hz.size(); ++k) {
        EXPECT_EQ(r.db[k], 0.0);
        EXPECT_EQ(r.phaseDeg[k], 0.0);
    }
}

TEST(OutputResponse, SubCrossover_AddsTheFixedPathAndTotalAddsTheEqualiser) {
    ProcessorConfig c = newPreset();
    // A band of +6 dB at 100 Hz on SUB, in use.
    c.output(3).band(1).FilterType = kParametric;
    c.output(3).band(1).FrequencyHz = 100.0;
    c.output(3).band(1).GainDb = 6.0;
    c.output(3).band(1).design();
    const OutputResponse peq = evaluateOutput(c, 3, ResponseBlock::Peq);
    const OutputResponse xover = evaluateOutput(c, 3, ResponseBlock::Xover);
    const OutputResponse total = evaluateOutput(c, 3, ResponseBlock::Total);

    // The SUB low-pass edge at 480 Hz (Butterworth order 2) and the 470 Hz path: two -3 dB
    // points just above 470 Hz make about -6 dB there; at 20 Hz both are flat.
    const ResponseCurve& path = fixedSubPathResponse();
    EXPECT_NEAR(xover.db[0], 0.0, 0.001);
    EXPECT_LT(xover.db[200], path.MagDb[200] - 5.0);
    const auto at100 =
        static_cast<std::size_t>(std::find(peq.hz.begin(), peq.hz.end(), 100) - peq.hz.begin());
    ASSERT_LT(at100, peq.hz.size());
    EXPECT_NEAR(peq.db[at100], 6.0, 0.01);
    for (std::size_t k = 0; k < total.db.size(); ++k) {
        EXPECT_NEAR(total.db[k], peq.db[k] + xover.db[k], 1e-3) << k;
    }
    // At 23999 Hz the phases add up beyond -180 degrees and are wrapped.
    EXPECT_GE(total.phaseDeg[400], -180.0);
    EXPECT_LE(total.phaseDeg[400], 180.0);
}

}  // namespace
}  // namespace kvn::analysis
