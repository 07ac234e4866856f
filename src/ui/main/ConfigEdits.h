// The one path of every change to the configuration. An editor describes its edit (what it is
// called, which parts of the processor it touches, which window made it) and hands over the
// change; the path then
//   1. runs the change on the one ProcessorConfig,
//   2. in real-time mode queues the processor messages of the touched parts on the device
//      session (latest value wins while the line is busy: a drag never waits for it),
//   3. tells every view through changed() (the total response, the main window's marks, the
//      other editors), and
//   4. marks the configuration modified and records an undo step holding the state before and
//      after, so that undo and redo can restore either exactly.
// Windows never call each other to redraw: they listen to changed(). A window refreshes its
// controls from the configuration when a change it did not make touches what it shows, and it
// never calls apply() while doing so.
#pragma once

#include "config/ProcessorConfig.h"
#include "link/RealTimePlan.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace kvn::link {
class DeviceSession;
}

namespace kvn::ui {

// "Output 1", "Output 2", "SUB": how edit descriptions name output 1..3.
QString outputTitle(int output);

// What changed, as the views are told.
struct ConfigChange {
    // "Output 1 band 3 gain"; for undo and redo "Undo Output 1 band 3 gain".
    QString description;
    // The parts touched; a Quiet scope for changes the processor is not sent in real time.
    std::vector<link::EditScope> scopes;
    // Anything may have changed (New, Open, Read, undo, redo, an output copy): every view shows
    // the whole configuration again.
    bool whole = false;
    // The window that made the edit and already shows it (null: none).
    const void* origin = nullptr;

    // True when the change is whole or names `part` (for `index`, or for any index when 0).
    bool touches(link::EditPart part, int index = 0) const;
    // True when the change is whole or names any scope of output `output` (1..3).
    bool touchesOutput(int output) const;
};

class ConfigEdits : public QObject {
    Q_OBJECT

public:
    // The history keeps at most this many steps; the oldest are forgotten first.
    static constexpr std::size_t kHistoryLimit = 500;

    struct Edit {
        QString description;
        std::vector<link::EditScope> scopes;
        const void* origin = nullptr;
        // False for an incidental change that is not an undo step of its own (selecting an
        // equaliser band raises its bands in use and quantises it as its controls load).
        bool record = true;
        // The views show the whole configuration again (an output copy touches many parts).
        bool whole = false;
        // Consecutive mergeable recorded edits with the same description are one undo step
        // (typing a name letter by letter).
        bool mergeable = false;
    };

    // `config` must outlive the path.
    explicit ConfigEdits(ProcessorConfig& config, QObject* parent = nullptr);

    const ProcessorConfig& config() const { return config_; }

    // Where real-time messages go and which bank they address; null (the default) sends
    // nothing. Messages leave only while the session's real-time mode is on. Not owned.
    void setSession(link::DeviceSession* session) { session_ = session; }

    // The one call behind every edit (steps 1 to 4 above). The messages of `edit.scopes` are
    // built after `change` ran, in the order of the scopes. Views are told even when the
    // configuration ends up equal (the controls may need to show a clamped value); an undo step
    // is recorded only when the configuration differs from the state before it.
    void apply(const Edit& edit, const std::function<void(ProcessorConfig&)>& change);

    // A gesture (a slider or graph drag, a held key): every recorded edit from beginGesture()
    // to the matching endGesture() is one undo step, named by its first edit. Gestures nest;
    // the outermost end closes the step.
    void beginGesture();
    void endGesture();
    bool inGesture() const { return gestureDepth_ > 0; }

    // --- Undo and redo ---
    bool canUndo() const;
    bool canRedo() const;
    // "Output 1 band 3 gain"; empty when there is nothing to undo or redo.
    QString undoDescription() const;
    QString redoDescription() const;
    // Restores the state before the last step (after the next undone one) exactly, sends the
    // processor every real-time value that differs (in real-time mode), and tells the views with
    // a whole change described "Undo ..." / "Redo ...". An open gesture is closed first.
    void undo();
    void redo();

    // --- Whole configuration ---
    // The configuration was replaced (New, Open, Read): the history starts again, the state
    // counts as unmodified, and the views are told with a whole change.
    void configurationReplaced(const QString& description = {});
    // A whole change the views must show that is not an edit of the configuration by the user
    // (a measurement import finished, the view flags): told, not recorded, not sent.
    void notify(const ConfigChange& change);

    // Changes not saved to a file since the last configurationReplaced() or markSaved().
    bool modified() const;
    void markSaved();

signals:
    void changed(const kvn::ui::ConfigChange& change);
    // A gesture began (true) or the last open one ended (false): views may draw more coarsely
    // while the pointer moves and finely once it stops.
    void gestureChanged(bool active);
    // Undo or redo availability, or their descriptions, changed.
    void historyChanged();
    void modifiedChanged(bool modified);

private:
    void setGestureDepth(int depth);

    struct Step {
        QString description;
        ProcessorConfig before;
        ProcessorConfig after;
        bool mergeable = false;
    };

    void sendScopes(const std::vector<link::EditScope>& scopes);
    void closeOpenStep();
    void restore(const ProcessorConfig& state, const QString& description);
    void setDirty(bool dirty);
    void updateModified();

    ProcessorConfig& config_;
    link::DeviceSession* session_ = nullptr;
    std::vector<Step> steps_;
    std::size_t position_ = 0;  // steps_[0..position_) are done, the rest can be redone
    // The recorded edits of an unclosed gesture: the state before its first edit.
    std::optional<Step> open_;
    int gestureDepth_ = 0;
    // The history position at the last save; nullopt when that state left the history.
    std::optional<std::size_t> savedPosition_ = 0;
    bool dirty_ = false;  // an incidental change since the last save
    bool modified_ = false;
};

}  // namespace kvn::ui

Q_DECLARE_METATYPE(kvn::ui::ConfigChange)
