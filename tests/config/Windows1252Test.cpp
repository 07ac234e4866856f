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
    EXPECT_EQ(fromWindows1252("\x80\x96\xE9\x81"), "\xE2\x82\xAC\xE2\x80\x93\xC3\xA9\xC2\x81");
}

TEST(Windows1252, CharactersWithoutAByteAndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(toWindows1252("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");
    // CJK, emoji, lone continuation, cut short, overlong '/', surrogate, beyond U+10FFFF, end.
    EXPECT_EQ(toWindows1252("\xE4\xB8\xAD\xF0\x9F\x8E\xB5|\x80|\xE2\x82|\xC0\xAF|\xED\xA0\x80|"
                            "\xF4\x90\x80\x80|\xE2"),
              "??|?|??|??|???|????|?");
}

}  // namespace
}  // namespace kvn
