// Response of an output's blocks.
#include "cli/OutputResponse.h"

#include <algorithm>
#include <vector>

#include "dsp/FixedSubPath.h"

namespace kvn::cli {
namespace {

ResponseCurve equaliserCurve(const OutputChannel& out) {
    std::vector<const TSOS*> sections;
    for (int b = 1; b <= std::clamp(out.PeqBandsInUse, 0, kPeqBands); ++b) {
        sections.push_back(&out.band(b));
    }
    ResponseCurve c;
    evaluateCascade(std::span<const TSOS* const>(sections), static_cast<int>(sections.size()), c);
    return c;
}

ResponseCurve crossoverCurve(const OutputChannel& out, bool sub) {
    std::vector<const TSOS*> sections;
    for (const TXOVERPB* edge : {&out.LowPassEdge, &out.HighPassEdge}) {
        for (int k = 1; k <= std::clamp(edge->SectionCount, 0, 3); ++k) {
            sections.push_back(&edge->section(k));
        }
    }
    ResponseCurve c;
    evaluateCascade(std::span<const TSOS* const>(sections), static_cast<int>(sections.size()), c);
    if (sub) {
        const ResponseCurve& path = fixedSubPathResponse();
        for (int i = 0; i < kGridPoints; ++i) {
            const auto k = static_cast<std::size_t>(i);
            c.MagDb[k] += path.MagDb[k];
            c.PhaseRad[k] += path.PhaseRad[k];
        }
    }
    return c;
}

}  // namespace

OutputResponse evaluateOutput(const ProcessorConfig& config, int output, ResponseBlock block) {
    const OutputChannel& out = config.output(output);
    ResponseCurve total;
    if (block != ResponseBlock::Xover) {
        total = equaliserCurve(out);
    }
    if (block != ResponseBlock::Peq) {
        const ResponseCurve xover = crossoverCurve(out, output == kSubOutput);
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

}  // namespace kvn::cli
