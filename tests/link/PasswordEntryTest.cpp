#include "link/PasswordEntry.h"

#include <gtest/gtest.h>

namespace kvn::link {
namespace {

using Block = PasswordEntry::Block;

void press(PasswordEntry& entry, const std::string& keys) {
    for (char key : keys) {
        key == 'U' ? entry.up() : key == 'D' ? entry.down() : entry.enter();
    }
}

TEST(PasswordEntry, KeyScheme_StoresKeyCodesMaskedAndIgnoresASeventhPress) {
    PasswordEntry entry(false);
    press(entry, "UUDEE");
    EXPECT_FALSE(entry.complete());
    press(entry, "D");
    EXPECT_TRUE(entry.complete());
    press(entry, "UE");
    EXPECT_EQ(entry.block(), (Block{1, 1, 2, 3, 3, 2, 0x00}));
    EXPECT_EQ(entry.displayText(), "******");
}

TEST(PasswordEntry, LetterScheme_WrapsAndShowsTheLettersUpToThePosition) {
    PasswordEntry entry(true);
    EXPECT_EQ(entry.displayText(), "A");
    press(entry, "D");  // below 'A' comes 'Z'
    EXPECT_EQ(entry.displayText(), "Z");
    press(entry, "UU");  // above 'Z' comes 'A'
    EXPECT_EQ(entry.displayText(), "B");
    press(entry, "EDE");
    EXPECT_EQ(entry.displayText(), "BZA");
    press(entry, "EEEUUUE");
    EXPECT_TRUE(entry.complete());
    press(entry, "D");
    EXPECT_EQ(entry.displayText(), "BZAAAD");
    EXPECT_EQ(entry.block(), (Block{'B', 'Z', 'A', 'A', 'A', 'D', 0x00}));
}

TEST(PasswordEntry, ActiveSwitchAndClear) {
    PasswordEntry entry(true);
    entry.toggleActive();
    EXPECT_EQ(entry.block()[6], 0xFF);
    entry.toggleActive();
    EXPECT_EQ(entry.block()[6], 0x00);
    entry.toggleActive();
    press(entry, "UE");
    entry.clear();
    EXPECT_EQ(entry.position(), 0);
    EXPECT_EQ(entry.displayText(), "A");
    EXPECT_EQ(entry.block(), Block{});
}

}  // namespace
}  // namespace kvn::link
