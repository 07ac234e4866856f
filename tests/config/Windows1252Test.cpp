#include "config/Windows1252.h"

#include <gtest/gtest.h>

namespace kvn {
namespace {

TEST(Windows1252, EveryByteComesBackThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(toWindows1252(fromWindows1252(all)), all);
    EXPECT_EQ(fromWindows1252("\x80\x96\xE9\xBA"), "\xE2\x82\xAC\xE2\x80\x93\xC3\xA9\xC2\xBA");
    EXPECT_EQ(fromWindows1252("\x81"), "\xC2\x81");  // undefined in Windows-1252
}

TEST(Windows1252, CharactersWithoutAByteAndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(toWindows1252("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");
    EXPECT_EQ(toWindows1252("\xE4\xB8\xAD\xF0\x9F\x8E\xB5."), "??.");  // CJK, emoji
    EXPECT_EQ(toWindows1252("\x80"), "?");                             // lone continuation
    EXPECT_EQ(toWindows1252("\xE2\x82"
                            "A"),
              "??A");                                      // cut short
    EXPECT_EQ(toWindows1252("\xC0\xAF"), "??");            // overlong '/'
    EXPECT_EQ(toWindows1252("\xED\xA0\x80"), "???");       // surrogate
    EXPECT_EQ(toWindows1252("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(toWindows1252("\xE2"), "?");                 // ends inside a sequence
}

}  // namespace
}  // namespace kvn
