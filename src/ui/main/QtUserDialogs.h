// The user dialogs as the desktop shows them: message boxes titled with the application's name,
// the toolkit's file dialogs, the system beep.
#pragma once

#include "ui/main/UserDialogs.h"

#include <QStringList>

namespace kvn::ui {

class QtUserDialogs : public UserDialogs {
public:
    Answer message(MessageKind kind, const QString& text, MessageButtons buttons) override;
    int choose(MessageKind kind, const QString& text, const QStringList& choices,
               int cancelIndex) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> chooseFolder(const FileRequest& request) override;
    void beep() override;
};

// The toolkit's form of a '|'-separated filter: "KVN 350 Files *.KV2|*.KV2|All Files *.*|*.*"
// becomes {"KVN 350 Files (*.KV2 *.kv2)", "All Files (*)"}. Patterns are offered in both cases,
// since file names on Linux and macOS are case-sensitive. An odd trailing entry is ignored.
QStringList toolkitFilters(const QString& filter);

// The extension a save dialog adds when the user types none: that of the first pattern ("KV2"),
// or empty when the first pattern has none.
QString defaultSuffix(const QString& filter);

}  // namespace kvn::ui
