// Cost of redrawing the response graph during a drag: four series of 401 points replaced, then
// one replot, on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <array>
#include <cmath>

#include "widgets/ResponseGraph.h"

namespace {

constexpr int kPoints = 401;
constexpr int kSeries = 4;

struct Curves {
    std::array<double, kPoints> hz{};
    std::array<std::array<double, kPoints>, kSeries> db{};
};

Curves curves(double shift) {
    Curves c;
    for (int k = 0; k < kPoints; ++k) {
        c.hz[k] = 20.0 * std::pow(23999.0 / 20.0, k / 400.0);
        for (int s = 0; s < kSeries; ++s) {
            c.db[s][k] = 10.0 * std::sin(k / 40.0 + s + shift);
        }
    }
    return c;
}

kvn::widgets::ResponseGraph& graph() {
    static kvn::widgets::ResponseGraph g;
    static const bool shown = [] {
        g.resize(800, 500);
        g.show();
        g.replotNow();
        return true;
    }();
    (void)shown;
    return g;
}

// One frame of a drag: replace the four series and draw once. Point by point is how the editors
// fill their curves; arrays are the alternative.
void replaceAndReplot(benchmark::State& state, bool pointByPoint) {
    auto& g = graph();
    const Curves c[2] = {curves(0.0), curves(0.5)};
    int frame = 0;
    for (auto _ : state) {
        const Curves& now = c[frame++ & 1];
        for (int s = 0; s < kSeries; ++s) {
            if (!pointByPoint) {
                g.setSeriesData(s + 1, now.hz, now.db[s]);
                continue;
            }
            for (int k = 0; k < kPoints; ++k) {
                g.setSeriesPoint(s + 1, k, now.hz[k], now.db[s][k]);
            }
        }
        g.replotNow();
    }
}

void BM_ReplaceSeriesPointByPointAndReplot(benchmark::State& state) {
    replaceAndReplot(state, true);
}
BENCHMARK(BM_ReplaceSeriesPointByPointAndReplot)->Unit(benchmark::kMillisecond);

void BM_ReplaceSeriesArraysAndReplot(benchmark::State& state) {
    replaceAndReplot(state, false);
}
BENCHMARK(BM_ReplaceSeriesArraysAndReplot)->Unit(benchmark::kMillisecond);

// The replacement alone, without drawing.
void BM_ReplaceSeriesPointByPointOnly(benchmark::State& state) {
    auto& g = graph();
    const Curves c = curves(0.0);
    for (auto _ : state) {
        for (int s = 0; s < kSeries; ++s) {
            for (int k = 0; k < kPoints; ++k) {
                g.setSeriesPoint(s + 1, k, c.hz[k], c.db[s][k]);
            }
        }
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ReplaceSeriesPointByPointOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
