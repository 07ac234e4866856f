// The texts of the handover report's tables: the cover facts, the outputs' levels and times, the
// crossover edges, each output's equaliser bands and the dynamics units with their speaker
// settings, formatted as the report prints them.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include "config/ProcessorConfig.h"

namespace kvn::report {

struct ReportTable {
    QString title;
    QStringList header;
    QList<QStringList> rows;  // each as long as `header`
};

// What the report says about where the configuration came from.
struct ReportSource {
    QDate date;          // the day the report is made
    QString presetFile;  // the file's name; empty for a configuration never saved
};

// Label and value pairs of the cover: system, project, engineer, date, preset file, inputs,
// temperature. Empty names read "-".
QList<QStringList> coverFacts(const ProcessorConfig& config, const ReportSource& source);

// One row per output: name, input, level, mute, polarity, delay (ms and cm at the configured
// temperature) and relative distance.
ReportTable outputsTable(const ProcessorConfig& config);

// Two rows per output: the high-pass edge (low end of its band), then the low-pass edge.
ReportTable crossoverTable(const ProcessorConfig& config);

// Every band of output `output` (1..3; SUB has three). A bypassed band shows only its type; the
// gain and Q columns show "-" for the types that do not use them.
ReportTable equaliserTable(const ProcessorConfig& config, int output);

// One row per setting, one column per dynamics unit (OUT 1-2, SUB): type, threshold, ratio, knee,
// make-up gain, timing, noise gate, speaker and amplifier, and the power check's result.
ReportTable dynamicsTable(const ProcessorConfig& config);

// The names the report gives the outputs and inputs: "Output 1 (Top L)", "A (Mix L)".
QString outputLabel(const ProcessorConfig& config, int output);
QString inputLabel(const ProcessorConfig& config, int input);
// A level as the tables print it: one decimal, a sign on a boost ("+6.0 dB", "0.0 dB").
QString levelText(double valueDb);
// "A", "A+B" or "B" for a route code.
QString routeText(int route);

}  // namespace kvn::report
