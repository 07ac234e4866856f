// Transfers and memory reads, step by step as the device expects them.
#include "link/TransferProtocol.h"

#include <algorithm>
#include <string>

#include "link/LinkTexts.h"
#include "link/Pacing.h"

namespace kvn::link {
namespace {

using pacing::kUsbReadPauseMs;
using pacing::kUsbStepPauseMs;

std::span<const std::uint8_t> one(const std::uint8_t& byte) {
    return {&byte, 1};
}

}  // namespace

TransferProtocol::TransferProtocol(TransferLink& link, TransferProgress& progress)
    : link_(link), progress_(progress) {}

bool TransferProtocol::fail(TransferFailure failure) {
    failure_ = failure;
    link_.close();
    return false;
}

bool TransferProtocol::failWithInfo(TransferFailure failure, const std::string& info) {
    progress_.setInfo(info);
    link_.pace(kUsbStepPauseMs);
    return fail(failure);
}

std::optional<std::uint8_t> TransferProtocol::ask(const char* info, std::uint8_t byte) {
    if (info != nullptr) {
        progress_.setInfo(info);
    }
    link_.request(one(byte));
    const auto reply = link_.awaitReply();
    if (!reply) {
        fail(TransferFailure::NoReply);
    }
    return reply;
}

bool TransferProtocol::SendTransfer(std::uint8_t command, std::uint8_t program,
                                    std::span<const std::uint8_t> payload, bool showWindow) {
    failure_ = TransferFailure::None;
    activeMemory_.reset();
    if (payload.size() > wire::kBufferBytes) {
        progress_.setInfo(text::kBadLong);
        return fail(TransferFailure::TooLong);
    }
    const auto length = static_cast<int>(payload.size());

    if (showWindow) {
        progress_.showWindow();
    }
    if (!link_.open()) {
        return fail(TransferFailure::LinkUnavailable);
    }
    link_.pace(kUsbStepPauseMs);
    progress_.setGaugeMaximum(length);
    progress_.setGaugePosition(0);

    auto reply = ask(text::kSendingStart, wire::kStart);
    if (!reply) {
        return false;
    }
    if (*reply != wire::kStart) {
        return failWithInfo(TransferFailure::BadStart,
                            text::kBadStartPrefix + std::to_string(*reply) + ")");
    }
    progress_.setInfo(text::kReceivedStart);
    link_.pace(kUsbStepPauseMs);

    reply = ask(text::kSendingCommand, command);
    if (!reply) {
        return false;
    }
    commandReply_ = *reply;
    progress_.setInfo(text::kReceivedCommand);
    link_.pace(kUsbStepPauseMs);

    reply = ask(text::kSendingProgram, program);
    if (!reply) {
        return false;
    }
    std::optional<std::uint8_t> reportedMemory;
    if (*reply == wire::kProtected) {
        // Nothing more is sent, so the memory keeps what it holds: the transfer did not happen.
        progress_.showMessage(MessageKind::Information, text::kMemoryProtected);
        return fail(TransferFailure::MemoryProtected);
    }
    if (command == static_cast<std::uint8_t>(wire::Command::QueryMemory)) {
        reportedMemory = *reply;
    } else if (*reply != program) {
        return failWithInfo(TransferFailure::BadProgram, text::kBadProgram);
    }
    if (*reply == program) {
        progress_.setInfo(text::kReceivedProgram);
    }
    link_.pace(kUsbStepPauseMs);
    link_.send(one(program));

    link_.pace(kUsbStepPauseMs);
    progress_.setInfo(text::kSendingLong);
    const auto lengthHigh = static_cast<std::uint8_t>(length >> 8);
    const auto lengthLow = static_cast<std::uint8_t>(length & 0xFF);
    link_.send(one(lengthHigh));
    reply = ask(nullptr, lengthLow);
    if (!reply) {
        return false;
    }
    if (*reply != lengthLow) {
        return failWithInfo(TransferFailure::BadLong, text::kBadLong);
    }
    progress_.setInfo(text::kReceivedLong);

    link_.pace(kUsbStepPauseMs);
    std::string dataInfo = text::kSendingData;
    if (command == static_cast<std::uint8_t>(wire::Command::WriteMemory) ||
        command == static_cast<std::uint8_t>(wire::Command::RequestMemory)) {
        dataInfo += text::kToMemory + std::to_string(program);
    }
    progress_.setInfo(dataInfo);
    for (std::size_t offset = 0; offset < payload.size(); offset += wire::kBlockBytes) {
        // Block replies carry nothing; only their arrival paces the data.
        link_.request(
            payload.subspan(offset, std::min(wire::kBlockBytes, payload.size() - offset)));
        if (!link_.awaitReply()) {
            return fail(TransferFailure::NoReply);
        }
        progress_.setGaugePosition(
            static_cast<int>(std::min(offset + wire::kBlockBytes, payload.size())));
        link_.pace(kUsbStepPauseMs);
    }

    reply = ask(text::kSendingEnd, wire::kEnd);
    if (!reply) {
        return false;
    }
    if (*reply != wire::kEnd) {
        progress_.showMessage(MessageKind::Plain, text::kError);
        return failWithInfo(TransferFailure::BadEnd, text::kBadEnd);
    }
    progress_.setInfo(text::kReceivedEnd);
    link_.pace(kUsbStepPauseMs);
    progress_.setInfo(text::kCommunicationOk);
    link_.pace(kUsbStepPauseMs);
    link_.close();
    activeMemory_ = reportedMemory;
    progress_.closeWindow();
    return true;
}

std::optional<std::vector<std::uint8_t>> TransferProtocol::ReadMemory(std::uint8_t memory) {
    if (!SendTransfer(wire::Command::RequestMemory, memory, {}, false)) {
        return std::nullopt;
    }
    if (!link_.reopen()) {
        fail(TransferFailure::LinkUnavailable);
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    if (!receiveStream(memory, data)) {
        return std::nullopt;
    }
    return data;
}

bool TransferProtocol::receiveStream(std::uint8_t memory, std::vector<std::uint8_t>& data) {
    std::uint8_t byte = 0;
    auto receiveOne = [&]() { return link_.receive(std::span(&byte, 1)); };
    // The device waits for the PC's echo of each header byte before it sends the next.
    auto receiveAndEcho = [&](const char* info) {
        progress_.setInfo(info);
        link_.pace(kUsbReadPauseMs);
        if (!receiveOne()) {
            return false;
        }
        link_.send(one(byte));
        return true;
    };

    progress_.setInfo(text::kReadProgram);
    link_.pace(kUsbReadPauseMs);
    link_.send(one(wire::kStart));
    progress_.setInfo(text::kStartCommunication);
    link_.pace(kUsbReadPauseMs);

    progress_.setInfo(text::kReceivingBegin);
    link_.pace(kUsbReadPauseMs);
    if (!receiveOne()) {
        return fail(TransferFailure::NoReply);
    }
    if (byte != wire::kStart) {
        // A wrong BEGIN is only shown; the stream goes on.
        progress_.setInfo(link_.isUsb() ? text::kBadBeginUsbPrefix + std::to_string(byte) + ")"
                                        : std::string(text::kBadBeginSerial));
    }
    if (!link_.isUsb()) {
        progress_.setInfo(text::kReceivedBegin);
    }
    link_.send(one(wire::kStart));

    if (!receiveAndEcho(text::kReceivingCommand) || !receiveAndEcho(text::kReceivingProgram) ||
        !receiveAndEcho(text::kReceivingLong)) {
        return fail(TransferFailure::NoReply);
    }
    const std::uint8_t lengthHigh = byte;
    if (!receiveOne()) {
        return fail(TransferFailure::NoReply);
    }
    link_.send(one(byte));
    const std::uint8_t lengthLow = byte;
    progress_.setInfo(text::kReceivedLong);
    const std::size_t length = (static_cast<std::size_t>(lengthHigh) << 8) | lengthLow;
    if (length > wire::kBufferBytes) {
        progress_.setInfo(text::kBadLong);
        return fail(TransferFailure::TooLong);
    }

    data.assign(length, 0);
    int received = 0;
    for (std::size_t offset = 0; offset < length; offset += wire::kBlockBytes) {
        const std::size_t count = std::min(wire::kBlockBytes, length - offset);
        if (!link_.receive(std::span(data).subspan(offset, count))) {
            return fail(TransferFailure::NoReply);
        }
        if (count == wire::kBlockBytes) {
            progress_.showWindow();
            progress_.setInfo(text::kReceiveData);
            link_.pace(kUsbReadPauseMs);
            progress_.setGaugeMaximum(static_cast<int>(length));
            progress_.setInfo(text::kLongPrefix + std::to_string(length));
            received += static_cast<int>(wire::kBlockBytes);
            progress_.setGaugePosition(received);
            progress_.setInfo(text::kReadingConfiguration + std::to_string(memory) +
                              text::kFromThe + text::kProcessorName);
        } else {
            progress_.setInfo(text::kRest);
            progress_.setGaugePosition(static_cast<int>(length));
        }
        // Each block is acknowledged with the last byte received so far.
        link_.send(one(data[offset + count - 1]));
        link_.pace(kUsbReadPauseMs);
    }
    progress_.setInfo(text::kDataReceived);

    progress_.setInfo(text::kReceivingEnd);
    link_.pace(kUsbReadPauseMs);
    if (!receiveOne()) {
        return fail(TransferFailure::NoReply);
    }
    if (byte != wire::kEnd) {
        progress_.setInfo(text::kBadReadEnd);
    }
    link_.send(one(byte));
    progress_.setInfo(text::kReceivedEnd);
    progress_.setInfo(text::kCommunicationIsOk);
    progress_.closeWindow();
    return true;
}

}  // namespace kvn::link
