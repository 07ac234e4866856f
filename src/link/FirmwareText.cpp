// Firmware text parsing.
#include "link/FirmwareText.h"

#include <optional>

#include "link/WireFormat.h"

namespace kvn::link {
namespace {

constexpr std::size_t kEntryWidth = 7;
constexpr std::string_view kRefused = "The DSP program text cannot be used: ";

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

FirmwarePayload refuse(const std::string& reason) {
    return {{}, std::string(kRefused) + reason};
}

// Splits off the next line (without its "\n" or "\r\n"); false at the end of the text.
bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) {
        return false;
    }
    const std::size_t end = text.find('\n');
    line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return true;
}

}  // namespace

FirmwarePayload parseFirmwareText(std::string_view text) {
    std::string_view line;
    if (!nextLine(text, line)) {
        return refuse("the text is empty.");
    }
    FirmwarePayload payload;
    payload.bytes.assign(wire::kFirmwarePayloadBytes, 0);
    std::size_t filled = 0;
    for (int lineIndex = 0; lineIndex < kFirmwareLines; ++lineIndex) {
        const std::string lineName = "line " + std::to_string(lineIndex + 2);
        if (!nextLine(text, line)) {
            return refuse("it ends at line " + std::to_string(lineIndex + 1) + "; " +
                          std::to_string(kFirmwareLines + 1) + " lines are needed.");
        }
        for (int entry = 0; entry < kFirmwareEntriesPerLine; ++entry) {
            const std::size_t at = kEntryWidth * static_cast<std::size_t>(entry);
            const std::string entryName = lineName + ", entry " + std::to_string(entry + 1);
            if (line.size() < at + 4) {
                return refuse(lineName + " has fewer than " +
                              std::to_string(kFirmwareEntriesPerLine) + " entries.");
            }
            const auto high = hexDigit(line[at + 2]);
            const auto low = hexDigit(line[at + 3]);
            if (line[at] != '0' || (line[at + 1] != 'x' && line[at + 1] != 'X') || !high || !low) {
                return refuse(entryName + " is not a byte written as 0xHH.");
            }
            payload.bytes[filled++] = static_cast<std::uint8_t>(*high * 16 + *low);
        }
    }
    while (nextLine(text, line)) {
        if (line.find_first_not_of(" \t") != std::string_view::npos) {
            return refuse("there is more text after the " + std::to_string(kFirmwareLines) +
                          " lines of bytes.");
        }
    }
    return payload;
}

}  // namespace kvn::link
