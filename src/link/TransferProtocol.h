// The memory transfer protocol: a PC-to-device transfer (START, COMMAND, PROGRAM NUMBER, LONG,
// 64-byte blocks, END, most bytes answered by one byte) and the device-to-PC stream of a memory
// read. Plain, blocking code: it runs on a worker thread in the editor.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/TransferLink.h"
#include "link/TransferProgress.h"
#include "link/WireFormat.h"

namespace kvn::link {

// Why the last transfer or read failed.
enum class TransferFailure {
    None,
    LinkUnavailable,  // the link could not be opened
    NoReply,          // the device fell silent; the link is offline
    BadStart,
    MemoryProtected,  // the device answered 0xFF to PROGRAM NUMBER; nothing was sent after it
    BadProgram,
    BadLong,
    BadEnd,
    TooLong,  // a payload or announced image longer than the transfer buffer
};

class TransferProtocol {
public:
    // `link` and `progress` must outlive this object.
    TransferProtocol(TransferLink& link, TransferProgress& progress);

    // Sends one transfer with `payload` as its data (its size is LONG; at most 32768 bytes).
    // Shows the transfer window first when `showWindow`. True only when the device confirmed
    // END; on failure the reason is in lastFailure() and has been shown in the window or a box.
    // The USB device is closed at the end either way; the serial port stays open.
    bool SendTransfer(std::uint8_t command, std::uint8_t program,
                      std::span<const std::uint8_t> payload, bool showWindow);
    bool SendTransfer(wire::Command command, std::uint8_t program,
                      std::span<const std::uint8_t> payload, bool showWindow) {
        return SendTransfer(static_cast<std::uint8_t>(command), program, payload, showWindow);
    }

    // Requests `memory` (command 4) and receives its image: the returned bytes are the data the
    // device streamed, as many as it announced (for a memory image, starting with the image's
    // own length field). Empty on failure. The link is left open; the caller releases it.
    std::optional<std::vector<std::uint8_t>> ReadMemory(std::uint8_t memory);

    // The device's answer to COMMAND in the last transfer that got that far.
    std::uint8_t CommandReply() const { return commandReply_; }
    // After a successful QueryMemory transfer: the device's active memory.
    std::optional<std::uint8_t> activeMemory() const { return activeMemory_; }
    TransferFailure lastFailure() const { return failure_; }

private:
    bool fail(TransferFailure failure);
    bool failWithInfo(TransferFailure failure, const std::string& info);
    bool receiveStream(std::uint8_t memory, std::vector<std::uint8_t>& data);
    // Shows `info` (when given), sends `byte` and waits for its answer; without one the transfer
    // has failed.
    std::optional<std::uint8_t> ask(const char* info, std::uint8_t byte);

    TransferLink& link_;
    TransferProgress& progress_;
    std::uint8_t commandReply_ = 0;
    std::optional<std::uint8_t> activeMemory_;
    TransferFailure failure_ = TransferFailure::None;
};

}  // namespace kvn::link
