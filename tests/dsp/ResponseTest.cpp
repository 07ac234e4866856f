#include <gtest/gtest.h>
#include "dsp/Response.h"
TEST(Response, GridEnds) {
    EXPECT_EQ(kvn::responseGrid().GridHz[0], 20);
}
