#include "ui/main/DeviceWorkflow.h"

#include "config/ProcessorConfig.h"
#include "link/FirmwareText.h"
#include "link/LinkTexts.h"
#include "link/MemoryRange.h"
#include "ui/main/LoadingProgress.h"
#include "ui/main/MainWorkflow.h"
#include "ui/main/UserDialogs.h"
#include "ui/main/WorkflowTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <utility>

namespace kvn::ui {

namespace {

using Operation = link::DeviceSession::Operation;

// A DSP program text is about 18 kB; anything far larger is not one and is not read whole.
constexpr qint64 kMaxFirmwareTextBytes = 1024 * 1024;

constexpr const char* kBackupTitle = "Back Up Processor";
constexpr const char* kRestoreTitle = "Restore Processor";
constexpr const char* kBackupBeforeFirmware =
    "Do you want to back up every user memory before the DSP program is loaded? If the update "
    "does not finish, the memories can then be written back.";
constexpr const char* kFirmwareNotLoaded = "The DSP program was not loaded.";

// Switching real time on while the configuration has changes not saved: the processor's memory
// would replace them, so the user chooses.
constexpr const char* kRealTimeUnsaved =
    "Real Time Mode sends every change to the KVN 350, so the editor and the processor must "
    "start from the same configuration. The present configuration has changes that are not "
    "saved.\n\n"
    "Write this configuration to the processor: it is written to the memory the processor runs "
    "and checked, then real time starts from it. Your changes stay.\n\n"
    "Read the processor's memory: you can save your changes to a file first, then the "
    "processor's memory replaces them.\n\n"
    "Cancel: real time stays off and nothing changes.";
constexpr const char* kRealTimeWriteChoice = "Write this configuration to the processor";
constexpr const char* kRealTimeReadChoice = "Read the processor's memory";
constexpr const char* kRealTimeCancelChoice = "Cancel";

QString problemList(const link::ProcessorBackup::Report& report) {
    QStringList lines;
    for (const std::string& line : report.problems()) {
        lines << QString::fromStdString(line);
    }
    return lines.join(QLatin1Char('\n'));
}

QString memoriesText(std::size_t count) {
    return count == 1 ? QStringLiteral("1 memory") : QStringLiteral("%1 memories").arg(count);
}

QString qtext(const char* text) {
    return QString::fromUtf8(text);
}

MessageKind kindOf(link::MessageKind kind) {
    switch (kind) {
        case link::MessageKind::Information:
            return MessageKind::Information;
        case link::MessageKind::Warning:
            return MessageKind::Warning;
        case link::MessageKind::Error:
            return MessageKind::Error;
        case link::MessageKind::Plain:
            break;
    }
    return MessageKind::Plain;
}

}  // namespace

DeviceWorkflow::DeviceWorkflow(link::DeviceSession& session, MainWorkflow& main, QObject* parent)
    : QObject(parent),
      session_(session),
      main_(main),
      dialogs_(main.dialogs()),
      statusText_(qtext(text::kNotConnected)) {
    connect(&session_, &link::DeviceSession::busyChanged, this, &DeviceWorkflow::refreshControls);
    connect(&session_, &link::DeviceSession::linkStateChanged, this,
            &DeviceWorkflow::refreshControls);
    connect(&session_, &link::DeviceSession::finished, this, &DeviceWorkflow::onFinished);
    connect(&session_, &link::DeviceSession::memoryRead, this, &DeviceWorkflow::onMemoryRead);
    connect(&session_, &link::DeviceSession::messageRequested, this, &DeviceWorkflow::onMessage);
    connect(&session_, &link::DeviceSession::activeMemoryReported, this, [this](int memory) {
        activeMemory_ = memory;
        main_.setMemory(memory);
    });
    connect(&session_, &link::DeviceSession::linkChosen, this,
            [this](link::DeviceLink::Choice choice) {
                if (choice == link::DeviceLink::Choice::PortInUse) {
                    identifyPending_ = false;
                    emit portInUse();
                    diagnoseWanted_ = true;
                }
            });
    connect(&session_, &link::DeviceSession::identified, this,
            [this](bool answered, const QString& status, bool hideConnectionWindow, bool) {
                if (!status.isEmpty()) {
                    setStatusText(status);
                }
                emit connectionSettled(hideConnectionWindow);
                // Both follow once the identification has finished.
                resyncWanted_ = answered && outOfStep_;
                diagnoseWanted_ = !answered;
            });
    connect(&session_, &link::DeviceSession::linkDropped, this, [this] {
        // The status line must not go on claiming a connection that is gone.
        setStatusText(qtext(link::text::kStatusOffline));
        if (main_.realTimeMode()) {
            setOutOfStep(true, missedEdits_);
        }
        emit linkLost();
    });
    connect(&session_, &link::DeviceSession::realTimeFailed, this, [this] {
        // The edit whose message failed is the first the processor misses.
        setOutOfStep(true, std::max(missedEdits_, 1));
    });
    connect(&main_.edits(), &ConfigEdits::changed, this, [this](const ConfigChange&) {
        if (outOfStep_) {
            setOutOfStep(true, missedEdits_ + 1);
        }
    });
    connect(&session_, &link::DeviceSession::verified, this,
            [this](const link::DeviceSequences::Verification& result) {
                if (!result.passed()) {
                    emit verificationFailed(result);
                }
            });
    connect(&session_, &link::DeviceSession::backupDone, this,
            [this](bool, const link::ProcessorBackup::Report& report) { backupReport_ = report; });
    connect(&session_, &link::DeviceSession::diagnosed, this,
            [this](const link::DoctorReport& report) {
                QStringList checks;
                for (const std::string& line : report.lines()) {
                    checks << QString::fromStdString(line);
                }
                emit diagnosisReady(QString::fromStdString(report.diagnosis()), checks);
            });
    connect(&session_, &link::DeviceSession::reconnectRequested, this,
            &DeviceWorkflow::connectionWindowRequested);
    connect(&main_, &MainWorkflow::realTimeModeChanged, &session_,
            &link::DeviceSession::setRealTimeMode);
    main_.edits().setSession(&session_);
}

bool DeviceWorkflow::ready() const {
    return idle() && !offline();
}

bool DeviceWorkflow::idle() const {
    return !session_.busy() && !held_ && !identifyPending_ && !diagnosePending_;
}

bool DeviceWorkflow::transferControlsEnabled() const {
    return ready();
}

void DeviceWorkflow::refreshControls() {
    const bool enabled = ready();
    if (enabled != lastEnabled_) {
        lastEnabled_ = enabled;
        emit transferControlsEnabledChanged(enabled);
    }
}

void DeviceWorkflow::setHeld(bool held) {
    held_ = held;
    refreshControls();
}

void DeviceWorkflow::setStatusText(const QString& text) {
    if (statusText_ != text) {
        statusText_ = text;
        emit statusTextChanged(text);
    }
}

void DeviceWorkflow::onMessage(link::MessageKind kind, const QString& text) {
    if (kind == link::MessageKind::Error) {
        dialogs_.beep();
    }
    // The protected-memory box has always had a single Yes button.
    const MessageButtons buttons =
        text == qtext(link::text::kMemoryProtected) ? MessageButtons::Yes : MessageButtons::Ok;
    dialogs_.message(kindOf(kind), text, buttons);
}

bool DeviceWorkflow::chooseLink(const link::LinkOption& option) {
    if (!idle()) {
        return false;
    }
    identifyPending_ = true;
    lastOption_ = option;
    if (!session_.chooseLink(option)) {
        identifyPending_ = false;
        return false;
    }
    emit portTextChanged(QString::fromStdString(option.portText));
    return true;
}

void DeviceWorkflow::onFinished(Operation operation, bool success) {
    emit operationFinished(operation, success);
    // The session counts as busy until its finished signal has been handled, so a follow-up
    // operation starts once control is back in the event loop.
    const auto later = [this](auto step) { QTimer::singleShot(0, this, step); };
    switch (operation) {
        case Operation::ChooseLink:
            if (identifyPending_) {
                later([this] {
                    identifyPending_ = false;
                    session_.identify();
                });
            } else {
                diagnoseLater();
            }
            break;
        case Operation::Identify:
            if (std::exchange(resyncWanted_, false)) {
                later([this] { offerResync(); });
            }
            diagnoseLater();
            break;
        case Operation::QueryActiveMemory:
            if (!success) {
                realTimeStart_ = RealTimeStart::None;
                setHeld(false);
                break;
            }
            later([this] { continueRealTimeStart(); });
            break;
        case Operation::WriteMemory:
            // The processor runs what it was written; it is in step when that is the present
            // configuration.
            if (success && lastWrite_.image == main_.buildImage()) {
                setOutOfStep(false);
            }
            // Real time starts from a written configuration only once the check found it there.
            if (std::exchange(realTimeStart_, RealTimeStart::None) == RealTimeStart::Write) {
                setHeld(false);
                if (success) {
                    main_.setRealTimeMode(true);
                }
            }
            break;
        case Operation::Backup:
        case Operation::Restore:
            later([this, restore = operation == Operation::Restore] { afterBackup(restore); });
            break;
        case Operation::ReadMemory: {
            const ReadPurpose purpose = readPurpose_;
            readPurpose_ = ReadPurpose::None;
            main_.loading().closeWindow();
            setHeld(false);
            if (success && imageLoaded_) {
                setOutOfStep(false);
            }
            // Real time starts only from what the processor runs; a failed read leaves it off.
            if (purpose == ReadPurpose::RealTime && success && imageLoaded_) {
                main_.setRealTimeMode(true);
            }
            break;
        }
        default:
            break;
    }
    refreshControls();
}

void DeviceWorkflow::onMemoryRead(int /*memory*/, const std::vector<std::uint8_t>& image) {
    // The configuration is replaced only by an image that came back whole: the user's answer to
    // the save question was asked before the read, and a read that fails leaves everything as it
    // was.
    main_.newWithoutQuestion();
    imageLoaded_ = main_.loadImage(image);
}

void DeviceWorkflow::startRead(ReadPurpose purpose, int memory) {
    readPurpose_ = purpose;
    imageLoaded_ = false;
    if (!session_.readMemory(memory)) {
        readPurpose_ = ReadPurpose::None;
        setHeld(false);
    }
}

void DeviceWorkflow::read() {
    if (!ready()) {
        return;
    }
    setHeld(true);
    if (!main_.offerToSave()) {
        setHeld(false);
        return;
    }
    startRead(ReadPurpose::Plain, main_.memory());
}

void DeviceWorkflow::write() {
    if (!ready()) {
        return;
    }
    const QString question = QString::fromStdString(link::text::overwriteQuestion(main_.memory()));
    if (dialogs_.message(MessageKind::Warning, question, MessageButtons::YesNoCancel) !=
        Answer::Yes) {
        return;
    }
    startWrite(main_.memory(), main_.buildImage(), verifyWrites_);
}

bool DeviceWorkflow::startWrite(int memory, std::vector<std::uint8_t> image, bool verify) {
    lastWrite_ = {memory, image};
    return session_.writeMemory(memory, std::move(image), verify);
}

void DeviceWorkflow::writeAgain() {
    if (ready() && lastWrite_.memory != 0) {
        startWrite(lastWrite_.memory, lastWrite_.image, true);
    }
}

void DeviceWorkflow::change() {
    if (!ready()) {
        return;
    }
    const QString question = qtext(text::kChangePrefix) + QString::number(main_.memory()) +
                             qtext(text::kChangeMiddle) + qtext(link::text::kProcessorName) +
                             qtext(text::kChangeSuffix);
    if (dialogs_.message(MessageKind::Warning, question, MessageButtons::YesNoCancel) !=
        Answer::Yes) {
        return;
    }
    session_.changeMemory(main_.memory());
}

void DeviceWorkflow::toggleRealTime() {
    if (main_.realTimeMode()) {
        main_.setRealTimeMode(false);
        return;
    }
    if (offline()) {
        dialogs_.inform(qtext(link::text::kOfflineNoRealTime));
        return;
    }
    if (!ready()) {
        return;
    }
    if (!main_.edits().modified()) {
        dialogs_.inform(qtext(link::text::kEnteringRealTime));
        realTimeStart_ = RealTimeStart::Read;
    } else {
        // Reading the processor would replace the unsaved changes: never without the user's say.
        enum { Write, Read, Cancel };
        const int choice = dialogs_.choose(
            MessageKind::Warning, qtext(kRealTimeUnsaved),
            {qtext(kRealTimeWriteChoice), qtext(kRealTimeReadChoice), qtext(kRealTimeCancelChoice)},
            Cancel);
        if (choice == Write) {
            realTimeStart_ = RealTimeStart::Write;
        } else if (choice == Read && main_.offerToSave()) {
            realTimeStart_ = RealTimeStart::ReadDecided;
        } else {
            return;
        }
    }
    setHeld(true);
    // The memory the processor runs is read even when it is a factory memory the selector does
    // not offer (the selector then shows it held to its range): editing must start from what
    // the processor runs.
    activeMemory_ = 0;
    if (!session_.queryActiveMemory(link::MemoryRange::all())) {
        realTimeStart_ = RealTimeStart::None;
        setHeld(false);
    }
}

void DeviceWorkflow::continueRealTimeStart() {
    const RealTimeStart start = realTimeStart_;
    const int memory = activeMemory_ > 0 ? activeMemory_ : main_.memory();
    if (start == RealTimeStart::Write) {
        const QString question = QString::fromStdString(link::text::overwriteQuestion(memory));
        if (dialogs_.message(MessageKind::Warning, question, MessageButtons::YesNoCancel) !=
                Answer::Yes ||
            !startWrite(memory, main_.buildImage(), true)) {
            realTimeStart_ = RealTimeStart::None;
            setHeld(false);
        }
        return;
    }
    realTimeStart_ = RealTimeStart::None;
    if (start != RealTimeStart::ReadDecided && !main_.offerToSave()) {
        setHeld(false);
        return;
    }
    startRead(ReadPurpose::RealTime, memory);
}

void DeviceWorkflow::keyboardLock(bool lock) {
    if (!ready()) {
        return;
    }
    const QString question = qtext(lock ? link::text::kLockQuestion : link::text::kUnlockQuestion);
    if (dialogs_.message(MessageKind::Confirmation, question, MessageButtons::OkCancel) !=
        Answer::Ok) {
        return;
    }
    session_.keyboardLock(lock);
}

bool DeviceWorkflow::beginPassword() {
    if (!ready()) {
        return false;
    }
    setHeld(true);
    return true;
}

void DeviceWorkflow::finishPassword(const std::optional<link::PasswordEntry::Block>& block) {
    if (block && !offline()) {
        session_.setPassword(*block);
    }
    setHeld(false);
}

void DeviceWorkflow::updateFirmware() {
    if (!ready()) {
        return;
    }
    dialogs_.beep();
    if (dialogs_.message(MessageKind::Warning, qtext(link::text::kFirmwareWarning),
                         MessageButtons::YesNo) != Answer::Yes) {
        return;
    }
    const std::optional<QString> path =
        dialogs_.openFile({qtext(text::kFirmwareTitle), qtext(text::kFirmwareFilter), QString()});
    if (!path) {
        return;
    }
    QFile file(*path);
    const QString name = QFileInfo(*path).fileName();
    if (file.size() > kMaxFirmwareTextBytes) {
        dialogs_.error(name + QStringLiteral(" is too large to be a DSP program text. Nothing was "
                                             "sent to the processor."));
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs_.error(QStringLiteral("Cannot read ") + *path + QStringLiteral(": ") +
                       file.errorString());
        return;
    }
    const QByteArray bytes = file.readAll();
    const link::FirmwarePayload payload = link::parseFirmwareText(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!payload.valid()) {
        dialogs_.error(QString::fromStdString(payload.error) +
                       QStringLiteral(" Nothing was sent to the processor."));
        return;
    }
    const Answer backUp = dialogs_.message(MessageKind::Confirmation, qtext(kBackupBeforeFirmware),
                                           MessageButtons::YesNoCancel);
    if (backUp == Answer::Cancel) {
        return;
    }
    if (backUp == Answer::No) {
        session_.updateFirmware(payload.bytes);
        return;
    }
    const std::optional<QString> folder =
        dialogs_.chooseFolder({qtext(kBackupTitle), QString(), backupFolder_});
    if (!folder) {
        dialogs_.inform(qtext(kFirmwareNotLoaded));
        return;
    }
    backupFolder_ = *folder;
    pendingFirmware_ = payload.bytes;
    setHeld(true);
    backupReport_.reset();
    if (!session_.backup(folder->toStdString(),
                         {main_.memoryMinimum(), MainWorkflow::kMemoryMax})) {
        pendingFirmware_.reset();
        setHeld(false);
    }
}

void DeviceWorkflow::continueFirmwareUpdate() {
    const std::vector<std::uint8_t> payload = std::move(*pendingFirmware_);
    pendingFirmware_.reset();
    link::ProcessorBackup::Report notRun;
    notRun.error = "The backup did not run.";
    const link::ProcessorBackup::Report report = backupReport_.value_or(notRun);
    setHeld(false);
    if (!report.complete()) {
        const QString question =
            QStringLiteral(
                "The backup failed, so the memories are not safe:\n%1\n\nDo you want "
                "to load the DSP program anyway? Memories that were not backed up may "
                "be lost if the update does not finish.")
                .arg(problemList(report));
        if (dialogs_.message(MessageKind::Warning, question, MessageButtons::YesNoDefaultNo) !=
            Answer::Yes) {
            dialogs_.inform(qtext(kFirmwareNotLoaded));
            return;
        }
    }
    if (offline()) {
        dialogs_.inform(qtext(kFirmwareNotLoaded));
        return;
    }
    session_.updateFirmware(payload);
}

void DeviceWorkflow::backupProcessor() {
    if (!ready()) {
        return;
    }
    const std::optional<QString> folder =
        dialogs_.chooseFolder({qtext(kBackupTitle), QString(), backupFolder_});
    if (!folder) {
        return;
    }
    backupFolder_ = *folder;
    backupReport_.reset();
    session_.backup(folder->toStdString(), {main_.memoryMinimum(), MainWorkflow::kMemoryMax});
}

void DeviceWorkflow::restoreProcessor() {
    if (!ready()) {
        return;
    }
    const std::optional<QString> folder =
        dialogs_.chooseFolder({qtext(kRestoreTitle), QString(), backupFolder_});
    if (!folder) {
        return;
    }
    const QString question = QStringLiteral(
                                 "Do you want to write the memories backed up in %1 back to the "
                                 "processor? They replace what the memories hold now.")
                                 .arg(*folder);
    if (dialogs_.message(MessageKind::Warning, question, MessageButtons::YesNo) != Answer::Yes) {
        return;
    }
    backupFolder_ = *folder;
    backupReport_.reset();
    session_.restore(folder->toStdString(), {main_.memoryMinimum(), MainWorkflow::kMemoryMax});
}

void DeviceWorkflow::afterBackup(bool restore) {
    if (pendingFirmware_) {
        continueFirmwareUpdate();
        return;
    }
    if (!backupReport_) {
        return;
    }
    const link::ProcessorBackup::Report& report = *backupReport_;
    const QString done = memoriesText(report.saved.size());
    QString text = restore ? done + QStringLiteral(" written back and checked.")
                           : done + QStringLiteral(" backed up in %1%2.")
                                        .arg(backupFolder_,
                                             QString::fromStdString(
                                                 link::text::secondReadsText(report.extraReadMs)));
    if (report.complete()) {
        dialogs_.inform(text);
        return;
    }
    text += QStringLiteral("\n\n") +
            (restore ? QStringLiteral("Not written back:\n") : QStringLiteral("Not backed up:\n")) +
            problemList(report);
    dialogs_.warn(text);
}

void DeviceWorkflow::setOutOfStep(bool outOfStep, int missedEdits) {
    if (outOfStep == outOfStep_ && missedEdits == missedEdits_) {
        return;
    }
    outOfStep_ = outOfStep;
    missedEdits_ = outOfStep ? missedEdits : 0;
    emit outOfStepChanged(outOfStep_, missedEdits_);
}

void DeviceWorkflow::offerResync() {
    if (!outOfStep_ || !ready()) {
        return;
    }
    const int memory = activeMemory_ > 0 ? activeMemory_ : main_.memory();
    const QString question =
        QStringLiteral(
            "The link to the processor was lost during real-time editing, so the "
            "processor is out of step: it does not have the latest edits. Do you want "
            "to write the present configuration to memory %1 (and check it) so that "
            "the processor runs it?")
            .arg(memory);
    if (dialogs_.message(MessageKind::Warning, question, MessageButtons::YesNo) == Answer::Yes) {
        startWrite(memory, main_.buildImage(), true);
    }
}

void DeviceWorkflow::diagnoseLater() {
    if (!std::exchange(diagnoseWanted_, false) ||
        lastOption_.kind == link::LinkOption::Kind::Offline) {
        return;
    }
    diagnosePending_ = true;
    refreshControls();
    QTimer::singleShot(0, this, [this] {
        diagnosePending_ = false;
        session_.diagnose(lastOption_);
        refreshControls();
    });
}

void DeviceWorkflow::copyToAllMemories() {
    if (!ready()) {
        return;
    }
    session_.copyToAllMemories(main_.buildImage(),
                               {main_.memoryMinimum(), MainWorkflow::kMemoryMax});
}

}  // namespace kvn::ui
