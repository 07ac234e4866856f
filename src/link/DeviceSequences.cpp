// Device operations as sequences of transfers.
#include "link/DeviceSequences.h"

#include <chrono>
#include <string>

#include "config/ImageConsistency.h"

#include "link/LinkTexts.h"
#include "link/Pacing.h"
#include "link/WireFormat.h"

namespace kvn::link {
namespace {

int msSince(std::chrono::steady_clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count());
}

// What two images that should be the same differ in, in a few words.
std::string imageDifferences(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    const ImageCheck check = compareImages(a, b);
    std::string text;
    for (const PresetText::Difference& d : check.fields) {
        text += (text.empty() ? "" : ", ") + d.path;
    }
    for (const std::string& part : check.otherParts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

}  // namespace

DeviceSequences::DeviceSequences(DeviceLink& link, TransferProgress& progress, Sleeper& sleeper)
    : link_(link), progress_(progress), sleeper_(sleeper) {}

TransferProtocol* DeviceSequences::begin() {
    if (!link_.prepare()) {
        return nullptr;
    }
    return link_.protocol();
}

bool DeviceSequences::validMemory(int memory) {
    if (MemoryRange::all().contains(memory)) {
        return true;
    }
    progress_.showMessage(MessageKind::Error, text::kNoSuchMemoryPrefix + std::to_string(memory) +
                                                  text::kNoSuchMemorySuffix);
    return false;
}

void DeviceSequences::afterUsbFailure(const TransferProtocol& protocol) {
    if (link_.option().kind != LinkOption::Kind::Usb ||
        protocol.lastFailure() == TransferFailure::MemoryProtected) {
        return;
    }
    // The protocol has closed the device already.
    progress_.closeWindow();
    progress_.showMessage(MessageKind::Warning, text::kReconnect);
    progress_.reconnectRequested();
}

void DeviceSequences::noteFailure(const TransferProtocol* protocol) {
    if (protocol == nullptr) {
        lastFailure_ = link_.offline() ? "the link to the processor is offline"
                                       : "the link could not be opened";
        return;
    }
    switch (protocol->lastFailure()) {
        case TransferFailure::LinkUnavailable:
            lastFailure_ = "the link could not be opened";
            break;
        case TransferFailure::NoReply:
            lastFailure_ = "the processor did not answer";
            break;
        case TransferFailure::MemoryProtected:
            lastFailure_ = "the memory is protected";
            break;
        case TransferFailure::TooLong:
            lastFailure_ = "the processor announced more data than a memory holds";
            break;
        default:
            lastFailure_ = "the processor's answer was not valid";
            break;
    }
}

bool DeviceSequences::WriteMemory(int memory, std::span<const std::uint8_t> image) {
    lastFailure_.clear();
    if (!validMemory(memory)) {
        lastFailure_ = "there is no such memory";
        return false;
    }
    TransferProtocol* protocol = begin();
    if (protocol == nullptr) {
        noteFailure(nullptr);
        return false;
    }
    const auto program = static_cast<std::uint8_t>(memory);
    if (!protocol->SendTransfer(wire::Command::WriteMemory, program, image, true)) {
        noteFailure(protocol);
        afterUsbFailure(*protocol);
        return false;
    }
    if (!protocol->SendTransfer(wire::Command::RecallMemory, program, {}, true)) {
        noteFailure(protocol);
        return false;
    }
    sleeper_.sleepMs(pacing::kAfterWriteSettleMs);
    return true;
}

std::optional<DeviceSequences::Verification> DeviceSequences::VerifyMemory(
    int memory, std::span<const std::uint8_t> image) {
    const auto start = std::chrono::steady_clock::now();
    progress_.showWindow();
    progress_.setInfo(text::verifyingText(memory));
    const auto readBack = ReadMemory(memory);
    if (!readBack) {
        return std::nullopt;
    }
    Verification result;
    result.memory = memory;
    result.check = compareImages(image, *readBack);
    result.elapsedMs = msSince(start);
    // The read closed the window; the outcome stays on view until the user closes it.
    progress_.showWindow();
    progress_.setInfo(
        (result.passed() ? text::verifiedText(memory) : text::notVerifiedText(memory)) +
        text::checkTimeText(result.elapsedMs));
    return result;
}

bool DeviceSequences::ChangeMemory(int memory) {
    if (!validMemory(memory)) {
        return false;
    }
    TransferProtocol* protocol = begin();
    return protocol != nullptr &&
           protocol->SendTransfer(wire::Command::RecallMemory, static_cast<std::uint8_t>(memory),
                                  {}, true);
}

std::optional<std::vector<std::uint8_t>> DeviceSequences::ReadMemory(int memory) {
    return readChecked(memory, true);
}

std::optional<std::vector<std::uint8_t>> DeviceSequences::readChecked(int memory, bool tell) {
    lastFailure_.clear();
    lastReadWarning_.clear();
    if (!validMemory(memory)) {
        lastFailure_ = "there is no such memory";
        return std::nullopt;
    }
    TransferProtocol* protocol = begin();
    if (protocol == nullptr) {
        noteFailure(nullptr);
        return std::nullopt;
    }
    // A transfer that damaged a byte is unlikely to damage the next one too: one more read.
    std::optional<std::vector<std::uint8_t>> image;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        sleeper_.sleepMs(pacing::kBeforeReadMs);
        image = protocol->ReadMemory(static_cast<std::uint8_t>(memory));
        if (!image) {
            noteFailure(protocol);
            break;
        }
        const ImageConsistency check = checkImageConsistency(*image);
        if (check.sound()) {
            lastReadWarning_ = check.warning();
            break;
        }
        if (attempt == 1) {
            progress_.setInfo(text::rereadingText(memory));
            continue;
        }
        image.reset();
        lastFailure_ = "the memory came back damaged at two reads in a row: " + check.problem();
        if (tell) {
            progress_.showMessage(MessageKind::Error,
                                  text::damagedReadText(memory, check.problem()));
        }
    }
    if (TransferLink* link = link_.transferLink()) {
        link->release();
    }
    return image;
}

std::optional<DeviceSequences::ConfirmedRead> DeviceSequences::ReadMemoryConfirmed(int memory,
                                                                                   bool tell) {
    auto first = readChecked(memory, tell);
    if (!first) {
        return std::nullopt;
    }
    const std::string firstWarning = lastReadWarning_;
    const auto start = std::chrono::steady_clock::now();
    progress_.setInfo(text::confirmingText(memory));
    auto second = readChecked(memory, tell);
    if (!second) {
        return std::nullopt;
    }
    ConfirmedRead result{std::move(*first), 2, 0};
    lastReadWarning_ = firstWarning;
    if (*second != result.bytes) {
        auto third = readChecked(memory, tell);
        if (!third) {
            return std::nullopt;
        }
        if (*third != result.bytes && *third != *second) {
            const std::string differences = imageDifferences(result.bytes, *second);
            lastFailure_ = "three reads gave three different images (" + differences + ")";
            if (tell) {
                progress_.showMessage(MessageKind::Error,
                                      text::unconfirmedReadText(memory, differences));
            }
            return std::nullopt;
        }
        result.bytes = std::move(*third);
        result.reads = 3;
    }
    result.extraMs = msSince(start);
    return result;
}

bool DeviceSequences::KeyboardLock(bool lock) {
    TransferProtocol* protocol = begin();
    const std::uint8_t state = lock ? wire::kKeyboardLocked : wire::kKeyboardUnlocked;
    return protocol != nullptr &&
           protocol->SendTransfer(wire::Command::KeyboardLock, 0, std::span(&state, 1), true);
}

bool DeviceSequences::SetPassword(std::span<const std::uint8_t> block) {
    if (block.size() != wire::kPasswordBlockBytes) {
        return false;
    }
    TransferProtocol* protocol = begin();
    return protocol != nullptr &&
           protocol->SendTransfer(wire::Command::SetPassword, 0, block, true);
}

bool DeviceSequences::FirmwareUpdate(std::span<const std::uint8_t> payload) {
    if (payload.size() != wire::kFirmwarePayloadBytes) {
        return false;
    }
    progress_.showWindow();
    TransferProtocol* protocol = begin();
    if (protocol == nullptr) {
        progress_.closeWindow();
        return false;
    }
    const bool done = protocol->SendTransfer(wire::Command::LoadFirmware, wire::kFirmwareProgram,
                                             payload, true) &&
                      protocol->SendTransfer(wire::Command::FirmwareDone, 0, {}, true);
    if (TransferLink* link = link_.transferLink()) {
        link->release();
    }
    return done;
}

bool DeviceSequences::CopyToAllMemories(std::span<const std::uint8_t> image, MemoryRange range) {
    range.minimum = MemoryRange::all().clamp(range.minimum);
    range.maximum = MemoryRange::all().clamp(range.maximum);
    TransferProtocol* protocol = begin();
    if (protocol == nullptr) {
        return false;
    }
    for (int memory = range.minimum; memory <= range.maximum; ++memory) {
        sleeper_.sleepMs(pacing::kBeforeCopyWriteMs);
        if (!protocol->SendTransfer(wire::Command::WriteMemory, static_cast<std::uint8_t>(memory),
                                    image, true)) {
            return false;
        }
        sleeper_.sleepMs(pacing::kAfterWriteSettleMs);
    }
    return true;
}

std::optional<int> DeviceSequences::QueryActiveMemory(MemoryRange range) {
    TransferProtocol* protocol = link_.protocol();
    if (protocol == nullptr) {
        return std::nullopt;
    }
    if (!protocol->SendTransfer(wire::Command::QueryMemory, 0, {}, true)) {
        afterUsbFailure(*protocol);
        return std::nullopt;
    }
    return range.clamp(protocol->activeMemory().value_or(0));
}

std::optional<DeviceSequences::MemoryImage> DeviceSequences::EnterRealTime(MemoryRange range) {
    const auto memory = QueryActiveMemory(range);
    if (!memory) {
        return std::nullopt;
    }
    auto bytes = ReadMemory(*memory);
    if (!bytes) {
        return std::nullopt;
    }
    return MemoryImage{*memory, std::move(*bytes)};
}

}  // namespace kvn::link
