#include "config/Encodings.h"

#include <gtest/gtest.h>

namespace kvn {
namespace {

TEST(Encodings, FixedWordGoldenBytes) {
    EXPECT_EQ(encodeFixedWord(1.0), (Word{0x10, 0x00, 0x00}));
    EXPECT_EQ(encodeFixedWord(-1.0), (Word{0x30, 0x00, 0x00}));
    EXPECT_EQ(encodeFixedWord(0.5), (Word{0x08, 0x00, 0x00}));
    EXPECT_EQ(encodeFixedWord(0.0), (Word{0x00, 0x00, 0x00}));
    // trunc(-1.048576) = -1, the all-ones word.
    EXPECT_EQ(encodeFixedWord(-0.000001), (Word{0x3F, 0xFF, 0xFF}));
    // Truncation towards zero, not flooring.
    EXPECT_EQ(encodeFixedWord(0.9999999), (Word{0x0F, 0xFF, 0xFF}));
    EXPECT_EQ(encodeFixedWord(-1.5), (Word{0x28, 0x00, 0x00}));
}

TEST(Encodings, FixedWordSaturatesInsteadOfWrapping) {
    EXPECT_EQ(encodeFixedWord(1.99999999999), (Word{0x1F, 0xFF, 0xFF}));
    EXPECT_EQ(encodeFixedWord(2.0), (Word{0x1F, 0xFF, 0xFF}));
    EXPECT_EQ(encodeFixedWord(2.5), (Word{0x1F, 0xFF, 0xFF}));
    EXPECT_EQ(encodeFixedWord(1e300), (Word{0x1F, 0xFF, 0xFF}));
    EXPECT_EQ(encodeFixedWord(-2.0), (Word{0x20, 0x00, 0x00}));
    EXPECT_EQ(encodeFixedWord(-7.0), (Word{0x20, 0x00, 0x00}));
    EXPECT_EQ(encodeFixedWord(-1.0 / 0.0), (Word{0x20, 0x00, 0x00}));
}

TEST(Encodings, FixedWordDecodesWhatItEncodes) {
    for (double x :
         {0.0, 1.0, -1.0, 0.5, -0.25, 1.9999990463256836, -2.0, 0.00000095367431640625}) {
        EXPECT_DOUBLE_EQ(decodeFixedWord(encodeFixedWord(x)), x) << x;
    }
}

TEST(Encodings, IntegerWordAndFields) {
    EXPECT_EQ(encodeIntegerWord(1), (Word{0x00, 0x00, 0x01}));
    EXPECT_EQ(encodeIntegerWord(101), (Word{0x00, 0x00, 0x65}));
    EXPECT_EQ(encodeIntegerWord(1920), (Word{0x00, 0x07, 0x80}));
    EXPECT_EQ(encodeIntegerWord(70000), (Word{0x00, 0xFF, 0xFF}));
    EXPECT_EQ(encodeIntegerWord(-3), (Word{0x00, 0x00, 0x00}));
    EXPECT_EQ(decodeIntegerWord(Word{0x00, 0x07, 0x80}), 1920);
    EXPECT_EQ(encodeField16(1000), (std::array<std::uint8_t, 2>{0x03, 0xE8}));
    EXPECT_EQ(encodeField16(123), (std::array<std::uint8_t, 2>{0x00, 0x7B}));
    EXPECT_EQ(decodeField16(0x03, 0xE8), 1000);
    EXPECT_EQ(encodeByteField(193), 0xC1);
    EXPECT_EQ(encodeByteField(-1), 0x00);
    EXPECT_EQ(encodeByteField(300), 0xFF);
}

TEST(Encodings, RoundHalfEven) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-1.2), -1);
    EXPECT_EQ(roundHalfEven(692.81), 693);
}

}  // namespace
}  // namespace kvn
