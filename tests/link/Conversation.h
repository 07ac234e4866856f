// A recorded conversation with the processor, kept as text in tests/fixtures/:
//   Sent: 84            bytes the PC sends (several lines may cover one write, or one line several)
//   Recv: 84            one chunk the processor answers with
//   Silence             the processor answers nothing more (a time-out)
//   Info: Sending START...           the transfer window's step text (kept verbatim after "Info: ")
//   Message Error: Comunication...   a message box of that kind (Plain, Information, Warning,
//   Error) # comment
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvn::link::test {

struct Conversation {
    enum class Kind { Sent, Recv, Silence };
    struct Step {
        Kind kind;
        std::vector<std::uint8_t> bytes;
    };

    std::vector<Step> steps;
    // "Info: ..." and "Message Kind: ..." lines in order, as RecordingProgress writes them.
    std::vector<std::string> texts;

    static Conversation parse(const std::string& text);
    // Reads tests/fixtures/<name>.
    static Conversation load(const std::string& name);
};

}  // namespace kvn::link::test
