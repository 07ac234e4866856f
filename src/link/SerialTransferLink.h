// The serial link under the transfer protocol: a fresh open for every transfer, replies awaited
// for 2000 ms each, and a silent device reported as a lost connection.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/ByteChannel.h"
#include "link/TransferLink.h"
#include "link/TransferProgress.h"

namespace kvn::link {

class SerialTransferLink final : public TransferLink {
public:
    // `channel` and `progress` must outlive this object. `dropToOffline` is called when the
    // device falls silent or its port is gone; `portName` names the port then.
    SerialTransferLink(ByteChannel& channel, TransferProgress& progress,
                       std::function<void()> dropToOffline, std::string portName = {});

    bool isUsb() const override { return false; }
    bool open() override;
    bool reopen() override;
    void close() override {}
    void release() override;
    void request(std::span<const std::uint8_t> bytes) override;
    void send(std::span<const std::uint8_t> bytes) override;
    std::optional<std::uint8_t> awaitReply() override;
    bool receive(std::span<std::uint8_t> bytes) override;
    void pace(int ms) override { (void)ms; }
    bool sendUnanswered(std::span<const std::uint8_t> message) override;

private:
    // The communication error (or `text` instead), the drop to offline, and the transfer window
    // closed.
    void reportSilence(const std::string& text = {});

    ByteChannel& channel_;
    TransferProgress& progress_;
    std::function<void()> dropToOffline_;
    std::string portName_;
    // Stream bytes that arrived in a chunk beyond what the last receive() needed.
    std::vector<std::uint8_t> pending_;
};

}  // namespace kvn::link
