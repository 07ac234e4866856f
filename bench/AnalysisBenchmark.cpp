// The analysis layer: a long measurement export read and resampled onto the grid, the total
// response of the three outputs with their sum, the alignment of the outputs and the automatic
// equaliser.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "SyntheticSpeakers.h"
#include "analysis/EqualiserFit.h"
#include "analysis/MeasurementImport.h"
#include "analysis/OutputAlignment.h"
#include "analysis/TotalResponse.h"
#include "config/LevelControls.h"
#include "dsp/DspConstants.h"

namespace {

using namespace kvn;
using namespace kvn::analysis;

// A FRD-style export with `lines` points from 10 Hz to 24 kHz.
std::string frdText(int lines) {
    std::string text = "* Freq(Hz) SPL(dB) Phase(degrees)\n";
    char line[64];
    for (int i = 0; i < lines; ++i) {
        const double hz = 10.0 * std::pow(2400.0, i / (lines - 1.0));
        std::snprintf(line, sizeof line, "%.4f %.3f %.3f\n", hz, 90.0 + 3.0 * std::sin(i * 0.01),
                      std::fmod(i * 0.7, 360.0) - 180.0);
        text += line;
    }
    return text;
}

void BM_ImportFrd10000Lines(benchmark::State& state) {
    const std::string text = frdText(10000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseMeasurement(text, "m.frd", {kFormatFrd, 90.0}));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ImportFrd10000Lines)->Unit(benchmark::kMillisecond);

void BM_ImportClio10000Lines(benchmark::State& state) {
    std::string text = "    Freq\t      dB\t   Phase\n";
    char line[64];
    for (int i = 0; i < 10000; ++i) {
        std::snprintf(line, sizeof line, "%8.1f\t%8.2f\t%8.2f\n",
                      10.0 * std::pow(2400.0, i / 9999.0), 90.0, 0.0);
        text += line;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseMeasurement(text, "m.txt", {kFormatAuto, 90.0}));
    }
}
BENCHMARK(BM_ImportClio10000Lines)->Unit(benchmark::kMillisecond);

void BM_TotalResponseThreeOutputsWithAdd(benchmark::State& state) {
    ProcessorConfig config;
    config.resetToNew();
    for (int output = 1; output <= kOutputCount; ++output) {
        config.output(output).PeqBandsInUse = peqBandCount(output);
    }
    MeasuredCurves measured{};
    const MeasurementResult speaker = parseMeasurement(frdText(500), "m.frd", {kFormatFrd, 90.0});
    measured.fill(speaker.curve);
    TotalResponse out;
    for (auto _ : state) {
        computeTotalResponse(config, measured, out);
        benchmark::DoNotOptimize(out.addDb.data());
    }
}
BENCHMARK(BM_TotalResponseThreeOutputsWithAdd)->Unit(benchmark::kMicrosecond);

// --- Alignment of the outputs from their measurements ---

// Tops on Output 1 and 2 and SUB crossed at 100 Hz (Linkwitz-Riley 24 dB/octave) with the
// sample measurements, SUB's measured 4 ms early; Output 2 muted unless `threeOutputs`.
struct AlignmentSystem {
    explicit AlignmentSystem(bool threeOutputs) {
        config.resetToNew();
        for (int output : {1, 2}) {
            TXOVERPB& edge = config.output(output).HighPassEdge;
            edge.XoverType = kLinkwitzRileyHighPass;
            edge.Order = 4;
            edge.design();
        }
        TXOVERPB& sub = config.output(3).LowPassEdge;
        sub.XoverType = kLinkwitzRileyLowPass;
        sub.Order = 4;
        sub.FrequencyHz = 100.0;
        sub.design();
        setMuted(config, 2, !threeOutputs);
        const std::string folder = KVN_SAMPLE_MEASUREMENTS;
        const MeasurementSettings settings{kFormatFrd, 96.0};
        measured[0] = readMeasurement(folder + "/top.frd", settings).curve;
        measured[1] = measured[0];
        measured[2] = readMeasurement(folder + "/sub.frd", settings).curve;
        const auto& hz = responseGrid().GridHz;
        for (std::size_t k = 0; k < static_cast<std::size_t>(kGridPoints); ++k) {
            measured[2].PhaseRad[k] += static_cast<float>(2.0 * kPi * hz[k] * 192 / kSampleRate);
        }
    }
    ProcessorConfig config;
    MeasuredCurves measured{};
};

void alignBenchmark(benchmark::State& state, bool threeOutputs,
                    const std::array<bool, kOutputCount>& movable) {
    const AlignmentSystem system(threeOutputs);
    AlignmentRequest request{{}, movable};
    request.range = *defaultAlignmentRange(system.config, request.movable);
    for (auto _ : state) {
        benchmark::DoNotOptimize(alignOutputs(system.config, system.measured, request));
    }
}

void BM_AlignSubAgainstOutput1(benchmark::State& state) {
    alignBenchmark(state, false, {false, false, true});
}
BENCHMARK(BM_AlignSubAgainstOutput1)->Unit(benchmark::kMillisecond);

void BM_AlignEveryOutputOfThree(benchmark::State& state) {
    alignBenchmark(state, true, {true, true, true});
}
BENCHMARK(BM_AlignEveryOutputOfThree)->Unit(benchmark::kMillisecond);

// The automatic equaliser on a made-up full-range box with noise: 7 bands over 40 Hz - 16 kHz on
// Output 1, and 3 bands over 30 - 400 Hz on SUB (with its low-pass and fixed path). The counters
// give the deviation before and after.
void fitBenchmark(benchmark::State& state, test::Speaker speaker, int output, FitRange range,
                  int bands) {
    ProcessorConfig config;
    config.resetToNew();
    const MeasurementResult measured =
        parseMeasurement(test::speakerFrd(speaker), "speaker.frd", {kFormatFrd, 90.0});
    EqualiserFitOptions options;
    options.output = output;
    options.range = range;
    options.bands = bands;
    EqualiserFit fit;
    for (auto _ : state) {
        fit = fitEqualiser(config, measured.curve, flatTarget(), options);
        benchmark::DoNotOptimize(fit.bands.data());
    }
    state.counters["rmsBeforeDb"] = fit.rmsBeforeDb;
    state.counters["rmsAfterDb"] = fit.rmsAfterDb;
}

void BM_FitEqualiser7Bands40HzTo16kHz(benchmark::State& state) {
    fitBenchmark(state, test::Speaker::FullRange, 1, {40.0, 16000.0}, 7);
}
BENCHMARK(BM_FitEqualiser7Bands40HzTo16kHz)->Unit(benchmark::kMillisecond);

void BM_FitEqualiserSub3Bands30To400Hz(benchmark::State& state) {
    fitBenchmark(state, test::Speaker::SubWithRoomMode, kSubOutput, {30.0, 400.0}, 3);
}
BENCHMARK(BM_FitEqualiserSub3Bands30To400Hz)->Unit(benchmark::kMillisecond);

}  // namespace
