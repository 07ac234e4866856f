// Cost of the filter designs and of evaluating a cascade on the response grid.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "dsp/Response.h"
#include "dsp/TDYNAMIC.h"
#include "dsp/TSOS.h"
#include "dsp/TXOVERPB.h"

namespace {

std::vector<kvn::TSOS> designedCascade(int count) {
    std::vector<kvn::TSOS> sections(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto& s = sections[static_cast<std::size_t>(i)];
        s.FilterType = kvn::kParametric;
        s.FrequencyHz = 40.0 * (i + 1) * (i + 1);
        s.Q = 0.7 + 0.3 * i;
        s.GainDb = (i % 2 == 0 ? 6.0 : -4.0);
        s.design();
    }
    return sections;
}

void BM_EvaluateCascade(benchmark::State& state) {
    const auto sections = designedCascade(static_cast<int>(state.range(0)));
    kvn::ResponseCurve curve;
    kvn::responseGrid();
    for (auto _ : state) {
        kvn::evaluateCascade(sections, static_cast<int>(sections.size()), curve);
        benchmark::DoNotOptimize(curve.MagDb.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EvaluateCascade)->Arg(1)->Arg(7)->Arg(14)->Unit(benchmark::kMicrosecond);

void BM_DesignSection(benchmark::State& state) {
    kvn::TSOS section;
    section.FilterType = static_cast<std::uint8_t>(state.range(0));
    section.FrequencyHz = 1234.0;
    section.Q = 2.5;
    section.GainDb = 4.5;
    for (auto _ : state) {
        section.FilterType = static_cast<std::uint8_t>(state.range(0));
        section.GainDb = 4.5;
        section.design();
        benchmark::DoNotOptimize(section.b0);
    }
}
BENCHMARK(BM_DesignSection)->DenseRange(0, 11)->Arg(15)->Arg(16)->Unit(benchmark::kNanosecond);

void BM_DesignFirstOrder(benchmark::State& state) {
    kvn::TSOS section;
    section.FrequencyHz = 1234.0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            section.designFirstOrderLowPass();
        } else {
            section.designFirstOrderHighPass();
        }
        benchmark::DoNotOptimize(section.b0);
    }
}
BENCHMARK(BM_DesignFirstOrder)->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond);

}  // namespace

namespace {

void BM_DesignCrossoverEdge(benchmark::State& state) {
    kvn::TXOVERPB edge;
    edge.XoverType = static_cast<std::uint8_t>(state.range(0));
    edge.Order = static_cast<int>(state.range(1));
    edge.FrequencyHz = 1500.0;
    for (auto _ : state) {
        edge.Order = static_cast<int>(state.range(1));
        benchmark::DoNotOptimize(edge.design());
        benchmark::DoNotOptimize(edge.Sections[0].b0);
    }
}
// Butterworth, Linkwitz-Riley and Bessel low-pass edges at orders 2 and 4.
BENCHMARK(BM_DesignCrossoverEdge)
    ->ArgsProduct({{kvn::kButterworthLowPass, kvn::kLinkwitzRileyLowPass, kvn::kBesselLowPass},
                   {2, 4}})
    ->Args({kvn::kXoverBypass, 2})
    ->Unit(benchmark::kNanosecond);

void BM_DesignDynamics(benchmark::State& state) {
    kvn::TDYNAMIC unit;
    unit.thresholdDbfs = -12.0f;
    unit.ratio = 4.0f;
    unit.kneeType = kvn::kCompressor;
    unit.gateLevel = 13.0f;
    unit.gateSlope = 4.0f;
    for (auto _ : state) {
        unit.design();
        benchmark::DoNotOptimize(unit.gainTable.data());
    }
}
BENCHMARK(BM_DesignDynamics)->Unit(benchmark::kMicrosecond);

}  // namespace
