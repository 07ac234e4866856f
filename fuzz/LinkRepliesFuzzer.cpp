// The transfer protocol against a processor that answers anything: chunks carved from the input
// (a length byte, then that many bytes) answer every request of a transfer and of a memory read.
// The protocol must end (the input runs out as silence) without crashing, and never return more
// than its buffer holds.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/ByteChannel.h"
#include "link/SerialTransferLink.h"
#include "link/TransferProtocol.h"

namespace {

class FuzzChannel : public kvn::link::ByteChannel {
public:
    explicit FuzzChannel(std::span<const std::uint8_t> input) : input_(input) {}
    bool connect() override {
        connected_ = true;
        return true;
    }
    void disconnect() override { connected_ = false; }
    bool connected() const override { return connected_; }
    int sendData(std::span<const std::uint8_t> bytes) override {
        return connected_ ? static_cast<int>(bytes.size()) : 0;
    }
    std::vector<std::uint8_t> awaitChunk(int) override {
        if (!connected_ || input_.empty()) {
            return {};
        }
        const std::size_t length = std::min<std::size_t>(input_[0], input_.size() - 1);
        std::vector<std::uint8_t> chunk(input_.begin() + 1, input_.begin() + 1 + length);
        input_ = input_.subspan(1 + length);
        return chunk;
    }
    void purgeInput() override {}
    std::string errorText() const override { return {}; }

private:
    std::span<const std::uint8_t> input_;
    bool connected_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    FuzzChannel channel(std::span(data + 2, size - 2));
    kvn::link::TransferProgress progress;
    kvn::link::SerialTransferLink link(channel, progress, [] {});
    kvn::link::TransferProtocol protocol(link, progress);
    if (data[0] & 1) {
        const auto image = protocol.ReadMemory(data[1]);
        if (image && image->size() > kvn::link::wire::kBufferBytes) {
            std::abort();
        }
    } else {
        const std::vector<std::uint8_t> payload(data[1], 0x5A);
        protocol.SendTransfer(static_cast<std::uint8_t>(data[0] >> 1), data[1], payload, true);
    }
    return 0;
}
