// bench_editors: runs every registered measure on the offscreen platform and prints one JSON
// object with their figures on stdout.
//
//   bench_editors [--only=KEY]
#include "EditorBench.h"

#include "ui/main/EditorMain.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define KVN_CALLGRIND_START() CALLGRIND_TOGGLE_COLLECT
#define KVN_CALLGRIND_STOP() CALLGRIND_TOGGLE_COLLECT
#else
#define KVN_CALLGRIND_START()
#define KVN_CALLGRIND_STOP()
#endif

namespace kvn::bench {

void startCounting() {
    KVN_CALLGRIND_START();
}

void stopCounting() {
    KVN_CALLGRIND_STOP();
}

double Timings::percentile(double p) const {
    if (ms.empty()) {
        return 0.0;
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = static_cast<std::size_t>(
        std::ceil(std::clamp(p, 0.0, 100.0) / 100.0 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

QString timingsJson(const Timings& timings, const QString& countKey) {
    // The slowest steps by their place in the run, so that an outlier can be traced to what
    // happened at that step.
    std::vector<std::size_t> order(timings.ms.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const std::size_t shown = std::min<std::size_t>(3, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(shown),
                      order.end(),
                      [&](std::size_t a, std::size_t b) { return timings.ms[a] > timings.ms[b]; });
    QStringList slowest;
    for (std::size_t i = 0; i < shown; ++i) {
        slowest << QStringLiteral("[%1, %2]").arg(order[i]).arg(timings.ms[order[i]], 0, 'f', 3);
    }
    return QStringLiteral(
               "{\"p50Ms\": %1, \"p99Ms\": %2, \"maxMs\": %3, \"%4\": %5, "
               "\"slowest\": [%6]}")
        .arg(timings.percentile(50), 0, 'f', 3)
        .arg(timings.percentile(99), 0, 'f', 3)
        .arg(timings.percentile(100), 0, 'f', 3)
        .arg(countKey)
        .arg(timings.ms.size())
        .arg(slowest.join(QStringLiteral(", ")));
}

std::vector<RegisteredMeasure>& measures() {
    static std::vector<RegisteredMeasure> all;
    return all;
}

MeasureRegistration::MeasureRegistration(const char* key, Measure measure) {
    measures().push_back({QString::fromLatin1(key), std::move(measure)});
}

}  // namespace kvn::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    kvn::ui::quietOffscreenMessages();
    // The measures must not touch the user's settings or the virtual processor's memories.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    QString only;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (argument.startsWith(QLatin1String("--only="))) {
            only = argument.mid(7);
        }
        // Other options (those `make bench` gives every benchmark) do not apply here.
    }
    QStringList parts;
    for (const kvn::bench::RegisteredMeasure& m : kvn::bench::measures()) {
        if (only.isEmpty() || only == m.key) {
            parts << QStringLiteral("\"%1\": %2").arg(m.key, m.measure());
        }
    }
    std::printf("{%s}\n", qPrintable(parts.join(QStringLiteral(", "))));
    return 0;
}
