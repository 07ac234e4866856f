// kvn350-emulator started as a child process for the life of the object; the test or benchmark
// opens the pseudo-terminal it serves with the real serial driver. Needs a QCoreApplication.
#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

namespace kvn::link::test {

class EmulatorProcess {
public:
    explicit EmulatorProcess(const QStringList& arguments = {}) {
        process_.start(QString::fromUtf8(KVN_EMULATOR_PATH), arguments);
        // The first line it prints is the pseudo-terminal's path.
        while (process_.waitForStarted(5000) && !process_.canReadLine() &&
               process_.waitForReadyRead(5000)) {
        }
        path_ = QString::fromUtf8(process_.readLine()).trimmed().toStdString();
    }
    ~EmulatorProcess() { stop(); }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // Empty when the emulator did not start.
    const std::string& path() const { return path_; }
    // Ends the emulator as Ctrl+C would (it saves its state file first).
    void stop() {
        if (process_.state() == QProcess::NotRunning) {
            return;
        }
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

private:
    QProcess process_;
    std::string path_;
};

}  // namespace kvn::link::test
