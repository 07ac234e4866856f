// The editor windows of the configuration's blocks, created and registered with the main window.
#pragma once

namespace kvn::ui {

class EditorApplication;

// Creates every editor window of this library from the application's context and registers it
// under its kind (the main window's buttons then open it).
void installEditorWindows(EditorApplication& app);

}  // namespace kvn::ui
