// The handover report as a document: four A4 portrait pages (the cover with the facts, comments,
// routing, outputs and crossover edges; the equaliser tables; the equaliser, crossover and total
// response graphs; the dynamics units with their curves and the hand-over signatures), drawn to a
// PDF file, a printer or a picture of one page.
#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <string>
#include <vector>

#include "analysis/TotalResponse.h"
#include "config/ProcessorConfig.h"
#include "report/ReportTables.h"

class QPagedPaintDevice;

namespace kvn::report {

inline constexpr int kReportPages = 4;

struct ReportInput {
    const ProcessorConfig& config;
    ReportSource source;
    // The outputs' measured loudspeakers for the total response (zeros: none) and which outputs
    // have one, so that the graph says what it includes.
    analysis::MeasuredCurves measured{};
    std::array<bool, kOutputCount> hasMeasurement{};
};

// Reads the loudspeaker files the configuration names, as the total response view does (a stored
// path that cannot be read is looked for in `presetFolder`). Files that are refused leave their
// output without a loudspeaker; their messages are added to `messages`.
void attachMeasurements(ReportInput& input, const std::string& presetFolder,
                        std::vector<std::string>& messages);

// Draws the pages onto `device` (A4 portrait is set on it; a printer should be in full-page
// mode). False with the reason when the device cannot be painted on.
bool printReport(const ReportInput& input, QPagedPaintDevice& device, QString& error);

// The report as a PDF file at `path`, written whole or not at all (an existing file is replaced
// only on success). False with the system's reason when it cannot be written.
bool writeReportPdf(const ReportInput& input, const QString& path, QString& error);

// Page `page` (1..kReportPages) drawn at `dpi` on white; a null image for a page that does not
// exist.
QImage reportPageImage(const ReportInput& input, int page, int dpi);

}  // namespace kvn::report
