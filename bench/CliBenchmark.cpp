// Costs of the command-line tool's own work: the JSON mapping of a preset both ways, the readable
// text and diff, and the response of an output. Process start and file I/O are left out.
#include <benchmark/benchmark.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "analysis/OutputResponse.h"
#include "cli/JsonWriter.h"
#include "cli/PresetJson.h"
#include "cli/PresetStore.h"
#include "config/PresetText.h"

namespace {

using namespace kvn;
using namespace kvn::cli;
using namespace kvn::analysis;

void BM_PresetToJsonText(benchmark::State& state) {
    const ProcessorConfig config = PresetStore::newPreset();
    for (auto _ : state) {
        benchmark::DoNotOptimize(writeJson(PresetJson::toJson(config), JsonNumbers::Shortest));
    }
}
BENCHMARK(BM_PresetToJsonText);

void BM_PresetFromJsonText(benchmark::State& state) {
    const std::string text =
        writeJson(PresetJson::toJson(PresetStore::newPreset()), JsonNumbers::Shortest);
    const QByteArray bytes = QByteArray::fromStdString(text);
    for (auto _ : state) {
        ProcessorConfig config = PresetStore::newPreset();
        PresetJson::apply(QJsonDocument::fromJson(bytes).object(), config);
        benchmark::DoNotOptimize(config);
    }
}
BENCHMARK(BM_PresetFromJsonText);

void BM_PresetDiff(benchmark::State& state) {
    const ProcessorConfig a = PresetStore::newPreset();
    ProcessorConfig b = a;
    b.output(2).band(3).GainDb = 4.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PresetText::diff(a, b));
    }
}
BENCHMARK(BM_PresetDiff);

void BM_SubTotalResponse(benchmark::State& state) {
    const ProcessorConfig config = PresetStore::newPreset();
    for (auto _ : state) {
        benchmark::DoNotOptimize(evaluateOutput(config, 3, ResponseBlock::Total));
    }
}
BENCHMARK(BM_SubTotalResponse);

}  // namespace
