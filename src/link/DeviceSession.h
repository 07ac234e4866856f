// The device link for the editor: every operation runs on a worker thread, one at a time, so that
// waiting for the processor never freezes a window. Progress, message boxes and results come back
// as signals on the thread that owns the session. Real-time edits go through a latest-value
// backlog: an edit made while a message is on its way is sent right after it.
//
// Signals, in order for one operation: busyChanged(true), then any of infoChanged,
// gaugeMaximumChanged, gaugePositionChanged, windowShown, windowClosed, messageRequested,
// linkDropped, reconnectRequested, linkStateChanged and the operation's result signal, then
// finished(operation, success) and busyChanged(false).
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "link/ConnectionDoctor.h"
#include "link/DeviceLink.h"
#include "link/DeviceSequences.h"
#include "link/LinkOption.h"
#include "link/MemoryRange.h"
#include "link/PasswordEntry.h"
#include "link/PortFacts.h"
#include "link/ProcessorBackup.h"
#include "link/RealTimeBacklog.h"
#include "link/RealTimeUpdate.h"
#include "link/Sleeper.h"
#include "link/TrafficLog.h"
#include "link/TransferProgress.h"

class QThread;

namespace kvn::link {

class DeviceSession : public QObject {
    Q_OBJECT

public:
    enum class Operation {
        ChooseLink,
        Identify,
        WriteMemory,
        ChangeMemory,
        ReadMemory,
        KeyboardLock,
        SetPassword,
        UpdateFirmware,
        CopyToAllMemories,
        QueryActiveMemory,
        EnterRealTime,
        Backup,
        Restore,
        Diagnose,
    };
    Q_ENUM(Operation)

    // Pacing waits sleep for real.
    explicit DeviceSession(QObject* parent = nullptr);
    // Pacing waits go to `sleeper` (used from the worker thread; it must outlive the session).
    explicit DeviceSession(Sleeper& sleeper, QObject* parent = nullptr);
    // Waits for the running operation to end, then closes the link.
    ~DeviceSession() override;

    // True from the start of an operation until its finished() signal.
    bool busy() const { return busy_; }
    // Whether the main window's transfer controls may be used: a link is chosen and no
    // operation runs.
    bool transferControlsEnabled() const { return !busy_ && connectionMode_ != 0; }
    // The link state as the worker last left it.
    int connectionMode() const { return connectionMode_; }
    bool usbActive() const { return usbActive_; }
    bool letterPassword() const { return letterPassword_; }

    // Operations. Each returns false, and does nothing, while another one runs.
    bool chooseLink(LinkOption option);
    bool identify();
    // With `verify`, the memory is read back after the write and compared (verified()).
    bool writeMemory(int memory, std::vector<std::uint8_t> image, bool verify = false);
    bool changeMemory(int memory);
    bool readMemory(int memory);
    bool keyboardLock(bool lock);
    bool setPassword(PasswordEntry::Block block);
    bool updateFirmware(std::vector<std::uint8_t> payload);
    bool copyToAllMemories(std::vector<std::uint8_t> image, MemoryRange range);
    bool queryActiveMemory(MemoryRange range);
    // The active memory, then its image (activeMemoryReported, memoryRead).
    bool enterRealTime(MemoryRange range);
    // Every memory of `range` into `folder`, or the backup in `folder` back (backupDone);
    // succeeds when every memory was done.
    bool backup(const std::string& folder, MemoryRange range);
    bool restore(const std::string& folder, MemoryRange range);
    // Runs the connection doctor on `option` (diagnosed), leaving the chosen link as it is.
    // Succeeds when a KVN 350 answered.
    bool diagnose(LinkOption option);
    // Where the doctor learns about ports; the machine's own unless set (tests). Not while an
    // operation runs.
    void setPortProbe(std::shared_ptr<const PortProbe> probe) { probe_ = std::move(probe); }

    // Every byte of every link chosen from now on, with the step texts and messages, while the
    // log is recording (it is from the start).
    TrafficLog& trafficLog() { return *log_; }

    // Real-time mode: while it is off, edits are not sent.
    void setRealTimeMode(bool on) { realTimeMode_ = on; }
    bool realTimeMode() const { return realTimeMode_; }
    // The coefficient bank real-time messages address (1 or 2; others are held to that range).
    void setDspSelect(int bank);
    int dspSelect() const { return dspSelect_; }
    // An edit to send in real-time mode, addressed to the current DspSelect bank.
    void sendSection(int slot, const std::array<double, 5>& coefficients);
    void sendCoefficientWord(int address, double value);
    void sendIntegerWord(int address, int value);
    void sendUpdate(const RealTimeUpdate& update);
    // A real-time message is being sent or waits to be (RealTimeBusy).
    bool realTimeBusy() const { return backlog_.draining(); }

signals:
    void infoChanged(const QString& text);
    void gaugeMaximumChanged(int maximum);
    void gaugePositionChanged(int position);
    void windowShown();
    void windowClosed();
    void messageRequested(kvn::link::MessageKind kind, const QString& text);
    void linkDropped();
    void reconnectRequested();
    void linkStateChanged(int connectionMode, bool usbActive);
    void linkChosen(kvn::link::DeviceLink::Choice choice);
    // The connection check's outcome; an empty status text leaves the status line as it is.
    void identified(bool answered, const QString& statusText, bool hideConnectionWindow,
                    bool letterPassword);
    void memoryRead(int memory, const std::vector<std::uint8_t>& image);
    // The check after a write with verify.
    void verified(const kvn::link::DeviceSequences::Verification& result);
    void backupDone(bool restore, const kvn::link::ProcessorBackup::Report& report);
    void diagnosed(const kvn::link::DoctorReport& report);
    // A real-time message could not be sent: the link has dropped to offline and the processor
    // misses the edits since.
    void realTimeFailed();
    void activeMemoryReported(int memory);
    void finished(kvn::link::DeviceSession::Operation operation, bool success);
    void busyChanged(bool busy);

private:
    struct Worker;
    class Progress;

    bool start(Operation operation, std::function<bool(Worker&)> job);
    void publishLinkState(Worker& worker);
    // A memory read whose coefficients differ from their design is loaded with a warning.
    static void warnOfDesign(Worker& worker);

    std::unique_ptr<QThread> thread_;
    QObject* context_ = nullptr;  // lives on the worker thread
    std::unique_ptr<Worker> worker_;
    RealTimeBacklog backlog_;
    bool busy_ = false;
    std::atomic<int> connectionMode_ = 0;
    std::atomic<bool> usbActive_ = false;
    std::atomic<bool> letterPassword_ = false;
    std::atomic<bool> realTimeMode_ = false;
    std::atomic<int> dspSelect_ = 1;
    std::shared_ptr<TrafficLog> log_;
    std::shared_ptr<const PortProbe> probe_;
};

}  // namespace kvn::link
