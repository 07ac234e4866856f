#include "link/AccessCode.h"

#include <gtest/gtest.h>

namespace kvn::link {
namespace {

TEST(AccessCode, RightCodeOpensAllMemoriesOthersCloseThemAgain) {
    const auto opened = applyAccessCode("7939", 30);
    EXPECT_TRUE(opened.unprotected);
    EXPECT_EQ(opened.range.minimum, 1);
    EXPECT_EQ(opened.range.maximum, 60);
    EXPECT_EQ(opened.memory, 30);

    // A wrong code while the selector shows a factory memory raises it to 21.
    const auto closed = applyAccessCode("7938", 5);
    EXPECT_FALSE(closed.unprotected);
    EXPECT_EQ(closed.range.minimum, 21);
    EXPECT_EQ(closed.memory, 21);
    EXPECT_EQ(applyAccessCode("", 44).memory, 44);
    EXPECT_FALSE(applyAccessCode("79390", 44).unprotected);
}

}  // namespace
}  // namespace kvn::link
