// One byte link as the transfer protocol drives it. The serial and the USB link differ in how a
// transfer opens and closes the link, how a reply is awaited and what a silent device looks
// like; the bytes on the wire are the same.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kvn::link {

class TransferLink {
public:
    virtual ~TransferLink() = default;

    virtual bool isUsb() const = 0;

    // Prepares a transfer with a fresh open and nothing left in the input. False when the link
    // cannot be opened; the reason has been reported.
    virtual bool open() = 0;
    // Opens the link again for the device's stream after a memory request, without discarding
    // anything.
    virtual bool reopen() = 0;
    // Ends a transfer: the USB device is closed; the serial port stays open for the next one.
    virtual void close() = 0;
    // Gives the port up after a memory read or firmware update: the serial port is disconnected,
    // the USB device closed.
    virtual void release() = 0;

    // Sends bytes whose reply is awaited next. Anything received before is stale and is
    // discarded first on links that deliver replies in chunks.
    virtual void request(std::span<const std::uint8_t> bytes) = 0;
    // Sends bytes and discards nothing (stream acknowledgements, bytes with no reply).
    virtual void send(std::span<const std::uint8_t> bytes) = 0;
    // The reply to the last request: the first byte of what arrives next. Empty when nothing came
    // within the reply time-out; the link has then reported the silence, dropped to offline and
    // closed the transfer window.
    virtual std::optional<std::uint8_t> awaitReply() = 0;
    // Fills `bytes` from the device's stream, waiting a reply time-out for each arrival. False
    // when the stream stopped; reported as for awaitReply().
    virtual bool receive(std::span<std::uint8_t> bytes) = 0;
    // The pause between two steps of a transfer: the USB link waits `ms`; the serial link, which
    // waits for every reply as it arrives, does not.
    virtual void pace(int ms) = 0;

    // Sends a real-time message, which the device does not answer, one byte per write, opening
    // the link before and closing it after. False when the link could not be opened or a byte
    // could not be written.
    virtual bool sendUnanswered(std::span<const std::uint8_t> message) = 0;
};

}  // namespace kvn::link
