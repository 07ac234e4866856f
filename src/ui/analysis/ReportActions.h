// File > "Print report..." and "Save report as PDF...": the handover report of the configuration
// the editor holds, on a printer chosen in the print dialog (which also offers printing to a
// file) or as a PDF file chosen with the save dialog.
#pragma once

namespace kvn::ui {

class EditorApplication;
class MeasurementImportService;
struct EditorContext;

// Adds both entries to the main window's File menu ("PrintReportAction", "SaveReportAction") and
// the report's first page to `make screenshots` ("report-page1.png"). The total response of the
// report includes the loudspeaker curves `measurements` holds (those the total response window
// shows); it must outlive the entries.
void installReportActions(EditorApplication& app, const MeasurementImportService& measurements);

// Asks for a file with the save dialog and writes the report there. A file that cannot be written
// is told in an error box with the system's reason, and an existing file is left as it was. True
// when the report was written.
bool saveReportAsPdf(EditorContext& context, const MeasurementImportService& measurements);

// Shows the print dialog and prints the report on the chosen printer. True when printed.
bool printReportOnPrinter(EditorContext& context, const MeasurementImportService& measurements);

}  // namespace kvn::ui
