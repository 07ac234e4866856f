// The response analysis windows (measurement import, total response), created and registered
// with the main window.
#pragma once

namespace kvn::ui {

class EditorApplication;

// Creates the analysis windows from the application's context and registers them.
void installAnalysisWindows(EditorApplication& app);

}  // namespace kvn::ui
