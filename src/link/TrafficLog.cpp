// The traffic record.
#include "link/TrafficLog.h"

#include <cstdio>

#include "config/AtomicFile.h"

namespace kvn::link {
namespace {

std::string hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += text.empty() ? "" : " ";
        text += pair;
    }
    return text;
}

const char* kindName(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return "Information";
        case MessageKind::Warning:
            return "Warning";
        case MessageKind::Error:
            return "Error";
        case MessageKind::Plain:
            break;
    }
    return "Plain";
}

}  // namespace

TrafficLog::TrafficLog(std::size_t maxLines)
    : maxLines_(maxLines == 0 ? 1 : maxLines), start_(std::chrono::steady_clock::now()) {}

void TrafficLog::add(std::string line) {
    if (!recording_) {
        return;
    }
    std::lock_guard lock(mutex_);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start_)
                        .count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%6lld ms] ", static_cast<long long>(ms));
    lines_.push_back(stamp + line);
    if (lines_.size() > maxLines_) {
        lines_.pop_front();
        ++dropped_;
    }
}

void TrafficLog::sent(std::span<const std::uint8_t> bytes) {
    if (!bytes.empty()) {
        add("Sent: " + hex(bytes));
    }
}

void TrafficLog::received(std::span<const std::uint8_t> bytes) {
    if (!bytes.empty()) {
        add("Recv: " + hex(bytes));
    }
}

void TrafficLog::silence() {
    add("Silence");
}

void TrafficLog::info(const std::string& text) {
    add("Info: " + text);
}

void TrafficLog::message(MessageKind kind, const std::string& text) {
    // A message box may hold several lines; the record keeps one line per entry.
    std::string flat = text;
    for (char& c : flat) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    add(std::string("Message ") + kindName(kind) + ": " + flat);
}

void TrafficLog::note(const std::string& text) {
    add("# " + text);
}

std::size_t TrafficLog::count() const {
    std::lock_guard lock(mutex_);
    return dropped_ + lines_.size();
}

std::vector<std::string> TrafficLog::linesFrom(std::size_t first, std::size_t* next) const {
    std::lock_guard lock(mutex_);
    if (next != nullptr) {
        *next = dropped_ + lines_.size();
    }
    const std::size_t from = first > dropped_ ? first - dropped_ : 0;
    if (from >= lines_.size()) {
        return {};
    }
    return {lines_.begin() + static_cast<std::ptrdiff_t>(from), lines_.end()};
}

std::string TrafficLog::text() const {
    std::lock_guard lock(mutex_);
    std::string out =
        "# KVN 350 link traffic: [time since the record began] Sent/Recv bytes in hexadecimal,\n"
        "# the step texts (Info) and messages the user saw.\n";
    if (dropped_ > 0) {
        out += "# " + std::to_string(dropped_) + " earlier lines were dropped.\n";
    }
    for (const std::string& line : lines_) {
        out += line;
        out += '\n';
    }
    return out;
}

bool TrafficLog::save(const std::filesystem::path& path, std::string& error) const {
    return writeFileAtomically(path, text(), error);
}

void TrafficLog::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
    dropped_ = 0;
    start_ = std::chrono::steady_clock::now();
}

std::string withoutTimeStamp(const std::string& line) {
    if (line.empty() || line.front() != '[') {
        return line;
    }
    const std::size_t close = line.find("] ");
    return close == std::string::npos ? line : line.substr(close + 2);
}

void LoggingProgress::setInfo(const std::string& text) {
    log_.info(text);
    inner_.setInfo(text);
}

void LoggingProgress::showMessage(MessageKind kind, const std::string& text) {
    log_.message(kind, text);
    inner_.showMessage(kind, text);
}

void LoggingProgress::linkDropped() {
    log_.note("the link dropped to offline");
    inner_.linkDropped();
}

}  // namespace kvn::link
