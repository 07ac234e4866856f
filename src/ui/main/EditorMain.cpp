#include "ui/main/EditorMain.h"

#include "ui/main/Artwork.h"
#include "ui/main/EditorApplication.h"
#include "ui/main/EditorCommandLine.h"
#include "ui/main/ScreenshotRun.h"
#include "ui/main/ScriptedDialogs.h"
#include "ui/main/WorkflowTexts.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace kvn::ui {

namespace {

bool displayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

void dropPlatformNotices(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

}  // namespace

void quietOffscreenMessages() {
    qInstallMessageHandler(dropPlatformNotices);
}

int runEditor(int argc, char** argv, const EditorInstaller& installEditors) {
    const EditorCommandLine line = parseEditorCommandLine(argumentsOf(argc, argv));
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "kvn350-editor: %s\n%s", qPrintable(line.error),
                     qPrintable(editorUsage()));
        return 2;
    }
    if (line.help) {
        std::fputs(qPrintable(editorUsage()), stdout);
        return 0;
    }
    if (!displayAvailable()) {
        if (!line.headless()) {
            std::fputs(
                "kvn350-editor: no display found. Start it under a virtual display:\n"
                "    xvfb-run -a build/src/app/kvn350-editor --virtual\n"
                "or, from the source folder, 'xvfb-run -a make run'.\n",
                stderr);
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    if (line.headless()) {
        quietOffscreenMessages();
    }
    QApplication app(argc, argv);
    // Before anything asks for the data folder, which is named after the program.
    QApplication::setApplicationName(QString::fromLatin1(text::kApplicationTitle));
    QApplication::setOrganizationName(QStringLiteral("KVN350"));
    QApplication::setWindowIcon(art::applicationIcon());

    EditorOptions options;
    options.chooseVirtual = line.chooseVirtual;
    std::unique_ptr<ScriptedDialogs> scripted;
    if (!line.screenshotsDir.isEmpty()) {
        // The screenshot run must not wait for anyone, nor touch the user's virtual processor.
        scripted = std::make_unique<ScriptedDialogs>();
        options.dialogs = scripted.get();
        options.virtualProcessor.stateFile.clear();
        options.settingsFile = QDir::temp().filePath(QStringLiteral("kvn350-screenshots.ini"));
    }
    EditorApplication editor(options);
    if (installEditors) {
        installEditors(editor);
    }
    QObject::connect(&editor, &EditorApplication::finished, &app, [] { QApplication::exit(0); });
    editor.start();

    std::unique_ptr<ScreenshotRun> screenshots;
    if (!line.screenshotsDir.isEmpty()) {
        screenshots = std::make_unique<ScreenshotRun>(editor, line.screenshotsDir);
        QObject::connect(screenshots.get(), &ScreenshotRun::done, &app,
                         [](bool ok) { QApplication::exit(ok ? 0 : 1); });
        screenshots->start();
    } else if (line.quitWhenIdle) {
        QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
    }
    return QApplication::exec();
}

}  // namespace kvn::ui
