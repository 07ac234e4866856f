#include "analysis/OutputCurves.h"

#include <algorithm>
#include <array>

#include "dsp/FixedSubPath.h"

namespace kvn::analysis {

void CurveSections::append(const TSOS& section) {
    for (int c = 0; c < 5; ++c) {
        coefficients[static_cast<std::size_t>(count * 5 + c)] = section.coefficient(c);
    }
    ++count;
}

namespace {

CurveSections equaliserSections(const OutputChannel& output) {
    CurveSections key;
    key.count = 0;
    for (int b = 1; b <= std::clamp(output.PeqBandsInUse, 0, kPeqBands); ++b) {
        key.append(output.band(b));
    }
    return key;
}

// The last equaliser curves evaluated on this thread. A drag has the equaliser window and the
// total response evaluate the same curve in turn; the second finds it here.
struct EqualiserMemo {
    static constexpr std::size_t kSize = 4;
    std::array<CurveSections, kSize> keys{};
    std::array<ResponseCurve, kSize> curves{};
    std::size_t next = 0;
};

}  // namespace

void equaliserCurve(const OutputChannel& output, ResponseCurve& out) {
    std::array<const TSOS*, kPeqBands> sections{};
    const int count = std::clamp(output.PeqBandsInUse, 0, kPeqBands);
    for (int b = 1; b <= count; ++b) {
        sections[static_cast<std::size_t>(b - 1)] = &output.band(b);
    }
    const CurveSections key = equaliserSections(output);
    thread_local EqualiserMemo memo;
    for (std::size_t m = 0; m < EqualiserMemo::kSize; ++m) {
        if (memo.keys[m] == key) {
            out = memo.curves[m];
            return;
        }
    }
    evaluateCascade(std::span<const TSOS* const>(sections.data(), static_cast<std::size_t>(count)),
                    count, out);
    memo.keys[memo.next] = key;
    memo.curves[memo.next] = out;
    memo.next = (memo.next + 1) % EqualiserMemo::kSize;
}

void crossoverCurve(const OutputChannel& output, bool sub, ResponseCurve& out) {
    std::array<const TSOS*, 6> sections{};
    std::size_t count = 0;
    for (const TXOVERPB* edge : {&output.LowPassEdge, &output.HighPassEdge}) {
        for (int k = 1; k <= std::clamp(edge->SectionCount, 0, 3); ++k) {
            sections[count++] = &edge->section(k);
        }
    }
    evaluateCascade(std::span<const TSOS* const>(sections.data(), count), static_cast<int>(count),
                    out);
    if (sub) {
        const ResponseCurve& path = fixedSubPathResponse();
        for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
            out.MagDb[k] += path.MagDb[k];
            out.PhaseRad[k] += path.PhaseRad[k];
        }
    }
}

void BlockCurveCache::update(const ProcessorConfig& config) {
    for (int n = 1; n <= kOutputCount; ++n) {
        const auto o = static_cast<std::size_t>(n - 1);
        const OutputChannel& output = config.output(n);
        const CurveSections peq = equaliserSections(output);
        if (!(peq == peqKeys_[o])) {
            peqKeys_[o] = peq;
            equaliserCurve(output, peq_[o]);
        }
        CurveSections xover;
        xover.count = 0;
        for (const TXOVERPB* edge : {&output.LowPassEdge, &output.HighPassEdge}) {
            for (int k = 1; k <= std::clamp(edge->SectionCount, 0, 3); ++k) {
                xover.append(edge->section(k));
            }
        }
        if (!(xover == xoverKeys_[o])) {
            xoverKeys_[o] = xover;
            crossoverCurve(output, n == kSubOutput, xover_[o]);
        }
    }
}

const ResponseCurve& BlockCurveCache::peq(int output) const {
    return peq_[static_cast<std::size_t>(std::clamp(output, 1, kOutputCount) - 1)];
}

const ResponseCurve& BlockCurveCache::xover(int output) const {
    return xover_[static_cast<std::size_t>(std::clamp(output, 1, kOutputCount) - 1)];
}

std::array<double, kGridPoints> plottedCurve(const ResponseCurve& curve, CurveView view) {
    std::array<double, kGridPoints> values{};
    for (std::size_t k = 0; k < values.size(); ++k) {
        values[k] = view == CurveView::Magnitude ? static_cast<double>(curve.MagDb[k])
                                                 : wrapPhaseDegrees(curve.PhaseRad[k]);
    }
    return values;
}

}  // namespace kvn::analysis
