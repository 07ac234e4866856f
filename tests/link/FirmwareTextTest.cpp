#include "link/FirmwareText.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace kvn::link {
namespace {

// Byte n is (n * 37 + 11) mod 256, in entries "0xHH , ", upper case digits on even lines and
// lower case on odd ones; the last entry has no comma.
std::string firmwareText(const std::string& newline = "\n") {
    std::string text = "const unsigned char Dsp[2560] = {" + newline;
    for (int n = 0; n < 2560; ++n) {
        char entry[8];
        std::snprintf(entry, sizeof entry, (n / 5) % 2 ? "0x%02x" : "0x%02X", (n * 37 + 11) & 0xFF);
        text += entry + std::string(n == 2559 ? "" : " , ") + (n % 5 == 4 ? newline : "");
    }
    return text;
}

TEST(FirmwareText, ValidText_GivesTheBytesPaddedTo6143) {
    for (const std::string newline : {"\n", "\r\n"}) {
        const FirmwarePayload payload = parseFirmwareText(firmwareText(newline));
        ASSERT_TRUE(payload.valid()) << payload.error;
        ASSERT_EQ(payload.bytes.size(), 6143u);
        for (std::size_t n = 0; n < payload.bytes.size(); ++n) {
            ASSERT_EQ(payload.bytes[n], n < 2560 ? (n * 37 + 11) & 0xFF : 0) << "byte " << n;
        }
    }
    EXPECT_TRUE(parseFirmwareText(firmwareText() + "\n  \n").valid());
}

TEST(FirmwareText, DamagedText_IsRefusedWithTheFirstFault) {
    const std::string good = firmwareText();
    const std::size_t line2 = good.find('\n') + 1;
    const std::size_t line3 = good.find('\n', line2) + 1;
    const std::string refused = "The DSP program text cannot be used: ";

    std::string badDigit = good;
    badDigit[line3 + 7 * 2 + 3] = 'G';
    EXPECT_EQ(parseFirmwareText(badDigit).error,
              refused + "line 3, entry 3 is not a byte written as 0xHH.");
    EXPECT_TRUE(parseFirmwareText(badDigit).bytes.empty());
    std::string shortLine = good;
    shortLine.erase(line2 + 20, line3 - line2 - 21);
    EXPECT_EQ(parseFirmwareText(shortLine).error, refused + "line 2 has fewer than 5 entries.");
    const std::string truncated = good.substr(0, good.rfind('\n', good.size() - 2) + 1);
    EXPECT_EQ(parseFirmwareText(truncated).error,
              refused + "it ends at line 512; 513 lines are needed.");
    EXPECT_FALSE(parseFirmwareText(good + "};\n").valid());
    EXPECT_FALSE(parseFirmwareText("").valid());
    EXPECT_FALSE(parseFirmwareText(std::string(5000, '\0')).valid());
}

}  // namespace
}  // namespace kvn::link
