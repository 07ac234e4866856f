#include "ui/editors/EditorWindows.h"

#include "ui/editors/TAutoEqForm.h"
#include "ui/editors/TCopyOutputForm.h"
#include "ui/editors/TDelayFinoForm.h"
#include "ui/editors/TDynamicform.h"
#include "ui/editors/TGainsForm.h"
#include "ui/editors/TLoudnessForm.h"
#include "ui/editors/TPEQForm.h"
#include "ui/editors/TShowCoeffForm.h"
#include "ui/editors/TXOVERForm.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/TMainMenu.h"

#include <QMenu>

#include <memory>

namespace kvn::ui {

void installEditorWindows(EditorApplication& app) {
    auto equalizer = std::make_unique<TPEQForm>(app.context());
    auto coefficients = std::make_unique<TShowCoeffForm>(app.context());
    coefficients->showBand(equalizer->editedOutput(), equalizer->selectedBand());
    QObject::connect(equalizer.get(), &TPEQForm::bandShown, coefficients.get(),
                     &TShowCoeffForm::showBand);
    app.addEditor(EditorKind::Equalizer, std::move(equalizer));
    app.addEditor(EditorKind::Coefficients, std::move(coefficients));
    auto dynamics = std::make_unique<TDynamicform>(app.context());
    dynamics->addMenuEntries(app.mainMenu().menu(TMainMenu::Menu::View));
    app.addEditor(EditorKind::Dynamics, std::move(dynamics));
    app.addEditor(EditorKind::Crossover, std::make_unique<TXOVERForm>(app.context()));
    app.addEditor(EditorKind::Loudness, std::make_unique<TLoudnessForm>(app.context()));
    // The SUB reinforcement has no button of its own on the signal flow: the View menu opens it
    // (and the crossover window's "SUB Reinforcement..." button).
    QAction* loudness = app.mainMenu()
                            .menu(TMainMenu::Menu::View)
                            ->addAction(QStringLiteral("SUB &Reinforcement..."));
    loudness->setObjectName(QStringLiteral("LoudnessAction"));
    QObject::connect(loudness, &QAction::triggered, &app.editors(),
                     [&app] { app.editors().open(EditorKind::Loudness, 0); });
    app.addEditor(EditorKind::Gains, std::make_unique<TGainsForm>(app.context()));
    app.addEditor(EditorKind::Delay, std::make_unique<TDelayFinoForm>(app.context()));
    app.addEditor(EditorKind::Copy, std::make_unique<TCopyOutputForm>(app.context()));
    app.addEditor(EditorKind::AutoEq, std::make_unique<TAutoEqForm>(app.context()));
}

}  // namespace kvn::ui
