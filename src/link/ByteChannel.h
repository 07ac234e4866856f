// A byte link to the processor as the transfer protocol sees it: bytes go out, received bytes
// come back in chunks. Implementations: the serial port driver, and the in-process link to the
// virtual processor. Calls block for at most their time-out; one thread uses a channel at a time.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kvn::link {

class ByteChannel {
public:
    virtual ~ByteChannel() = default;

    // Opens the link; does nothing when it is already open. False when it cannot be opened, with
    // the reason in errorText().
    virtual bool connect() = 0;
    // Closes the link; does nothing when it is closed.
    virtual void disconnect() = 0;
    virtual bool connected() const = 0;

    // Queues `bytes` for output and returns once they are queued: the number of bytes written;
    // 0 when not connected or when `bytes` is empty; minus the number written so far when the
    // output stayed full for longer than the output time-out.
    virtual int sendData(std::span<const std::uint8_t> bytes) = 0;

    // Waits up to `timeoutMs` milliseconds for received bytes and returns all bytes received and
    // not yet returned (one chunk, at least one byte). Returns an empty chunk when nothing came in
    // time, when the link is not connected, or when the other end went away (then connected()
    // turns false and errorText() says so).
    virtual std::vector<std::uint8_t> awaitChunk(int timeoutMs) = 0;

    // Discards received bytes that have not been returned yet.
    virtual void purgeInput() = 0;

    // The reason of the last failure, in the operating system's words where it gave any.
    virtual std::string errorText() const = 0;
    // After a connect() that failed: the link is not there at all (no such device, or it was
    // unplugged), as opposed to one another program holds or the user may not open.
    virtual bool missing() const { return false; }
};

}  // namespace kvn::link
