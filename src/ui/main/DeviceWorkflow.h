// The device commands of the main window and the connection window, over the device session
// (which runs each operation on its worker thread): choosing and identifying the link, Read,
// Write, Change, real time on and off, keyboard lock, password, DSP program update and the
// copy-to-all service. It asks the questions before each command, keeps the transfer controls
// off while an operation runs or while offline, and turns results into the configuration
// (through MainWorkflow) and into the status line.
#pragma once

#include "link/DeviceSession.h"
#include "link/LinkOption.h"
#include "link/PasswordEntry.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace kvn::ui {

class MainWorkflow;
class UserDialogs;

class DeviceWorkflow : public QObject {
    Q_OBJECT

public:
    // Both must outlive the workflow.
    DeviceWorkflow(link::DeviceSession& session, MainWorkflow& main, QObject* parent = nullptr);

    // --- Connection window ---
    // Takes `option` and, unless its port could not be opened, identifies the processor. False,
    // doing nothing, while another operation runs.
    bool chooseLink(const link::LinkOption& option);
    QString statusText() const { return statusText_; }
    int connectionMode() const { return session_.connectionMode(); }
    bool offline() const { return session_.connectionMode() == 0; }
    // The link last chosen in the connection window (what the session holds unless offline).
    const link::LinkOption& chosenLink() const { return lastOption_; }

    // --- Main window ---
    // No operation runs or waits for its next step (a question, the password window).
    bool idle() const;
    // Read, Write, Change, keyboard, password, DSP update and the memory selector are usable.
    bool transferControlsEnabled() const;
    // Read: New with its question, then the memory chosen in the selector.
    void read();
    // Write: asks before overwriting, then writes the memory and makes the processor run it.
    void write();
    // Change: asks, then makes the processor run the chosen memory.
    void change();
    // The real-time switch. On: asks the processor which memory it runs, reads it (also a factory
    // memory outside the selector's range) and only then turns real time on. While the
    // configuration has changes not saved, the user first chooses: write it to the memory the
    // processor runs (checked; real time starts once the check passed), read the processor's
    // memory (after New's save question), or cancel (nothing changes). Off: at once.
    void toggleRealTime();
    // Asks, then locks or unlocks the processor's keyboard.
    void keyboardLock(bool lock);
    // The password window is about to open: the transfer controls are held off until
    // finishPassword(). False when no password can be sent now (offline or busy).
    bool beginPassword();
    // The password window closed: sends `block` when it was confirmed.
    void finishPassword(const std::optional<link::PasswordEntry::Block>& block);
    bool letterPassword() const { return session_.letterPassword(); }
    // Beep, the warning, the DSP program file (refused before anything is sent when it is
    // malformed), then the update.
    void updateFirmware();
    // The hidden service: the present configuration into every memory the selector offers.
    void copyToAllMemories();

    // --- Safe work with the processor ---
    // Write reads the memory back and compares it with what was written (on at first).
    void setVerifyWrites(bool on) { verifyWrites_ = on; }
    bool verifyWrites() const { return verifyWrites_; }
    // After a check that found differences: the same image to the same memory again.
    void writeAgain();
    // Asks for a folder, then backs up every memory the selector offers into it.
    void backupProcessor();
    // Asks for a backup folder and whether to overwrite, then writes its memories back.
    void restoreProcessor();
    // The link was lost during real-time editing: the processor misses edits the editor kept.
    bool outOfStep() const { return outOfStep_; }
    int missedEdits() const { return missedEdits_; }

signals:
    void transferControlsEnabledChanged(bool enabled);
    void statusTextChanged(const QString& text);
    // The transfer window's port line for the chosen link.
    void portTextChanged(const QString& text);
    // A link was chosen and the processor identified (or offline chosen): the main window is
    // shown and, when `hideConnectionWindow`, the connection window hidden.
    void connectionSettled(bool hideConnectionWindow);
    // The chosen port could not be opened: the connection window stays, lit at Offline.
    void portInUse();
    // The link was lost (no reply, USB error): offline.
    void linkLost();
    // The user must choose a link again.
    void connectionWindowRequested();
    // A write's check found that the memory does not hold what was written.
    void verificationFailed(const kvn::link::DeviceSequences::Verification& result);
    void outOfStepChanged(bool outOfStep, int missedEdits);
    // The connection doctor's finding after a link that could not be used, and its checks.
    void diagnosisReady(const QString& diagnosis, const QStringList& checks);
    // A device operation ended (for the virtual processor's state file, and for tests).
    void operationFinished(kvn::link::DeviceSession::Operation operation, bool success);

private:
    enum class ReadPurpose { None, Plain, RealTime };
    // How a real-time start goes on once the processor said which memory it runs: read it
    // (asking New's question then), read it after the user already answered, or write the
    // configuration to it.
    enum class RealTimeStart { None, Read, ReadDecided, Write };

    void onFinished(link::DeviceSession::Operation operation, bool success);
    void onMemoryRead(int memory, const std::vector<std::uint8_t>& image);
    void onMessage(link::MessageKind kind, const QString& text);
    bool startWrite(int memory, std::vector<std::uint8_t> image, bool verify);
    void continueRealTimeStart();
    void afterBackup(bool restore);
    void continueFirmwareUpdate();
    void setOutOfStep(bool outOfStep, int missedEdits = 0);
    void offerResync();
    // Runs the connection doctor on the link just chosen when it could not be used.
    void diagnoseLater();
    void startRead(ReadPurpose purpose, int memory);
    void setHeld(bool held);
    void setStatusText(const QString& text);
    void refreshControls();
    bool ready() const;

    link::DeviceSession& session_;
    MainWorkflow& main_;
    UserDialogs& dialogs_;
    QString statusText_;
    bool held_ = false;
    bool lastEnabled_ = false;
    bool identifyPending_ = false;
    ReadPurpose readPurpose_ = ReadPurpose::None;
    RealTimeStart realTimeStart_ = RealTimeStart::None;
    bool imageLoaded_ = false;
    int activeMemory_ = 0;  // the processor's answer to the real-time start's query

    bool verifyWrites_ = true;
    struct Written {
        int memory = 0;
        std::vector<std::uint8_t> image;
    };
    Written lastWrite_;
    std::optional<link::ProcessorBackup::Report> backupReport_;
    QString backupFolder_;
    std::optional<std::vector<std::uint8_t>> pendingFirmware_;
    bool outOfStep_ = false;
    int missedEdits_ = 0;
    link::LinkOption lastOption_;
    bool diagnoseWanted_ = false;  // the link just chosen could not be used
    bool diagnosePending_ = false;
    bool resyncWanted_ = false;  // reconnected while out of step
};

}  // namespace kvn::ui
