// USB transfers: every reply is read with its own time-out, and an empty read means silence.
#include "link/UsbTransferLink.h"

#include <algorithm>

#include "link/LinkTexts.h"
#include "link/Pacing.h"

namespace kvn::link {
namespace {
constexpr std::size_t kReadChunk = 64;
}  // namespace

UsbTransferLink::UsbTransferLink(UsbDevice& usb, TransferProgress& progress, Sleeper& sleeper,
                                 std::function<void()> dropToOffline)
    : usb_(usb), progress_(progress), sleeper_(sleeper), dropToOffline_(std::move(dropToOffline)) {}

void UsbTransferLink::reportSilence() {
    progress_.showMessage(MessageKind::Error, text::kUsbNoReply);
    if (dropToOffline_) {
        dropToOffline_();
    }
    progress_.closeWindow();
}

bool UsbTransferLink::open() {
    if (usb_.UsbOpen() != kFtOk) {
        progress_.closeWindow();
        return false;
    }
    // The device echoes START even for a real-time message, which it does not otherwise answer;
    // the converter may still hold that byte from before it was last closed.
    if (usb_.UsbPurge() != kFtOk) {
        usb_.UsbClose();
        progress_.closeWindow();
        return false;
    }
    return true;
}

bool UsbTransferLink::reopen() {
    if (usb_.UsbOpen() != kFtOk) {
        progress_.closeWindow();
        return false;
    }
    return true;
}

void UsbTransferLink::close() {
    usb_.UsbClose();
}

void UsbTransferLink::release() {
    usb_.UsbClose();
}

void UsbTransferLink::request(std::span<const std::uint8_t> bytes) {
    usb_.UsbWrite(bytes);
}

void UsbTransferLink::send(std::span<const std::uint8_t> bytes) {
    usb_.UsbWrite(bytes);
}

std::optional<std::uint8_t> UsbTransferLink::awaitReply() {
    if (usb_.UsbSetTimeouts(pacing::kUsbReadTimeoutMs, pacing::kUsbWriteTimeoutMs) != kFtOk) {
        return std::nullopt;
    }
    std::uint8_t reply = 0;
    const std::uint32_t read = usb_.UsbRead(std::span(&reply, 1));
    if (usb_.UsbStatus() != kFtOk) {
        return std::nullopt;
    }
    if (read == 0) {
        reportSilence();
        return std::nullopt;
    }
    return reply;
}

bool UsbTransferLink::receive(std::span<std::uint8_t> bytes) {
    std::size_t filled = 0;
    int emptyReads = 0;
    while (filled < bytes.size()) {
        if (usb_.UsbSetTimeouts(pacing::kUsbReadTimeoutMs, pacing::kUsbWriteTimeoutMs) != kFtOk) {
            return false;
        }
        // Asking for no more than is still expected keeps a short last block from waiting out
        // the whole read time-out.
        const std::size_t want = std::min(kReadChunk, bytes.size() - filled);
        const std::uint32_t read = usb_.UsbRead(bytes.subspan(filled, want));
        if (usb_.UsbStatus() != kFtOk) {
            return false;
        }
        if (read == 0) {
            if (++emptyReads >= pacing::kUsbMaxEmptyReads) {
                reportSilence();
                return false;
            }
            continue;
        }
        emptyReads = 0;
        filled += read;
    }
    return true;
}

void UsbTransferLink::pace(int ms) {
    sleeper_.sleepMs(ms);
}

bool UsbTransferLink::sendUnanswered(std::span<const std::uint8_t> message) {
    if (usb_.UsbOpen() != kFtOk) {
        return false;
    }
    bool allSent = true;
    for (std::size_t i = 0; i < message.size() && allSent; ++i) {
        allSent = usb_.UsbWrite(message.subspan(i, 1)) == 1 && usb_.UsbStatus() == kFtOk;
    }
    usb_.UsbClose();
    return allSent;
}

}  // namespace kvn::link
