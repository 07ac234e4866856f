#include "ui/editors/EditorWindows.h"

#include "ui/editors/TDelayFinoForm.h"
#include "ui/editors/TGainsForm.h"
#include "ui/main/EditorApplication.h"

#include <memory>

namespace kvn::ui {

void installEditorWindows(EditorApplication& app) {
    app.addEditor(EditorKind::Gains, std::make_unique<TGainsForm>(app.context()));
    app.addEditor(EditorKind::Delay, std::make_unique<TDelayFinoForm>(app.context()));
}

}  // namespace kvn::ui
