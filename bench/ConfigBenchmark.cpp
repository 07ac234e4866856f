// Cost of writing and reading the memory image and the preset file, each read with the editors'
// reload that follows it (every band, edge and dynamics unit designed again).
#include <benchmark/benchmark.h>

#include "config/ImageConsistency.h"
#include "config/LoadRefresh.h"
#include "config/MemoryImage.h"
#include "config/PresetFile.h"

namespace {

// A configuration with every band and edge in use, so that a reload designs all of them.
kvn::ProcessorConfig busyConfig() {
    kvn::ProcessorConfig c;
    for (int n = 1; n <= kvn::kOutputCount; ++n) {
        kvn::OutputChannel& out = c.output(n);
        for (int b = 1; b <= kvn::peqBandCount(n); ++b) {
            out.band(b).FilterType = kvn::kParametric;
            out.band(b).FrequencyHz = 40.0 * b * b;
            out.band(b).GainDb = b % 2 == 0 ? 3.0 : -4.5;
            out.band(b).Q = 1.5;
        }
        out.HighPassEdge.XoverType = kvn::kLinkwitzRileyHighPass;
        out.HighPassEdge.Order = 4;
        out.LowPassEdge.XoverType = kvn::kBesselLowPass;
        out.LowPassEdge.Order = 4;
    }
    c.output(kvn::kSubOutput).LowPassEdge.FrequencyHz = 200;
    kvn::refreshAfterLoad(c, kvn::LoadSource::PresetFile);
    return c;
}

void BM_BuildImage(benchmark::State& state) {
    const kvn::ProcessorConfig config = busyConfig();
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvn::BuildImage(config));
    }
}
BENCHMARK(BM_BuildImage)->Unit(benchmark::kMicrosecond);

void BM_DecodeImage(benchmark::State& state) {
    const kvn::ImageBuffer image = kvn::BuildImage(busyConfig());
    kvn::ProcessorConfig config;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvn::DecodeImage(image, config));
    }
}
BENCHMARK(BM_DecodeImage)->Unit(benchmark::kMicrosecond);

void BM_LoadImage(benchmark::State& state) {
    const kvn::ImageBuffer image = kvn::BuildImage(busyConfig());
    kvn::ProcessorConfig config;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvn::LoadImage(image, config));
    }
}
BENCHMARK(BM_LoadImage)->Unit(benchmark::kMicrosecond);

// The check every memory read runs on the image it received (copies, ranges, a fresh design).
void BM_CheckImageConsistency(benchmark::State& state) {
    const kvn::ImageBuffer image = kvn::BuildImage(busyConfig());
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvn::checkImageConsistency(image));
    }
}
BENCHMARK(BM_CheckImageConsistency)->Unit(benchmark::kMicrosecond);

void BM_BuildPresetRecord(benchmark::State& state) {
    const kvn::ProcessorConfig config = busyConfig();
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvn::BuildPresetRecord(config, "/presets/show.KV2"));
    }
}
BENCHMARK(BM_BuildPresetRecord)->Unit(benchmark::kMicrosecond);

void BM_OpenPresetBytes(benchmark::State& state) {
    const kvn::PresetRecord record = kvn::BuildPresetRecord(busyConfig(), "/presets/show.KV2");
    kvn::ProcessorConfig config;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kvn::OpenPresetBytes(record, "/presets/show.KV2", config));
    }
}
BENCHMARK(BM_OpenPresetBytes)->Unit(benchmark::kMicrosecond);

}  // namespace
