// The keys of the configuration's undo and redo, which the number fields leave to their window
// instead of undoing their own text.
#pragma once

#include <QKeyEvent>
#include <QKeySequence>

namespace kvn::widgets {

// Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y (with the platform's own undo and redo sequences).
inline bool isHistoryKey(const QKeyEvent& event) {
    const QKeyCombination keys(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key()));
    return event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo) ||
           keys == (Qt::CTRL | Qt::Key_Z) || keys == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z) ||
           keys == (Qt::CTRL | Qt::Key_Y);
}

}  // namespace kvn::widgets
