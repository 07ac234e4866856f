// The response of one output's processing blocks on the response grid, as the editors draw it:
// the equaliser (bands 1..PeqBandsInUse), the crossover (the low-pass edge's sections in use,
// then the high-pass edge's; on SUB with the fixed SUB path added), or their total.
#pragma once

#include <array>
#include <cstdint>

#include "config/ProcessorConfig.h"
#include "dsp/Response.h"

namespace kvn::analysis {

enum class ResponseBlock { Peq, Xover, Total };

struct OutputResponse {
    std::array<std::int32_t, kGridPoints> hz{};
    std::array<double, kGridPoints> db{};
    std::array<double, kGridPoints> phaseDeg{};  // wrapped to [-180, 180]
};

// `output` 1..3. The sections' coefficients are used as they stand: design them first (loading a
// preset does).
OutputResponse evaluateOutput(const ProcessorConfig& config, int output, ResponseBlock block);

}  // namespace kvn::analysis
