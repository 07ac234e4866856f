// Response of an output's blocks.
#include "analysis/OutputResponse.h"

#include "analysis/OutputCurves.h"

namespace kvn::analysis {

OutputResponse evaluateOutput(const ProcessorConfig& config, int output, ResponseBlock block) {
    const OutputChannel& out = config.output(output);
    ResponseCurve total;
    if (block != ResponseBlock::Xover) {
        equaliserCurve(out, total);
    }
    if (block != ResponseBlock::Peq) {
        ResponseCurve xover;
        crossoverCurve(out, output == kSubOutput, xover);
        for (int i = 0; i < kGridPoints; ++i) {
            const auto k = static_cast<std::size_t>(i);
            total.MagDb[k] += xover.MagDb[k];
            total.PhaseRad[k] += xover.PhaseRad[k];
        }
    }
    OutputResponse r;
    const ResponseGrid& grid = responseGrid();
    for (int i = 0; i < kGridPoints; ++i) {
        const auto k = static_cast<std::size_t>(i);
        r.hz[k] = grid.GridHz[k];
        r.db[k] = total.MagDb[k];
        r.phaseDeg[k] = wrapPhaseDegrees(total.PhaseRad[k]);
    }
    return r;
}

}  // namespace kvn::analysis
