// kvn350-editor: the desktop editor and remote control of the KVN 350.
#include "ui/analysis/AnalysisWindows.h"
#include "ui/editors/EditorWindows.h"
#include "ui/main/EditorMain.h"

int main(int argc, char** argv) {
    return kvn::ui::runEditor(argc, argv, [](kvn::ui::EditorApplication& app) {
        kvn::ui::installAnalysisWindows(app);
        kvn::ui::installEditorWindows(app);
    });
}
