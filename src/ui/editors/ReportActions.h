// File > "Print report..." and "Save report as PDF...": the handover report of the configuration
// the editor holds, on a printer chosen in the print dialog (which also offers printing to a
// file) or as a PDF file chosen with the save dialog.
#pragma once

#include <QString>

namespace kvn::report {
struct ReportInput;
}

namespace kvn::ui {

class EditorApplication;
struct EditorContext;

// Adds both entries to the main window's File menu ("PrintReportAction", "SaveReportAction") and
// the report's first page to `make screenshots` ("report-page1.png").
void installReportActions(EditorApplication& app);

// Asks for a file with the save dialog and writes the report there. A file that cannot be written
// is told in an error box with the system's reason, and an existing file is left as it was. True
// when the report was written.
bool saveReportAsPdf(EditorContext& context);

// Shows the print dialog and prints the report on the chosen printer. True when printed.
bool printReportOnPrinter(EditorContext& context);

}  // namespace kvn::ui
