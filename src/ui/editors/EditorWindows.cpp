#include "ui/editors/EditorWindows.h"

#include "ui/editors/TDynamicform.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/TMainMenu.h"

#include <memory>

namespace kvn::ui {

void installEditorWindows(EditorApplication& app) {
    auto dynamics = std::make_unique<TDynamicform>(app.context());
    dynamics->addMenuEntries(app.mainMenu().menu(TMainMenu::Menu::View));
    app.addEditor(EditorKind::Dynamics, std::move(dynamics));
}

}  // namespace kvn::ui
