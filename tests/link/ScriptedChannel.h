// A serial channel that replays a recorded conversation: every byte the PC sends is checked
// against it, and the processor's chunks are handed out in order. Time-outs cost no time.
#pragma once

#include <string>
#include <vector>

#include "Conversation.h"
#include "link/ByteChannel.h"

namespace kvn::link::test {

class ScriptedChannel : public ByteChannel {
public:
    explicit ScriptedChannel(Conversation conversation) : conversation_(std::move(conversation)) {}

    bool connect() override {
        connected_ = true;
        return true;
    }
    void disconnect() override { connected_ = false; }
    bool connected() const override { return connected_; }
    int sendData(std::span<const std::uint8_t> bytes) override;
    // The next chunk when the processor answers now; empty at a Silence or the end.
    std::vector<std::uint8_t> awaitChunk(int timeoutMs) override;
    // Chunks that have arrived are thrown away.
    void purgeInput() override;
    std::string errorText() const override { return {}; }

    // True when the whole conversation has taken place.
    bool finished() const { return step_ >= conversation_.steps.size(); }
    const Conversation& conversation() const { return conversation_; }

    // Deviations from the conversation, with their place in it.
    std::vector<std::string> faults;
    std::vector<std::uint8_t> allSent;
    int lastTimeoutMs = 0;

private:
    bool at(Conversation::Kind kind) const {
        return step_ < conversation_.steps.size() && conversation_.steps[step_].kind == kind;
    }
    std::string where() const { return " at step " + std::to_string(step_ + 1); }

    Conversation conversation_;
    std::size_t step_ = 0;
    std::size_t offset_ = 0;  // into a Sent step
    bool connected_ = false;
};

}  // namespace kvn::link::test
