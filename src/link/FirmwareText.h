// The DSP operating system as the program carries it: a text of one heading line and 512 lines
// of five entries "0xHH, " (2560 bytes), sent as a 6143-byte payload padded with zeros.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvn::link {

struct FirmwarePayload {
    // 6143 bytes when the text was valid, empty otherwise.
    std::vector<std::uint8_t> bytes;
    // Why the text was refused; empty when it was valid.
    std::string error;

    bool valid() const { return error.empty(); }
};

inline constexpr int kFirmwareLines = 512;
inline constexpr int kFirmwareEntriesPerLine = 5;

// Reads the firmware text: the first line is skipped; each of the next 512 lines holds five
// entries of seven characters whose hexadecimal digits (either case) sit at offsets 7k+2 and
// 7k+3 after "0x"; lines end in "\n" or "\r\n"; only empty lines may follow. Anything else is
// refused with a message naming the first fault, so that a damaged text is never sent.
FirmwarePayload parseFirmwareText(std::string_view text);

}  // namespace kvn::link
