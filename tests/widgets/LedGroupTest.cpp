#include "widgets/LedGroup.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <memory>

#include "widgets/LedButton.h"

namespace kvn::widgets {
namespace {

class LedGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto& b : buttons) {
            b = std::make_unique<LedButton>();
            group.addButton(b.get());
        }
    }
    LedGroup group;
    std::unique_ptr<LedButton> buttons[3];
};

TEST_F(LedGroupTest, AClickLeavesExactlyTheClickedMemberLit) {
    QSignalSpy selected(&group, &LedGroup::selected);
    QSignalSpy ownClick(buttons[1].get(), &LedButton::clicked);
    group.select(0);
    EXPECT_EQ(selected.size(), 0);

    buttons[1]->click();
    EXPECT_FALSE(buttons[0]->isLit());
    EXPECT_TRUE(buttons[1]->isLit());
    EXPECT_FALSE(buttons[2]->isLit());
    EXPECT_EQ(group.selectedIndex(), 1);
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0][0].toInt(), 1);
    EXPECT_FALSE(ownClick[0][0].toBool());

    // Clicking the lit member keeps it lit; its handler still learns it was lit.
    buttons[1]->click();
    EXPECT_TRUE(buttons[1]->isLit());
    EXPECT_EQ(group.selectedIndex(), 1);
    EXPECT_TRUE(ownClick[1][0].toBool());
}

TEST_F(LedGroupTest, MembersAreCountedOnceAndLeaveWhenDestroyed) {
    EXPECT_EQ(group.addButton(buttons[2].get()), 2);
    EXPECT_EQ(group.count(), 3);
    buttons[0].reset();
    EXPECT_EQ(group.count(), 2);
    buttons[2]->click();
    EXPECT_EQ(group.selectedIndex(), 1);
}

}  // namespace
}  // namespace kvn::widgets
