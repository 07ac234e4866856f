// The editor's entries for the handover report.
#include "ui/editors/ReportActions.h"

#include "report/ReportDocument.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorContext.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/TMainMenu.h"
#include "ui/main/UserDialogs.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>

#include <string>
#include <vector>

namespace kvn::ui {
namespace {

constexpr int kScreenshotDpi = 110;

// The report of what the editor holds now, with the loudspeakers the configuration names (read as
// the total response reads them: a stored path that cannot be read is looked for next to the
// preset).
report::ReportInput reportOf(EditorContext& context) {
    const QString file = context.workflow.currentFile();
    report::ReportInput input{context.config, {QDate::currentDate(), QFileInfo(file).fileName()}};
    std::vector<std::string> messages;
    const QString folder = file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
    report::attachMeasurements(input, QDir::toNativeSeparators(folder).toStdString(), messages);
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

bool saveReportAsPdf(EditorContext& context) {
    const auto path = context.dialogs.saveFile(
        {QStringLiteral("Save report as PDF"),
         QStringLiteral("PDF Files *.pdf|*.pdf|All Files *.*|*.*"), suggestedName(context)});
    if (!path) {
        return false;
    }
    QString reason;
    if (report::writeReportPdf(reportOf(context), *path, reason)) {
        return true;
    }
    context.dialogs.error(QStringLiteral("Cannot write %1: %2").arg(*path, reason));
    return false;
}

bool printReportOnPrinter(EditorContext& context) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(QStringLiteral("KVN 350 handover report"));
    QPrintDialog dialog(&printer, context.mainWindow);
    dialog.setWindowTitle(QStringLiteral("Print report"));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    QString reason;
    if (report::printReport(reportOf(context), printer, reason)) {
        return true;
    }
    context.dialogs.error(QStringLiteral("The report could not be printed: %1").arg(reason));
    return false;
}

void installReportActions(EditorApplication& app) {
    QMenu* file = app.mainMenu().menu(TMainMenu::Menu::File);
    EditorContext& context = app.context();
    QAction* print = new QAction(QStringLiteral("&Print report..."), file);
    print->setObjectName(QStringLiteral("PrintReportAction"));
    print->setShortcut(QKeySequence::Print);
    QObject::connect(print, &QAction::triggered, file,
                     [&context] { printReportOnPrinter(context); });
    QAction* save = new QAction(QStringLiteral("Save report as P&DF..."), file);
    save->setObjectName(QStringLiteral("SaveReportAction"));
    QObject::connect(save, &QAction::triggered, file, [&context] { saveReportAsPdf(context); });
    file->addSeparator();
    file->addAction(print);
    file->addAction(save);

    app.addScreenshot({QStringLiteral("report-page1.png"), [&context] {
                           return report::reportPageImage(reportOf(context), 1, kScreenshotDpi);
                       }});
}

}  // namespace kvn::ui
