#include "ui/analysis/AnalysisWindows.h"

#include "ui/analysis/MeasurementImportService.h"
#include "ui/analysis/ReportActions.h"
#include "ui/analysis/TAlignForm.h"
#include "ui/analysis/TFinalResponseForm.h"
#include "ui/analysis/TImpDataForm.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/MainWorkflow.h"

#include <QFileInfo>

#include <memory>

namespace kvn::ui {

void installAnalysisWindows(EditorApplication& app) {
    EditorContext& context = app.context();
    MainWorkflow& workflow = context.workflow;
    // Owned by the main window, which outlives the editor windows.
    auto* service = new MeasurementImportService(
        context.edits, context.dialogs,
        [&workflow] {
            const QString preset = workflow.openDialogFileName();
            return preset.isEmpty() ? QString() : QFileInfo(preset).absolutePath();
        },
        context.mainWindow);
    app.addEditor(EditorKind::TotalResponse,
                  std::make_unique<TFinalResponseForm>(context, *service));
    app.addEditor(EditorKind::Import, std::make_unique<TImpDataForm>(context, *service));
    app.addEditor(EditorKind::Align, std::make_unique<TAlignForm>(context, *service));
    installReportActions(app, *service);
}

}  // namespace kvn::ui
