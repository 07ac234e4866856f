// The editor program's entry: the command line, the display check, the application object, the
// windows, then the event loop (or the screenshot run).
#pragma once

#include <functional>

namespace kvn::ui {

class EditorApplication;

// Called once every window of this library exists and before the program starts: the place
// where the editor windows of other libraries are added.
using EditorInstaller = std::function<void(EditorApplication&)>;

// Without a screen the offscreen platform reports every window feature it lacks ("This plugin
// does not support raise()"); those lines say nothing about the program. Filters them out of the
// log for the rest of the run.
void quietOffscreenMessages();

// Returns the program's exit code.
int runEditor(int argc, char** argv, const EditorInstaller& installEditors = {});

}  // namespace kvn::ui
