// The main window's menu entries: File (New, Open, Recent Files, Save, Save As, Rig..., Exit), Edit
// (Undo, Redo, Copy Outputs), View (Total Freq Response, System Info) and Help (the help page,
// About), with the usual shortcuts. Each menu is built by its own function. Other parts of the
// program add their entries to the same menus through TMainMenu::menu(); they come after these and
// before the closing entries (Exit, About) that finishMenus() adds once everything is installed.
//
// The file, undo and help shortcuts also work in every editor window, so that Ctrl+Z undoes where
// the user is editing.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QSettings;

namespace kvn::ui {

class MainWorkflow;
class RecentFiles;
class TAboutForm;
class THelpForm;
class TMainMenu;

class MainMenuActions : public QObject {
    Q_OBJECT

public:
    // `window` and `workflow` must outlive the entries; `settings` (not owned, may be null) keeps
    // the recent files.
    MainMenuActions(TMainMenu& window, MainWorkflow& workflow, QSettings* settings);
    ~MainMenuActions() override;

    void finishMenus();

    RecentFiles& recentFiles() { return *recent_; }
    THelpForm& helpForm() { return *help_; }
    TAboutForm& aboutForm() { return *about_; }

signals:
    // File > Rig...: the rig window is wanted.
    void rigRequested();

private:
    void buildFileMenu();
    void buildEditMenu();
    void buildViewMenu();
    void buildHelpMenu();
    QAction* addEntry(QMenu* menu, const char* name, const QString& text,
                      const QList<QKeySequence>& shortcuts = {});
    void showRecentFiles();
    void openRecent(const QString& path);
    void showHistory();
    void showAvailableWindows();

    TMainMenu& window_;
    MainWorkflow& workflow_;
    RecentFiles* recent_;
    THelpForm* help_;
    TAboutForm* about_;
    QMenu* recentMenu_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* copyOutputs_ = nullptr;
    QAction* totalResponse_ = nullptr;
    // The entries whose shortcuts the editor windows share.
    QList<QAction*> shared_;
};

}  // namespace kvn::ui
