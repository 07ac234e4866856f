// Conversation replay.
#include "Script.h"

#include <cstdio>

namespace kvn::link::test {
namespace {
std::string hex(std::uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}
}  // namespace

std::string Script::where() const {
    return " (step " + std::to_string(step_ + 1) + ", byte " + std::to_string(offset_ + 1) + ")";
}

void Script::sent(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) {
        allSent.push_back(byte);
        while (at(Conversation::Kind::Sent) && offset_ >= conversation_.steps[step_].bytes.size()) {
            advance();
        }
        if (!at(Conversation::Kind::Sent)) {
            faults.push_back("sent " + hex(byte) + " where nothing more was to be sent" + where());
            continue;
        }
        const std::uint8_t expected = conversation_.steps[step_].bytes[offset_];
        if (byte != expected) {
            faults.push_back("sent " + hex(byte) + " instead of " + hex(expected) + where());
        }
        if (++offset_ == conversation_.steps[step_].bytes.size()) {
            advance();
        }
    }
}

std::vector<std::uint8_t> Script::nextChunk() {
    if (at(Conversation::Kind::Recv)) {
        std::vector<std::uint8_t> chunk(
            conversation_.steps[step_].bytes.begin() + static_cast<std::ptrdiff_t>(offset_),
            conversation_.steps[step_].bytes.end());
        advance();
        return chunk;
    }
    if (at(Conversation::Kind::Silence)) {
        advance();
    } else if (at(Conversation::Kind::Sent)) {
        faults.push_back("waited for an answer before sending everything" + where());
    }
    return {};
}

std::vector<std::uint8_t> Script::read(std::size_t count) {
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count && at(Conversation::Kind::Recv)) {
        const auto& chunk = conversation_.steps[step_].bytes;
        while (bytes.size() < count && offset_ < chunk.size()) {
            bytes.push_back(chunk[offset_++]);
        }
        if (offset_ == chunk.size()) {
            advance();
        }
    }
    if (bytes.empty()) {
        nextChunk();
    }
    return bytes;
}

void Script::purge() {
    while (at(Conversation::Kind::Recv)) {
        advance();
    }
}

}  // namespace kvn::link::test
