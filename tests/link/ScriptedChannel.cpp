// Conversation replay.
#include "ScriptedChannel.h"

namespace kvn::link::test {

int ScriptedChannel::sendData(std::span<const std::uint8_t> bytes) {
    if (!connected_ || bytes.empty()) {
        return 0;
    }
    for (std::uint8_t byte : bytes) {
        allSent.push_back(byte);
        if (!at(Conversation::Kind::Sent)) {
            faults.push_back("sent " + std::to_string(byte) + " unasked" + where());
            continue;
        }
        const auto& expected = conversation_.steps[step_].bytes;
        if (byte != expected[offset_]) {
            faults.push_back("sent " + std::to_string(byte) + " instead of " +
                             std::to_string(expected[offset_]) + where());
        }
        if (++offset_ == expected.size()) {
            ++step_;
            offset_ = 0;
        }
    }
    return static_cast<int>(bytes.size());
}

std::vector<std::uint8_t> ScriptedChannel::awaitChunk(int timeoutMs) {
    lastTimeoutMs = timeoutMs;
    if (connected_ && at(Conversation::Kind::Recv)) {
        return conversation_.steps[step_++].bytes;
    }
    if (at(Conversation::Kind::Silence)) {
        ++step_;
    } else if (at(Conversation::Kind::Sent)) {
        faults.push_back("waited before sending everything" + where());
    }
    return {};
}

void ScriptedChannel::purgeInput() {
    while (at(Conversation::Kind::Recv)) {
        ++step_;
    }
}

}  // namespace kvn::link::test
