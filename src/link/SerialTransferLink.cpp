// Serial transfers: replies come in chunks, of which only the first byte answers the request.
#include "link/SerialTransferLink.h"

#include <algorithm>

#include "link/LinkTexts.h"
#include "link/Pacing.h"

namespace kvn::link {

SerialTransferLink::SerialTransferLink(ByteChannel& channel, TransferProgress& progress,
                                       std::function<void()> dropToOffline, std::string portName)
    : channel_(channel),
      progress_(progress),
      dropToOffline_(std::move(dropToOffline)),
      portName_(std::move(portName)) {}

void SerialTransferLink::reportSilence(const std::string& text) {
    channel_.disconnect();
    pending_.clear();
    progress_.showMessage(MessageKind::Error, text.empty() ? text::kSerialNoReply : text);
    if (dropToOffline_) {
        dropToOffline_();
    }
    progress_.closeWindow();
}

bool SerialTransferLink::open() {
    // The device echoes START even for a real-time message, which it does not otherwise answer,
    // so a stray byte may sit in the input; reopening the port and purging clears it.
    channel_.disconnect();
    pending_.clear();
    if (!channel_.connect()) {
        // An adapter unplugged since the link was chosen is named as such.
        reportSilence(channel_.missing() ? text::portMissingText(portName_) : std::string());
        return false;
    }
    channel_.purgeInput();
    return true;
}

bool SerialTransferLink::reopen() {
    if (!channel_.connected()) {
        reportSilence();
        return false;
    }
    return true;
}

void SerialTransferLink::release() {
    pending_.clear();
    channel_.disconnect();
}

void SerialTransferLink::request(std::span<const std::uint8_t> bytes) {
    // A reply is what arrives after its request; a late part of an earlier reply must not be
    // taken for it.
    channel_.purgeInput();
    pending_.clear();
    channel_.sendData(bytes);
}

void SerialTransferLink::send(std::span<const std::uint8_t> bytes) {
    channel_.sendData(bytes);
}

std::optional<std::uint8_t> SerialTransferLink::awaitReply() {
    const std::vector<std::uint8_t> chunk = channel_.awaitChunk(pacing::kSerialReplyTimeoutMs);
    if (chunk.empty()) {
        reportSilence();
        return std::nullopt;
    }
    return chunk.front();
}

bool SerialTransferLink::receive(std::span<std::uint8_t> bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        if (pending_.empty()) {
            pending_ = channel_.awaitChunk(pacing::kSerialReplyTimeoutMs);
            if (pending_.empty()) {
                reportSilence();
                return false;
            }
        }
        const std::size_t take = std::min(pending_.size(), bytes.size() - filled);
        std::copy_n(pending_.begin(), take, bytes.begin() + static_cast<std::ptrdiff_t>(filled));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(take));
        filled += take;
    }
    return true;
}

bool SerialTransferLink::sendUnanswered(std::span<const std::uint8_t> message) {
    if (!channel_.connect()) {
        return false;
    }
    bool allSent = true;
    for (std::size_t i = 0; i < message.size() && allSent; ++i) {
        allSent = channel_.sendData(message.subspan(i, 1)) == 1;
    }
    channel_.disconnect();
    return allSent;
}

}  // namespace kvn::link
