#include "link/PasswordEntry.h"

#include <gtest/gtest.h>

namespace kvn::link {
namespace {

using Block = PasswordEntry::Block;

TEST(PasswordEntry, KeyScheme_StoresKeyCodesMaskedAndIgnoresASeventhPress) {
    PasswordEntry entry(false);
    entry.up();
    entry.up();
    entry.down();
    entry.enter();
    entry.enter();
    EXPECT_FALSE(entry.complete());
    entry.down();
    EXPECT_TRUE(entry.complete());
    EXPECT_EQ(entry.block(), (Block{1, 1, 2, 3, 3, 2, 0x00}));
    EXPECT_EQ(entry.displayText(), "******");
    entry.up();
    entry.enter();
    EXPECT_EQ(entry.block(), (Block{1, 1, 2, 3, 3, 2, 0x00}));
    EXPECT_EQ(entry.displayText(), "******");
}

TEST(PasswordEntry, LetterScheme_WrapsAndShowsTheLettersUpToThePosition) {
    PasswordEntry entry(true);
    EXPECT_EQ(entry.displayText(), "A");
    entry.down();  // below 'A' comes 'Z'
    EXPECT_EQ(entry.displayText(), "Z");
    entry.up();  // above 'Z' comes 'A'
    entry.up();
    EXPECT_EQ(entry.displayText(), "B");
    entry.enter();
    EXPECT_EQ(entry.displayText(), "BA");
    entry.down();
    entry.enter();
    for (int i = 0; i < 3; ++i) {
        entry.enter();
    }
    EXPECT_EQ(entry.displayText(), "BZAAAA");
    entry.up();
    entry.up();
    entry.up();
    entry.enter();
    EXPECT_TRUE(entry.complete());
    EXPECT_EQ(entry.displayText(), "BZAAAD");
    EXPECT_EQ(entry.block(), (Block{'B', 'Z', 'A', 'A', 'A', 'D', 0x00}));
    entry.down();  // ignored once six letters are in
    EXPECT_EQ(entry.block(), (Block{'B', 'Z', 'A', 'A', 'A', 'D', 0x00}));
}

TEST(PasswordEntry, ActiveSwitchAndClear) {
    PasswordEntry entry(true);
    entry.toggleActive();
    EXPECT_TRUE(entry.active());
    EXPECT_EQ(entry.block()[6], 0xFF);
    entry.toggleActive();
    EXPECT_EQ(entry.block()[6], 0x00);
    entry.toggleActive();
    entry.up();
    entry.enter();
    entry.clear();
    EXPECT_EQ(entry.position(), 0);
    EXPECT_FALSE(entry.active());
    EXPECT_EQ(entry.displayText(), "A");
    EXPECT_EQ(entry.block(), (Block{}));
}

}  // namespace
}  // namespace kvn::link
