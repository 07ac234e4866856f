// Fixture parsing.
#include "Conversation.h"

#include "HexBytes.h"

#include "link/TrafficLog.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kvn::link::test {
namespace {

bool startsWith(const std::string& line, const std::string& prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

Conversation Conversation::parse(const std::string& text) {
    Conversation conversation;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        // A conversation saved from the link's traffic record carries time stamps.
        line = withoutTimeStamp(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (startsWith(line, "Sent: ")) {
            conversation.steps.push_back({Kind::Sent, kvn::test::hex(line.substr(6))});
        } else if (startsWith(line, "Recv: ")) {
            conversation.steps.push_back({Kind::Recv, kvn::test::hex(line.substr(6))});
        } else if (line == "Silence") {
            conversation.steps.push_back({Kind::Silence, {}});
        } else if (startsWith(line, "Info: ") || startsWith(line, "Message ")) {
            conversation.texts.push_back(line);
        } else {
            throw std::runtime_error("fixture line not understood: " + line);
        }
    }
    return conversation;
}

Conversation Conversation::load(const std::string& name) {
    std::ifstream file(std::string(KVN_FIXTURE_DIR) + "/" + name, std::ios::binary);
    if (!file) {
        throw std::runtime_error("fixture not found: " + name);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str());
}

}  // namespace kvn::link::test
