// A ByteChannel that replays a recorded conversation. Time-outs cost no time.
#pragma once

#include "Script.h"
#include "link/ByteChannel.h"

namespace kvn::link::test {

class ScriptedChannel : public ByteChannel {
public:
    explicit ScriptedChannel(Conversation conversation) : script(std::move(conversation)) {}

    bool connect() override {
        if (refuseConnect) {
            return false;
        }
        if (!connected_) {
            ++connects;
        }
        connected_ = true;
        return true;
    }
    void disconnect() override { connected_ = false; }
    bool connected() const override { return connected_; }
    int sendData(std::span<const std::uint8_t> bytes) override {
        if (!connected_ || bytes.empty()) {
            return 0;
        }
        script.sent(bytes);
        return static_cast<int>(bytes.size());
    }
    std::vector<std::uint8_t> awaitChunk(int timeoutMs) override {
        lastTimeoutMs = timeoutMs;
        return connected_ ? script.nextChunk() : std::vector<std::uint8_t>{};
    }
    void purgeInput() override {
        ++purges;
        script.purge();
    }
    std::string errorText() const override { return {}; }

    Script script;
    bool refuseConnect = false;
    int connects = 0;
    int purges = 0;
    int lastTimeoutMs = 0;

private:
    bool connected_ = false;
};

}  // namespace kvn::link::test
