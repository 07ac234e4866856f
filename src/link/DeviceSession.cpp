// The link worker thread and the signals that carry its progress back.
#include "link/DeviceSession.h"

#include <QThread>
#include <algorithm>

#include "link/RealTimeSender.h"
#include "link/SystemPortProbe.h"
#include "link/TrafficTap.h"

namespace kvn::link {

// Turns the link's progress into the session's signals; called on the worker thread, delivered
// on the session's.
class DeviceSession::Progress final : public TransferProgress {
public:
    explicit Progress(DeviceSession& session) : session_(session) {}

    void setInfo(const std::string& text) override {
        session_.log_->info(text);
        emit session_.infoChanged(QString::fromStdString(text));
    }
    void setGaugeMaximum(int maximum) override { emit session_.gaugeMaximumChanged(maximum); }
    void setGaugePosition(int position) override { emit session_.gaugePositionChanged(position); }
    void showWindow() override { emit session_.windowShown(); }
    void closeWindow() override { emit session_.windowClosed(); }
    void showMessage(MessageKind kind, const std::string& text) override {
        session_.log_->message(kind, text);
        emit session_.messageRequested(kind, QString::fromStdString(text));
    }
    void linkDropped() override { emit session_.linkDropped(); }
    void reconnectRequested() override { emit session_.reconnectRequested(); }

private:
    DeviceSession& session_;
};

// Everything the worker thread touches, and nothing else does.
struct DeviceSession::Worker {
    Worker(DeviceSession& session, Sleeper& sleeper)
        : sleeper(sleeper),
          progress(session),
          link(progress, sleeper),
          sequences(link, progress, sleeper),
          sender(sleeper) {}

    Sleeper& sleeper;
    Progress progress;
    DeviceLink link;
    DeviceSequences sequences;
    RealTimeSender sender;
};

DeviceSession::DeviceSession(QObject* parent) : DeviceSession(Sleeper::system(), parent) {}

DeviceSession::DeviceSession(Sleeper& sleeper, QObject* parent)
    : QObject(parent),
      thread_(std::make_unique<QThread>()),
      log_(std::make_shared<TrafficLog>()),
      probe_(std::make_shared<SystemPortProbe>()) {
    worker_ = std::make_unique<Worker>(*this, sleeper);
    context_ = new QObject;
    context_->moveToThread(thread_.get());
    thread_->setObjectName("kvn link");
    thread_->start();
}

DeviceSession::~DeviceSession() {
    // The link objects (a serial port among them) belong to the worker thread: end them there,
    // after whatever is still queued.
    QMetaObject::invokeMethod(
        context_, [this] { worker_.reset(); }, Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    delete context_;
}

void DeviceSession::publishLinkState(Worker& worker) {
    connectionMode_ = worker.link.ConnectionMode();
    usbActive_ = worker.link.UsbActive();
    letterPassword_ = worker.link.LetterPassword();
    emit linkStateChanged(connectionMode_, usbActive_);
}

void DeviceSession::warnOfDesign(Worker& worker) {
    if (!worker.sequences.lastReadWarning().empty()) {
        worker.progress.showMessage(MessageKind::Warning, worker.sequences.lastReadWarning());
    }
}

bool DeviceSession::start(Operation operation, std::function<bool(Worker&)> job) {
    if (busy_) {
        return false;
    }
    busy_ = true;
    emit busyChanged(true);
    QMetaObject::invokeMethod(
        context_,
        [this, operation, job = std::move(job)] {
            const bool success = job(*worker_);
            publishLinkState(*worker_);
            QMetaObject::invokeMethod(
                this,
                [this, operation, success] {
                    busy_ = false;
                    emit finished(operation, success);
                    emit busyChanged(false);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return true;
}

bool DeviceSession::chooseLink(LinkOption option) {
    const bool offline = option.kind == LinkOption::Kind::Offline;
    if (!offline) {
        log_->note("link chosen: " + option.portText);
    }
    return start(Operation::ChooseLink,
                 [this, offline, option = withTrafficLog(std::move(option), log_)](Worker& w) {
                     const DeviceLink::Choice choice = w.link.choose(option);
                     emit linkChosen(choice);
                     return choice ==
                            (offline ? DeviceLink::Choice::Offline : DeviceLink::Choice::Connected);
                 });
}

bool DeviceSession::identify() {
    return start(Operation::Identify, [this](Worker& w) {
        const DeviceLink::Identification result = w.link.identify();
        emit identified(result.answered, QString::fromStdString(result.statusText),
                        result.hideConnectionWindow, w.link.LetterPassword());
        return result.answered;
    });
}

bool DeviceSession::writeMemory(int memory, std::vector<std::uint8_t> image, bool verify) {
    return start(Operation::WriteMemory,
                 [this, memory, verify, image = std::move(image)](Worker& w) {
                     if (!w.sequences.WriteMemory(memory, image)) {
                         return false;
                     }
                     if (!verify) {
                         return true;
                     }
                     const auto result = w.sequences.VerifyMemory(memory, image);
                     if (result) {
                         emit verified(*result);
                     }
                     return result && result->passed();
                 });
}

bool DeviceSession::changeMemory(int memory) {
    return start(Operation::ChangeMemory,
                 [memory](Worker& w) { return w.sequences.ChangeMemory(memory); });
}

bool DeviceSession::readMemory(int memory) {
    return start(Operation::ReadMemory, [this, memory](Worker& w) {
        const auto image = w.sequences.ReadMemory(memory);
        if (image) {
            warnOfDesign(w);
            emit memoryRead(memory, *image);
        }
        return image.has_value();
    });
}

bool DeviceSession::keyboardLock(bool lock) {
    return start(Operation::KeyboardLock,
                 [lock](Worker& w) { return w.sequences.KeyboardLock(lock); });
}

bool DeviceSession::setPassword(PasswordEntry::Block block) {
    return start(Operation::SetPassword,
                 [block](Worker& w) { return w.sequences.SetPassword(block); });
}

bool DeviceSession::updateFirmware(std::vector<std::uint8_t> payload) {
    return start(Operation::UpdateFirmware, [payload = std::move(payload)](Worker& w) {
        return w.sequences.FirmwareUpdate(payload);
    });
}

bool DeviceSession::copyToAllMemories(std::vector<std::uint8_t> image, MemoryRange range) {
    return start(Operation::CopyToAllMemories, [image = std::move(image), range](Worker& w) {
        return w.sequences.CopyToAllMemories(image, range);
    });
}

bool DeviceSession::queryActiveMemory(MemoryRange range) {
    return start(Operation::QueryActiveMemory, [this, range](Worker& w) {
        const auto memory = w.sequences.QueryActiveMemory(range);
        if (memory) {
            emit activeMemoryReported(*memory);
        }
        return memory.has_value();
    });
}

bool DeviceSession::enterRealTime(MemoryRange range) {
    return start(Operation::EnterRealTime, [this, range](Worker& w) {
        const auto image = w.sequences.EnterRealTime(range);
        if (image) {
            warnOfDesign(w);
            emit activeMemoryReported(image->memory);
            emit memoryRead(image->memory, image->bytes);
        }
        return image.has_value();
    });
}

bool DeviceSession::backup(const std::string& folder, MemoryRange range) {
    return start(Operation::Backup, [this, folder, range](Worker& w) {
        const ProcessorBackup::Report report = ProcessorBackup(w.sequences).backup(folder, range);
        emit backupDone(false, report);
        return report.complete();
    });
}

bool DeviceSession::restore(const std::string& folder, MemoryRange range) {
    return start(Operation::Restore, [this, folder, range](Worker& w) {
        const ProcessorBackup::Report report = ProcessorBackup(w.sequences).restore(folder, range);
        emit backupDone(true, report);
        return report.complete();
    });
}

bool DeviceSession::diagnose(LinkOption option) {
    log_->note("connection doctor: " + option.statusText);
    return start(Operation::Diagnose,
                 [this, option = withTrafficLog(std::move(option), log_)](Worker& w) {
                     // The doctor opens the port itself; a link that failed its check gives it up
                     // first.
                     w.link.choose(LinkOption::offline());
                     const DoctorReport report = diagnoseConnection(option, *probe_, w.sleeper);
                     emit diagnosed(report);
                     return report.answered();
                 });
}

void DeviceSession::setDspSelect(int bank) {
    dspSelect_ = std::clamp(bank, 1, 2);
}

void DeviceSession::sendSection(int slot, const std::array<double, 5>& coefficients) {
    sendUpdate(
        RealTimeUpdate::section(static_cast<std::uint8_t>(dspSelect_.load()), slot, coefficients));
}

void DeviceSession::sendCoefficientWord(int address, double value) {
    sendUpdate(RealTimeUpdate::coefficientWord(static_cast<std::uint8_t>(dspSelect_.load()),
                                               address, value));
}

void DeviceSession::sendIntegerWord(int address, int value) {
    sendUpdate(
        RealTimeUpdate::integerWord(static_cast<std::uint8_t>(dspSelect_.load()), address, value));
}

void DeviceSession::sendUpdate(const RealTimeUpdate& update) {
    if (!realTimeMode_) {
        return;
    }
    if (backlog_.post(update)) {
        QMetaObject::invokeMethod(
            context_,
            [this] {
                DeviceLink& link = worker_->link;
                if (!worker_->sender.drain(backlog_, link.transferLink(), worker_->progress)) {
                    // A link that cannot take a message is lost, as a transfer that gets no
                    // reply is.
                    if (!link.offline()) {
                        link.dropToOffline();
                    }
                    publishLinkState(*worker_);
                    emit realTimeFailed();
                }
            },
            Qt::QueuedConnection);
    }
}

}  // namespace kvn::link
