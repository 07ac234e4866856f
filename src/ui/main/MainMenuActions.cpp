#include "ui/main/MainMenuActions.h"

#include "ui/main/ConfigEdits.h"
#include "ui/main/EditorRegistry.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/RecentFiles.h"
#include "ui/main/TAboutForm.h"
#include "ui/main/THelpForm.h"
#include "ui/main/TMainMenu.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

namespace kvn::ui {

namespace {

using Menu = TMainMenu::Menu;

QKeySequence keys(QKeyCombination combination) {
    return QKeySequence(combination);
}

}  // namespace

MainMenuActions::MainMenuActions(TMainMenu& window, MainWorkflow& workflow, QSettings* settings)
    : QObject(&window),
      window_(window),
      workflow_(workflow),
      recent_(new RecentFiles(settings, this)),
      help_(new THelpForm(&window)),
      about_(new TAboutForm(&window)) {
    buildFileMenu();
    buildEditMenu();
    buildViewMenu();
    buildHelpMenu();
    connect(recent_, &RecentFiles::changed, this, &MainMenuActions::showRecentFiles);
    connect(&workflow_, &MainWorkflow::presetFileUsed, recent_, &RecentFiles::add);
    connect(&workflow_.edits(), &ConfigEdits::historyChanged, this, &MainMenuActions::showHistory);
    connect(&workflow_.editors(), &EditorRegistry::changed, this,
            &MainMenuActions::showAvailableWindows);
    showRecentFiles();
    showHistory();
    showAvailableWindows();
}

MainMenuActions::~MainMenuActions() = default;

QAction* MainMenuActions::addEntry(QMenu* menu, const char* name, const QString& text,
                                   const QList<QKeySequence>& shortcuts) {
    // Parented to the main window so that the program's windows and tests find them by name.
    auto* action = new QAction(text, &window_);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(shortcuts);
    menu->addAction(action);
    return action;
}

void MainMenuActions::buildFileMenu() {
    QMenu* file = window_.menu(Menu::File);
    QAction* newFile = addEntry(file, "NewAction", QStringLiteral("&New"), {QKeySequence::New});
    QAction* open = addEntry(file, "OpenAction", QStringLiteral("&Open..."), {QKeySequence::Open});
    recentMenu_ = file->addMenu(QStringLiteral("Open &Recent"));
    recentMenu_->setObjectName(QStringLiteral("RecentMenu"));
    file->addSeparator();
    QAction* save = addEntry(file, "SaveAction", QStringLiteral("&Save"), {QKeySequence::Save});
    QAction* saveAs = addEntry(file, "SaveAsAction", QStringLiteral("Save &As..."),
                               {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    connect(newFile, &QAction::triggered, &workflow_, &MainWorkflow::newConfiguration);
    connect(open, &QAction::triggered, &workflow_, &MainWorkflow::openPreset);
    connect(save, &QAction::triggered, &workflow_, &MainWorkflow::saveToCurrentFile);
    connect(saveAs, &QAction::triggered, &workflow_, &MainWorkflow::savePreset);
    file->addSeparator();
    QAction* rig = addEntry(file, "RigAction", QStringLiteral("R&ig..."));
    rig->setToolTip(QStringLiteral("Status, write and backup of several processors"));
    connect(rig, &QAction::triggered, this, &MainMenuActions::rigRequested);
    shared_ << newFile << open << save << saveAs;
}

void MainMenuActions::buildEditMenu() {
    QMenu* edit = window_.menu(Menu::Edit);
    undo_ = addEntry(edit, "UndoAction", QStringLiteral("&Undo"), {QKeySequence::Undo});
    redo_ = addEntry(edit, "RedoAction", QStringLiteral("&Redo"),
                     {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), keys(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    copyOutputs_ = addEntry(edit, "CopyOutputsAction", QStringLiteral("&Copy Outputs..."));
    ConfigEdits& edits = workflow_.edits();
    connect(undo_, &QAction::triggered, &edits, &ConfigEdits::undo);
    connect(redo_, &QAction::triggered, &edits, &ConfigEdits::redo);
    connect(copyOutputs_, &QAction::triggered, this,
            [this] { workflow_.editors().open(EditorKind::Copy, 0); });
    shared_ << undo_ << redo_;
}

void MainMenuActions::buildViewMenu() {
    QMenu* view = window_.menu(Menu::View);
    totalResponse_ = addEntry(view, "TotalResponseAction", QStringLiteral("&Total Freq Response"));
    QAction* systemInfo = addEntry(view, "SystemInfoAction", QStringLiteral("&System Info..."));
    connect(totalResponse_, &QAction::triggered, this,
            [this] { workflow_.editors().open(EditorKind::TotalResponse, 0); });
    connect(systemInfo, &QAction::triggered, &window_, &TMainMenu::systemInfoRequested);
    // For service technicians: appears with the copy-to-all button after the hidden gesture.
    QAction* service = addEntry(view, "ServiceControlsAction", QStringLiteral("S&ervice Controls"));
    service->setCheckable(true);
    service->setVisible(workflow_.serviceVisible());
    connect(&workflow_, &MainWorkflow::serviceVisibleChanged, service, &QAction::setVisible);
    connect(service, &QAction::toggled, &window_, &TMainMenu::setServiceControlsShown);
}

void MainMenuActions::buildHelpMenu() {
    QAction* help = addEntry(window_.menu(Menu::Help), "HelpAction",
                             QStringLiteral("KVN 350 &Help"), {QKeySequence(Qt::Key_F1)});
    connect(help, &QAction::triggered, this, [this] {
        help_->show();
        help_->raise();
        help_->activateWindow();
    });
    shared_ << help;
}

void MainMenuActions::finishMenus() {
    QMenu* file = window_.menu(Menu::File);
    file->addSeparator();
    QAction* exit = addEntry(file, "ExitAction", QStringLiteral("E&xit"), {QKeySequence::Quit});
    // Closing the connection window asks the closing question and ends the program.
    connect(exit, &QAction::triggered, &window_, &TMainMenu::closeRequested);

    QMenu* help = window_.menu(Menu::Help);
    help->addSeparator();
    QAction* about = addEntry(help, "AboutAction", QStringLiteral("&About KVN 350 Editor..."));
    connect(about, &QAction::triggered, about_, &QDialog::open);
}

void MainMenuActions::showRecentFiles() {
    recentMenu_->clear();
    const QStringList& paths = recent_->paths();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        QAction* entry = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    recentMenu_->addSeparator();
    QAction* clear = recentMenu_->addAction(QStringLiteral("&Clear List"));
    connect(clear, &QAction::triggered, recent_, &RecentFiles::clear);
    clear->setEnabled(!paths.isEmpty());
    recentMenu_->setEnabled(!paths.isEmpty());
}

void MainMenuActions::openRecent(const QString& path) {
    // A file that is gone is taken off the list before New could throw the configuration away.
    if (!QFileInfo(path).isFile()) {
        workflow_.dialogs().warn(
            QStringLiteral("%1 cannot be found. It is taken off the list of recent files.")
                .arg(path));
        recent_->remove(path);
        return;
    }
    workflow_.openRecent(path);
}

void MainMenuActions::showHistory() {
    const ConfigEdits& edits = workflow_.edits();
    undo_->setEnabled(edits.canUndo());
    redo_->setEnabled(edits.canRedo());
    undo_->setText(edits.canUndo() ? QStringLiteral("&Undo ") + edits.undoDescription()
                                   : QStringLiteral("&Undo"));
    redo_->setText(edits.canRedo() ? QStringLiteral("&Redo ") + edits.redoDescription()
                                   : QStringLiteral("&Redo"));
}

void MainMenuActions::showAvailableWindows() {
    const EditorRegistry& editors = workflow_.editors();
    copyOutputs_->setEnabled(editors.has(EditorKind::Copy));
    totalResponse_->setEnabled(editors.has(EditorKind::TotalResponse));
    for (EditorWindow* editor : editors.all()) {
        if (auto* widget = dynamic_cast<QWidget*>(editor)) {
            widget->addActions(shared_);
        }
    }
}

}  // namespace kvn::ui
