// Replays a Conversation: checks every byte the PC sends against it and hands out the
// processor's answers in order. Deviations are collected in `faults` with their position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Conversation.h"

namespace kvn::link::test {

class Script {
public:
    explicit Script(Conversation conversation) : conversation_(std::move(conversation)) {}

    // Bytes the PC sent.
    void sent(std::span<const std::uint8_t> bytes);
    // The next whole chunk, when the processor answers now; empty at a Silence or at the end.
    std::vector<std::uint8_t> nextChunk();
    // Up to `count` bytes of what the processor has answered (across chunks).
    std::vector<std::uint8_t> read(std::size_t count);
    // Answers that have arrived are thrown away.
    void purge();

    // True when the whole conversation has taken place.
    bool finished() const { return step_ >= conversation_.steps.size(); }
    const Conversation& conversation() const { return conversation_; }

    std::vector<std::string> faults;
    std::vector<std::uint8_t> allSent;

private:
    bool at(Conversation::Kind kind) const {
        return step_ < conversation_.steps.size() && conversation_.steps[step_].kind == kind;
    }
    void advance() {
        ++step_;
        offset_ = 0;
    }
    std::string where() const;

    Conversation conversation_;
    std::size_t step_ = 0;
    std::size_t offset_ = 0;
};

}  // namespace kvn::link::test
