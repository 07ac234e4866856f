// The main window "KVN 350": the processor drawn as a signal flow (inputs A and B, a route button
// per output, the three outputs with their editor buttons), the file commands, the device
// commands with the memory selector, the preset name, the real-time switch and the status line.
// Every handler hands over to MainWorkflow or, for device commands, emits a request that the
// application passes to the device workflow.
#pragma once

#include "ui/main/Artwork.h"
#include "ui/main/WindowPlacement.h"

#include <QMainWindow>

#include <array>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSettings;
class QSpinBox;
class QToolButton;

namespace kvn::ui {

class ClickLabel;
class EditorRegistry;
class MainWorkflow;
class SignalFlowPanel;

class TMainMenu : public QMainWindow {
    Q_OBJECT

public:
    // `workflow` and `editors` must outlive the window.
    TMainMenu(MainWorkflow& workflow, EditorRegistry& editors, QWidget* parent = nullptr);
    // Remembers the window's place when the program ends with the window shown.
    ~TMainMenu() override;

    // Where the window's place is kept between runs; null (the default) keeps none. Not owned.
    void rememberPlacement(QSettings* settings) { placement_.setSettings(settings); }

    // The menu bar's menus, where the program's commands beyond the window's buttons go; other
    // parts of the program add their actions to them.
    enum class Menu { File, Edit, View, Help };
    QMenu* menu(Menu which) const;

public slots:
    // Read, Write, Change, keyboard, password, memory selector and DSP update follow together.
    void setTransferControlsEnabled(bool enabled);
    void setStatusText(const QString& text);
    // Mute marks and name fields as the configuration holds them.
    void ActualizaMainMute();
    // Shows or hides the service controls that are otherwise hidden: the coefficient view's
    // button and the bank selector of real-time messages.
    void setServiceControlsShown(bool shown);

signals:
    void connectRequested();
    void readRequested();
    void writeRequested();
    void changeRequested();
    void realTimeRequested();
    void keyboardLockRequested(bool lock);
    void passwordRequested();
    void firmwareRequested();
    void copyToAllRequested();
    void systemInfoRequested();
    void codeBoxRequested();
    // The hidden bank selector "SpinEdit1" chose the bank real-time messages address (1..2).
    void dspSelectRequested(int bank);
    // The window was asked to close: the application decides (closing the connection window
    // ends the program).
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildCommands();
    QWidget* buildSignalFlow();
    QWidget* buildFooter();
    void addHiddenControls(QWidget* footer, QHBoxLayout* row);
    QToolButton* commandButton(const QString& name, const QString& text, art::Glyph glyph);
    QWidget* inputBlock(int input);
    QWidget* outputBlock(int output);
    QWidget* editorRow(int output);
    void reloadNames();
    void showRoute(int output, int route);
    void updateEditorButtons();

    MainWorkflow& workflow_;
    EditorRegistry& editors_;
    SignalFlowPanel* flow_ = nullptr;
    QLineEdit* systemName_ = nullptr;
    std::array<QLineEdit*, 2> inputEdits_{};
    std::array<QLineEdit*, 3> outputEdits_{};
    std::array<QToolButton*, 3> routeButtons_{};
    std::array<QLabel*, 3> muteLabels_{};
    std::array<QLabel*, 3> muteCrosses_{};
    std::array<std::array<QPushButton*, 5>, 3> editorButtons_{};
    QPushButton* copyButton_ = nullptr;
    QPushButton* totalResponseButton_ = nullptr;
    QSpinBox* programSpin_ = nullptr;
    QToolButton* realTimeButton_ = nullptr;
    QPushButton* copyAllButton_ = nullptr;
    QPushButton* showCoeffButton_ = nullptr;
    QSpinBox* bankSpin_ = nullptr;
    QLabel* infoLabel_ = nullptr;
    std::array<QWidget*, 8> transferControls_{};
    std::array<QMenu*, 4> menus_{};
    WindowPlacement placement_;
};

}  // namespace kvn::ui
