#include <gtest/gtest.h>
#include "dsp/TSOS.h"
TEST(TSOS, NewSectionIsUnity) {
    kvn::TSOS s;
    EXPECT_TRUE(s.isUnity());
}
