#include "ui/main/EditorCommandLine.h"

namespace kvn::ui {

EditorCommandLine parseEditorCommandLine(const QStringList& arguments) {
    EditorCommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--virtual")) {
            line.chooseVirtual = true;
        } else if (argument == QLatin1String("--quit-when-idle")) {
            line.quitWhenIdle = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
        } else if (argument == QLatin1String("--screenshots")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--"))) {
                line.error = QStringLiteral("--screenshots needs a folder");
                return line;
            }
            line.screenshotsDir = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--screenshots="))) {
            line.screenshotsDir = argument.mid(14);
            if (line.screenshotsDir.isEmpty()) {
                line.error = QStringLiteral("--screenshots needs a folder");
                return line;
            }
        } else {
            line.error = QStringLiteral("unknown argument: ") + argument;
            return line;
        }
    }
    return line;
}

QString editorUsage() {
    return QStringLiteral(
        "usage: kvn350-editor [--virtual] [--screenshots DIR] [--quit-when-idle]\n"
        "  --virtual          connect to the built-in virtual processor at start\n"
        "  --screenshots DIR  render every window to PNG files in DIR, then end\n"
        "  --quit-when-idle   end once the connection window is shown (start-up timing)\n");
}

}  // namespace kvn::ui
