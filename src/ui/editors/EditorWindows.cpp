#include "ui/editors/EditorWindows.h"

#include "ui/editors/TCopyOutputForm.h"
#include "ui/main/EditorApplication.h"

#include <memory>

namespace kvn::ui {

void installEditorWindows(EditorApplication& app) {
    app.addEditor(EditorKind::Copy, std::make_unique<TCopyOutputForm>(app.context()));
}

}  // namespace kvn::ui
