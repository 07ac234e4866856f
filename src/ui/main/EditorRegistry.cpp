#include "ui/main/EditorRegistry.h"

namespace kvn::ui {

EditorRegistry::EditorRegistry(QObject* parent) : QObject(parent) {}

void EditorRegistry::add(EditorKind kind, EditorWindow* window) {
    if (window == nullptr) {
        remove(kind);
        return;
    }
    windows_[kind] = window;
    emit changed();
}

void EditorRegistry::remove(EditorKind kind) {
    if (windows_.erase(kind) > 0) {
        emit changed();
    }
}

EditorWindow* EditorRegistry::find(EditorKind kind) const {
    const auto it = windows_.find(kind);
    return it == windows_.end() ? nullptr : it->second;
}

bool EditorRegistry::open(EditorKind kind, int output) const {
    EditorWindow* window = find(kind);
    if (window == nullptr) {
        return false;
    }
    window->openFor(output);
    return true;
}

void EditorRegistry::closeEditors() const {
    for (EditorKind kind : {EditorKind::Equalizer, EditorKind::Gains, EditorKind::Crossover,
                            EditorKind::Dynamics, EditorKind::Delay, EditorKind::Loudness}) {
        if (EditorWindow* window = find(kind)) {
            window->closeEditor();
        }
    }
}

std::vector<EditorWindow*> EditorRegistry::all() const {
    std::vector<EditorWindow*> windows;
    for (const auto& [kind, window] : windows_) {
        windows.push_back(window);
    }
    return windows;
}

void EditorRegistry::reloadAll() const {
    for (const auto& [kind, window] : windows_) {
        window->reloadFromConfig();
    }
}

void EditorRegistry::showRealTime(bool on) const {
    for (const auto& [kind, window] : windows_) {
        window->showRealTime(on);
    }
}

}  // namespace kvn::ui
