#include "ui/analysis/AnalysisWindows.h"

#include "ui/main/EditorApplication.h"

namespace kvn::ui {

void installAnalysisWindows(EditorApplication& app) {
    (void)app;
}

}  // namespace kvn::ui
