// The common frame of the editor windows: a window of its own above the main window, hidden
// (never destroyed) when closed, placed where it was in the last run, a real-time button
// "RealTimeB" that works the main window's switch and shows its state, and the refresh of the
// controls when the configuration changes elsewhere (another window, undo, redo, New, Open, Read).
// Every edit goes through edit(), which names this window as the change's origin so that it is not
// told back its own edits.
#pragma once

#include "ui/main/ConfigEdits.h"
#include "ui/main/EditorContext.h"
#include "ui/main/EditorWindow.h"
#include "ui/main/WindowPlacement.h"

#include <QWidget>

#include <functional>
#include <optional>

class QToolButton;

namespace kvn::widgets {
class CommitSlider;
}

namespace kvn::ui {

class EditorForm : public QWidget, public EditorWindow {
    Q_OBJECT

public:
    // `context` must outlive the window; the window is a child of context.mainWindow.
    EditorForm(EditorContext& context, const QString& objectName, const QString& caption);
    // Remembers the window's place when it is destroyed while shown (the program ends), and
    // disconnects the window's controls from its handlers before the widget closes: a visible
    // window loses its focus as it is destroyed, and a field that commits on leaving would
    // otherwise call a handler of the subclass already destroyed.
    ~EditorForm() override;

    void closeEditor() override;
    // Shows the configuration again (after New, Open, Read).
    void reloadFromConfig() override;
    void showRealTime(bool on) override;

    const ProcessorConfig& config() const { return context_.config; }
    EditorContext& context() { return context_; }

protected:
    // Shows what `change` touched (everything when it is whole) from the configuration. Called
    // for changes made by other windows or by the history, never for this window's own edits.
    // Must not edit: set controls with their signals blocked.
    virtual void refresh(const ConfigChange& change) = 0;
    // The main window's output names, shown again on activation and after whole changes.
    virtual void showOutputNames() {}
    // False (the default): while the window is hidden, changes made elsewhere are not shown at
    // once; when it is next shown it is told them as one change that touches everything they
    // touched (whole when one of them was). A window whose state must follow every change even
    // while hidden returns true.
    virtual bool refreshesWhileHidden() const { return false; }

    // The one way this window changes the configuration (ConfigEdits::apply with this window as
    // the origin).
    void edit(ConfigEdits::Edit edit, const std::function<void(ProcessorConfig&)>& change);
    // A slider or graph drag: the edits between these are one undo step.
    void beginGesture();
    void endGesture();
    // Makes every drag of `slider` one undo step.
    void bindGesture(widgets::CommitSlider* slider);

    // The window's real-time button, for the subclass to place in its layout.
    QToolButton* realTimeButton() const { return realTimeButton_; }

    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void changed(const ConfigChange& change);
    // Refreshes for `change`, and the output names when it is whole.
    void tell(const ConfigChange& change);

    EditorContext& context_;
    QToolButton* realTimeButton_;
    // What changes made elsewhere while the window was hidden touched, told when it is shown.
    std::optional<ConfigChange> missed_;
    WindowPlacement placement_;
};

}  // namespace kvn::ui
