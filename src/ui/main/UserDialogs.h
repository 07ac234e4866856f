// Every message box and file dialog of the program goes through this one interface, so that the
// windows and the workflow can be driven by tests that answer them in order.
#pragma once

#include "config/LoadResult.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kvn::ui {

// The kind of a message box; it picks the icon. Plain boxes have no icon.
enum class MessageKind { Plain, Information, Warning, Error, Confirmation };

// The box kind that shows a message of the configuration's loads and edits.
MessageKind dialogKind(kvn::MessageKind kind);

// The buttons a message box offers.
// YesNoDefaultNo is Yes and No with No as the default button, for a risky choice that must be
// made on purpose.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, Yes, YesNoDefaultNo };

// The button that closed the box. Closing a box without a button counts as Cancel where the box
// has one, as No where it has Yes/No, and as its only button otherwise.
enum class Answer { Ok, Cancel, Yes, No };

// A file dialog's request. `filter` uses the program's own notation: description and pattern
// pairs separated by '|' ("KVN 350 Files *.KV2|*.KV2|All Files *.*|*.*").
struct FileRequest {
    QString title;
    QString filter;
    QString initialName;
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // Shows a modal box with `text` exactly as given and returns the button pressed.
    virtual Answer message(MessageKind kind, const QString& text, MessageButtons buttons) = 0;
    // A modal box whose buttons say what they do (`choices`, in order, each the whole text of
    // its button); returns the index of the one pressed. Closing the box without a button (or
    // Escape) gives `cancelIndex`.
    virtual int choose(MessageKind kind, const QString& text, const QStringList& choices,
                       int cancelIndex) = 0;
    // The chosen file's full path, or nothing when the dialog was cancelled.
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
    // A folder (`initialName` is where the dialog starts); nothing when cancelled.
    virtual std::optional<QString> chooseFolder(const FileRequest& request) = 0;
    // The system's default beep.
    virtual void beep() = 0;

    // Shorthands for the common boxes.
    void inform(const QString& text) {
        message(MessageKind::Information, text, MessageButtons::Ok);
    }
    void warn(const QString& text) { message(MessageKind::Warning, text, MessageButtons::Ok); }
    void error(const QString& text) { message(MessageKind::Error, text, MessageButtons::Ok); }
};

// The answer a box gives when it is closed without pressing a button.
Answer dismissAnswer(MessageButtons buttons);

}  // namespace kvn::ui
