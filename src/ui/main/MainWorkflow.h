// The commands of the main window, without the window: New, Open and Save of preset files, the
// names, the route buttons, the mute marks, the memory selector with its code box, the hidden
// copy-to-all service, and closing the program. Device commands (Read, Write, Change, real time,
// keyboard, password, DSP update) are in DeviceWorkflow, which uses this class for New and for
// the memory selector. Windows call these and follow the signals; all questions go through
// UserDialogs.
#pragma once

#include "link/MemoryRange.h"

#include "ui/main/ConfigEdits.h"
#include "ui/main/UserDialogs.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace kvn {
struct ProcessorConfig;
}

namespace kvn::ui {

class EditorRegistry;
class LoadingProgress;

class MainWorkflow : public QObject {
    Q_OBJECT

public:
    // The memory selector's range comes from the link's rule for the access code.
    static constexpr int kUserMemoryMin = link::MemoryRange::user().minimum;
    static constexpr int kMemoryMax = link::MemoryRange::user().maximum;
    // Clicks on the "PROGRAM" label that reveal the copy-to-all service.
    static constexpr int kServiceClicks = 20;

    // Every reference must outlive the workflow.
    MainWorkflow(ProcessorConfig& config, UserDialogs& dialogs, EditorRegistry& editors,
                 LoadingProgress& loading, QObject* parent = nullptr);

    ProcessorConfig& config() { return config_; }
    // The one change path of the configuration (names and routes go through it too).
    ConfigEdits& edits() { return edits_; }
    UserDialogs& dialogs() { return dialogs_; }
    EditorRegistry& editors() { return editors_; }
    LoadingProgress& loading() { return loading_; }

    // --- Preset files ---
    // New: when the configuration has changes not saved, asks whether to save first (Yes saves,
    // Cancel stops); then returns the configuration to its defaults through the loading stages,
    // and the caption names no file. False when it stopped (newCancelled()).
    bool newConfiguration();
    // New's question alone: true when the configuration may be replaced (nothing unsaved, the
    // user saved it, or answered No), false on Cancel or when the save did not happen.
    bool offerToSave();
    // New's stages without the question, for a caller that asked with offerToSave().
    bool newWithoutQuestion();
    bool newCancelled() const { return newCancelled_; }
    // Open: New (with its question when there are changes not saved), then the open dialog.
    // Cancel on the question stops Open too. True when a file was loaded.
    bool openPreset();
    // Save: the save dialog, then the file. True when the file was written.
    bool savePreset();
    // A file of the recent-files list: New with its question, then `path` as Open would load
    // it. True when it was loaded.
    bool openRecent(const QString& path);
    // Save without a dialog: the configuration goes back to the file it was opened from or last
    // saved to; when it did not come from a file (start-up, New, Read), Save's dialog asks.
    bool saveToCurrentFile();
    // Opens `path` without asking anything (after New): used by Open and by tests.
    bool loadPresetFile(const QString& path);
    // Writes `path` and takes its name into the caption.
    bool writePresetFile(const QString& path);
    // The folder-free name in the caption ("KVN 350" before any file).
    QString caption() const { return caption_; }
    // The preset last chosen in the open dialog (empty before any, or when it failed to load):
    // measurement files that moved are looked for in its folder.
    QString openDialogFileName() const { return openDialogFileName_; }
    // The caption as the window shows it: followed by " *" while there are changes not saved.
    QString windowCaption() const;
    // The preset file the configuration was opened from or last saved to; empty after New and
    // after a memory was read.
    QString currentFile() const { return currentFile_; }

    // The configuration was replaced: every window shows it again, the undo history starts
    // again and the configuration counts as unmodified.
    void configurationReplaced();

    // --- Memory images ---
    // The image of the present configuration, as a memory write sends it.
    std::vector<std::uint8_t> buildImage() const;
    // Decodes an image read from the processor into the configuration ("Loading..." shown while
    // it runs) and shows it. False, after telling the user why, when the image was refused; the
    // configuration is then unchanged.
    bool loadImage(const std::vector<std::uint8_t>& image);

    // --- Names (the main window's fields and System Info) ---
    // Limits: preset name 40 characters, channel names 6.
    void setSystemName(const QString& name);
    void setInputName(int input, const QString& name);    // input 1 (A) or 2 (B)
    void setOutputName(int output, const QString& name);  // output 1..3

    // --- Routes and levels ---
    // A route button's click for output 1..3: 0 -> 1 -> 2 -> 0, gains follow; an edit on the
    // change path (in real time the two gains go to bank 1; the views redraw).
    void advanceRoute(int output);
    // Shows the mute marks and the name fields' enabled state as the configuration holds them.
    void ActualizaMainMute();

    // --- Memory selector ---
    int memory() const { return memory_; }
    int memoryMinimum() const { return memoryMinimum_; }
    // Holds `memory` to the selector's range.
    void setMemory(int memory);
    // The code box's Enter: "7939" opens memories 1..60 and says so; anything else closes them
    // again and raises a lower selection to 21.
    void applyAccessCode(const QString& code);

    // --- The copy-to-all service ---
    void programLabelClicked();
    // The main window was activated: the click counter starts again.
    void mainWindowActivated();
    bool serviceVisible() const { return serviceVisible_; }

    // --- Real time ---
    bool realTimeMode() const { return realTimeMode_; }
    void setRealTimeMode(bool on);
    // An editor window's real-time button was pressed: the same as the main window's switch.
    void requestRealTimeToggle() { emit realTimeToggleRequested(); }

    // --- Closing ---
    // The program is asked to end: "KVN 350 is closing..." with Yes (save, then close), No
    // (close) and Cancel (stay). True when the program may end.
    bool confirmClose();

signals:
    // The window caption (windowCaption()) changed: another file, or the modified mark.
    void captionChanged(const QString& caption);
    // `path` was opened or saved (for the recent-files list).
    void presetFileUsed(const QString& path);
    void systemNameChanged(const QString& name);
    // Every name, route, mute mark and the editors must be shown again from the configuration.
    void configurationReloaded();
    void routeChanged(int output, int route);
    void muteMarksChanged();
    void memoryChanged(int memory);
    void memoryRangeChanged(int minimum, int maximum);
    void serviceVisibleChanged(bool visible);
    void realTimeModeChanged(bool on);
    void realTimeToggleRequested();

private:
    bool runNewStages();
    bool openChosenFile(const QString& path);
    void setCaption(const QString& caption);
    void captionFromFile(const QString& path);
    void showChange(const ConfigChange& change);

    ProcessorConfig& config_;
    ConfigEdits edits_;
    UserDialogs& dialogs_;
    EditorRegistry& editors_;
    LoadingProgress& loading_;
    QString caption_;
    QString openDialogFileName_;
    QString currentFile_;
    bool newCancelled_ = false;
    bool realTimeMode_ = false;
    int memory_ = kUserMemoryMin;
    int memoryMinimum_ = kUserMemoryMin;
    int programClicks_ = 0;
    bool serviceVisible_ = false;
};

}  // namespace kvn::ui
