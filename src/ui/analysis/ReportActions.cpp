// The editor's entries for the handover report.
#include "ui/analysis/ReportActions.h"

#include "report/ReportDocument.h"
#include "ui/analysis/MeasurementImportService.h"
#include "ui/main/ConfigEdits.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorContext.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/UserDialogs.h"

#include <QAction>
#include <QDate>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>

namespace kvn::ui {
namespace {

constexpr int kScreenshotDpi = 110;

// The report of what the editor holds now, with the loudspeaker curves the total response shows.
report::ReportInput reportOf(EditorContext& context, const MeasurementImportService& measurements) {
    const QString file = context.workflow.currentFile();
    report::ReportInput input{context.config, {QDate::currentDate(), QFileInfo(file).fileName()}};
    input.measured = measurements.curves();
    for (std::size_t o = 0; o < input.hasMeasurement.size(); ++o) {
        input.hasMeasurement[o] = measurements.formats()[o] != analysis::kFormatAuto;
    }
    return input;
}

QString suggestedName(const EditorContext& context) {
    const QString file = context.workflow.currentFile();
    const QString base = file.isEmpty()
                             ? QString::fromStdString(context.config.SystemName).trimmed()
                             : QFileInfo(file).completeBaseName();
    return (base.isEmpty() ? QStringLiteral("KVN 350") : base) + QStringLiteral(" report.pdf");
}

}  // namespace

bool saveReportAsPdf(EditorContext& context, const MeasurementImportService& measurements) {
    const auto path = context.dialogs.saveFile(
        {QStringLiteral("Save report as PDF"),
         QStringLiteral("PDF Files *.pdf|*.pdf|All Files *.*|*.*"), suggestedName(context)});
    if (!path) {
        return false;
    }
    QString reason;
    if (report::writeReportPdf(reportOf(context, measurements), *path, reason)) {
        return true;
    }
    context.dialogs.error(QStringLiteral("Cannot write %1: %2").arg(*path, reason));
    return false;
}

bool printReportOnPrinter(EditorContext& context, const MeasurementImportService& measurements) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(QStringLiteral("KVN 350 handover report"));
    QPrintDialog dialog(&printer, context.mainWindow);
    dialog.setWindowTitle(QStringLiteral("Print report"));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    QString reason;
    if (report::printReport(reportOf(context, measurements), printer, reason)) {
        return true;
    }
    context.dialogs.error(QStringLiteral("The report could not be printed: %1").arg(reason));
    return false;
}

void installReportActions(EditorApplication& app, const MeasurementImportService& measurements) {
    QMenu* file = app.mainMenu().menu(TMainMenu::Menu::File);
    EditorContext& context = app.context();
    QAction* print = new QAction(QStringLiteral("&Print report..."), file);
    print->setObjectName(QStringLiteral("PrintReportAction"));
    print->setShortcut(QKeySequence::Print);
    QObject::connect(print, &QAction::triggered, file,
                     [&context, &measurements] { printReportOnPrinter(context, measurements); });
    QAction* save = new QAction(QStringLiteral("Save report as P&DF..."), file);
    save->setObjectName(QStringLiteral("SaveReportAction"));
    QObject::connect(save, &QAction::triggered, file,
                     [&context, &measurements] { saveReportAsPdf(context, measurements); });
    file->addSeparator();
    file->addAction(print);
    file->addAction(save);

    // Drawn last, over the sample system the total response's picture loaded: the names and notes
    // an installer fills in before the handover.
    app.addScreenshot(
        {QStringLiteral("report-page1.png"), [&context, &measurements] {
             context.edits.apply({QStringLiteral("Report example"), {link::EditScope::quiet()}},
                                 [](ProcessorConfig& c) {
                                     c.SystemName = "Main Hall - Stage PA";
                                     c.InputName = {"Mix L", "Mix R"};
                                     c.output(3).Name = "Sub";
                                     c.ProjectName = "Spring Tour";
                                     c.Engineer = "A. Sound";
                                     c.Temperature = 22;
                                     c.Comments =
                                         "Tops crossed to the subs at 100 Hz. Right "
                                         "top 1.5 dB down: it stands nearer the "
                                         "audience. Keep the panel locked.";
                                 });
             return report::reportPageImage(reportOf(context, measurements), 1, kScreenshotDpi);
         }});
}

}  // namespace kvn::ui
