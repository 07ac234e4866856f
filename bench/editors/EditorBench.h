// The editors' benchmark program (bench_editors): each measure drives real windows offscreen and
// reports its figures as one JSON value under its own key; the program prints one JSON object
// holding every measure's value. Measures register themselves from their own source files.
#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace kvn::bench {

// Milliseconds of repeated runs of one step.
struct Timings {
    std::vector<double> ms;

    void add(double milliseconds) { ms.push_back(milliseconds); }
    // The nearest-rank percentile (0..100); 0 when empty.
    double percentile(double p) const;
};

// `{"p50Ms": .., "p99Ms": .., "maxMs": .., "<countKey>": n}`
QString timingsJson(const Timings& timings, const QString& countKey = QStringLiteral("runs"));

// Under `valgrind --tool=callgrind --collect-atstart=no`, only what runs between these (in
// pairs, never nested) is
// counted (the timed steps of a measure), so that the instructions of a step can be traced apart
// from the set-up; without valgrind they do nothing.
void startCounting();
void stopCounting();

// A measure returns the JSON text of its value (an object, usually from timingsJson).
using Measure = std::function<QString()>;

// Adds a measure, printed under `key` in the order of registration within a file.
struct MeasureRegistration {
    MeasureRegistration(const char* key, Measure measure);
};

struct RegisteredMeasure {
    QString key;
    Measure measure;
};
std::vector<RegisteredMeasure>& measures();

}  // namespace kvn::bench
