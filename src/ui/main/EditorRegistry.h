// The editor windows known to the main window, by kind. The main window asks it which buttons to
// enable and opens windows through it; the workflow closes and reloads them all at once.
#pragma once

#include "ui/main/EditorWindow.h"

#include <QObject>

#include <map>
#include <vector>

namespace kvn::ui {

class EditorRegistry : public QObject {
    Q_OBJECT

public:
    explicit EditorRegistry(QObject* parent = nullptr);

    // Registers `window` (not owned; it must outlive the registry or be removed first) under
    // `kind`, replacing any earlier one. Emits changed().
    void add(EditorKind kind, EditorWindow* window);
    void remove(EditorKind kind);
    EditorWindow* find(EditorKind kind) const;
    bool has(EditorKind kind) const { return find(kind) != nullptr; }

    // Opens the window of `kind` for `output`; false when none is registered.
    bool open(EditorKind kind, int output) const;
    // Closes the editors of the configuration's blocks: equaliser, gains, crossover, dynamics,
    // delay and loudness (not the copy, total-response, coefficient and import windows).
    void closeEditors() const;
    // Every registered window, in the order of their kinds.
    std::vector<EditorWindow*> all() const;
    void reloadAll() const;
    void showRealTime(bool on) const;

signals:
    void changed();

private:
    std::map<EditorKind, EditorWindow*> windows_;
};

}  // namespace kvn::ui
