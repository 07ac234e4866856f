#include "ui/editors/EditorWindows.h"

#include "ui/main/EditorApplication.h"

namespace kvn::ui {

void installEditorWindows(EditorApplication& app) {
    (void)app;
}

}  // namespace kvn::ui
