// The USB link under the transfer protocol: the device is opened for each transfer and closed at
// its end, a reply is one byte read with a 1000 ms read time-out, and steps are paced.
#pragma once

#include <functional>

#include "link/Sleeper.h"
#include "link/TransferLink.h"
#include "link/TransferProgress.h"
#include "link/UsbDevice.h"

namespace kvn::link {

class UsbTransferLink final : public TransferLink {
public:
    // All references must outlive this object. `dropToOffline` is called when the device falls
    // silent (a read that returns nothing within its time-out).
    UsbTransferLink(UsbDevice& usb, TransferProgress& progress, Sleeper& sleeper,
                    std::function<void()> dropToOffline);

    bool isUsb() const override { return true; }
    bool open() override;
    bool reopen() override;
    void close() override;
    void release() override;
    void request(std::span<const std::uint8_t> bytes) override;
    void send(std::span<const std::uint8_t> bytes) override;
    // A read that returns no byte is no reply, never a stale byte of an earlier read.
    std::optional<std::uint8_t> awaitReply() override;
    // Reads until `bytes` is full; gives up after a few empty reads in a row.
    bool receive(std::span<std::uint8_t> bytes) override;
    void pace(int ms) override;
    bool sendUnanswered(std::span<const std::uint8_t> message) override;

private:
    void reportSilence();

    UsbDevice& usb_;
    TransferProgress& progress_;
    Sleeper& sleeper_;
    std::function<void()> dropToOffline_;
};

}  // namespace kvn::link
