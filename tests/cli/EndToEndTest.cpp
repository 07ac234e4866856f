// The kvn350 executable, run as a script would run it.
#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace kvn::cli {
namespace {

using test::runBinary;

TEST(EndToEnd, UsageErrors_ExitOneWithAMessageOnStderr) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"bogus"},
             {"design"},
             {"design", "section", "--type", "1", "--freq", "1000", "--bogus"},
             {"preset", "frobnicate"}}) {
        const auto r = runBinary(args);
        EXPECT_EQ(r.status, 1) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(r.err.empty());
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(EndToEnd, Help_OnEveryLevel_ExitsZero) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"},
                                                                  {"preset", "--help"},
                                                                  {"preset", "diff", "--help"},
                                                                  {"design", "dynamics", "-h"},
                                                                  {"response", "--help"}}) {
        const auto r = runBinary(args);
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_NE(r.out.find("Usage: kvn350"), std::string::npos) << args[0];
    }
    EXPECT_NE(runBinary({"preset", "diff", "--help"}).out.find("Exit status: 0 whether"),
              std::string::npos);
}

}  // namespace
}  // namespace kvn::cli
