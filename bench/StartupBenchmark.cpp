// Start-up time of the editor: from starting the process until its connection window is shown and
// the event loop is idle (the editor's --quit-when-idle ends it there), over several runs on the
// offscreen platform. Prints the median and the range.
//
//   bench_startup [--runs=N] [path/to/kvn350-editor]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString editor = QStringLiteral(KVN_EDITOR_PATH);
    int runs = 9;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (argument.startsWith(QLatin1String("--runs="))) {
            runs = std::max(1, argument.mid(7).toInt());
        } else if (!argument.startsWith(QLatin1String("--"))) {
            editor = argument;
        }
        // Other options (those `make bench` gives every benchmark) do not apply here.
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Without a session the toolkit complains on every start that this folder is missing.
    QTemporaryDir runtime;
    if (!environment.contains(QStringLiteral("XDG_RUNTIME_DIR")) && runtime.isValid()) {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    }
    std::vector<double> millis;
    // One run first to warm the file cache; it is not counted.
    for (int run = 0; run <= runs; ++run) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        process.start(editor, {QStringLiteral("--quit-when-idle")});
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            std::fprintf(stderr, "bench_startup: %s did not start and end cleanly\n",
                         qPrintable(editor));
            return 1;
        }
        if (run > 0) {
            millis.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::sort(millis.begin(), millis.end());
    const double median = millis.size() % 2 == 1
                              ? millis[millis.size() / 2]
                              : (millis[millis.size() / 2 - 1] + millis[millis.size() / 2]) / 2;
    std::printf(
        "editor start-up to idle connection window: median %.1f ms over %zu runs "
        "(%.1f .. %.1f ms)\n",
        median, millis.size(), millis.front(), millis.back());
    return 0;
}
