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

namespace kvn::ui {

namespace {

using Operation = link::DeviceSession::Operation;

// A DSP program text is about 18 kB; anything far larger is not one and is not read whole.
constexpr qint64 kMaxFirmwareTextBytes = 1024 * 1024;

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
                }
            });
    connect(&session_, &link::DeviceSession::identified, this,
            [this](bool, const QString& status, bool hideConnectionWindow, bool) {
                if (!status.isEmpty()) {
                    setStatusText(status);
                }
                emit connectionSettled(hideConnectionWindow);
            });
    connect(&session_, &link::DeviceSession::linkDropped, this, [this] {
        // The status line must not go on claiming a connection that is gone.
        setStatusText(qtext(link::text::kStatusOffline));
        emit linkLost();
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
    return !session_.busy() && !held_ && !identifyPending_;
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
            }
            break;
        case Operation::QueryActiveMemory:
            if (!success) {
                setHeld(false);
                break;
            }
            later([this] {
                main_.newConfiguration();
                if (main_.newCancelled()) {
                    setHeld(false);
                    return;
                }
                startRead(ReadPurpose::RealTime, activeMemory_);
            });
            break;
        case Operation::ReadMemory: {
            const ReadPurpose purpose = readPurpose_;
            readPurpose_ = ReadPurpose::None;
            main_.loading().closeWindow();
            setHeld(false);
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
    main_.newConfiguration();
    if (main_.newCancelled()) {
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
    session_.writeMemory(main_.memory(), main_.buildImage());
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
    dialogs_.inform(qtext(link::text::kEnteringRealTime));
    setHeld(true);
    // The memory the processor runs is read even when it is a factory memory the selector does
    // not offer (the selector then shows it held to its range): editing must start from what
    // the processor runs.
    activeMemory_ = 0;
    if (!session_.queryActiveMemory(link::MemoryRange::all())) {
        setHeld(false);
    }
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
    session_.updateFirmware(payload.bytes);
}

void DeviceWorkflow::copyToAllMemories() {
    if (!ready()) {
        return;
    }
    session_.copyToAllMemories(main_.buildImage(),
                               {main_.memoryMinimum(), MainWorkflow::kMemoryMax});
}

}  // namespace kvn::ui
