#include "link/FirmwareText.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace kvn::link {
namespace {

// A firmware text whose byte n is (n * 37 + 11) mod 256, entries "0xHH , ", digits in upper case on
// even lines and lower case on odd ones.
std::string firmwareText(const std::string& newline = "\n") {
    std::string text = "const unsigned char Dsp[2560] = {" + newline;
    int n = 0;
    for (int line = 0; line < 512; ++line) {
        for (int entry = 0; entry < 5; ++entry, ++n) {
            char item[8];
            std::snprintf(item, sizeof item, line % 2 ? "0x%02x" : "0x%02X", (n * 37 + 11) & 0xFF);
            text += item;
            text += (line == 511 && entry == 4) ? "" : " , ";
        }
        text += newline;
    }
    return text;
}

TEST(FirmwareText, ValidText_GivesTheBytesPaddedTo6143) {
    for (const std::string newline : {"\n", "\r\n"}) {
        const FirmwarePayload payload = parseFirmwareText(firmwareText(newline));
        ASSERT_TRUE(payload.valid()) << payload.error;
        ASSERT_EQ(payload.bytes.size(), 6143u);
        for (int n = 0; n < 2560; ++n) {
            ASSERT_EQ(payload.bytes[n], (n * 37 + 11) & 0xFF) << "byte " << n;
        }
        for (std::size_t n = 2560; n < payload.bytes.size(); ++n) {
            ASSERT_EQ(payload.bytes[n], 0) << "byte " << n;
        }
    }
    EXPECT_EQ(parseFirmwareText(firmwareText()).bytes[0], 0x0B);
}

TEST(FirmwareText, DamagedText_IsRefusedWithTheFirstFault) {
    const std::string good = firmwareText();
    const std::size_t line2 = good.find('\n') + 1;
    const std::size_t line3 = good.find('\n', line2) + 1;

    std::string badDigit = good;
    badDigit[line3 + 7 * 2 + 3] = 'G';
    EXPECT_EQ(parseFirmwareText(badDigit).error,
              "The DSP program text cannot be used: line 3, entry 3 is not a byte written as "
              "0xHH.");

    std::string shortLine = good;
    shortLine.erase(line2 + 20, line3 - line2 - 21);
    EXPECT_EQ(parseFirmwareText(shortLine).error,
              "The DSP program text cannot be used: line 2 has fewer than 5 entries.");

    const std::string truncated = good.substr(0, good.rfind('\n', good.size() - 2) + 1);
    EXPECT_EQ(parseFirmwareText(truncated).error,
              "The DSP program text cannot be used: it ends at line 512; 513 lines are needed.");

    EXPECT_FALSE(parseFirmwareText(good + "};\n").valid());
    EXPECT_TRUE(parseFirmwareText(good + "\n  \n").valid());
    EXPECT_FALSE(parseFirmwareText("").valid());
    EXPECT_FALSE(parseFirmwareText(std::string(5000, '\0')).valid());
    EXPECT_TRUE(parseFirmwareText(badDigit).bytes.empty());
}

}  // namespace
}  // namespace kvn::link
