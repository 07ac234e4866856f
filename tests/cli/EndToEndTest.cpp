// The kvn350 executable, run as a script would run it.
#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace kvn::cli {
namespace {

using test::runBinary;

TEST(EndToEnd, DesignSection_PrintsGoldenWords) {
    const auto r = runBinary({"design", "section", "--type", "1", "--freq", "1000", "--q", "1.41",
                              "--gain", "6", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(R"("words": ["108157", "2147C8", "0E7ABD", "1EB838", "3103EB"])"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(R"("b0": 1.0315779106167673)"), std::string::npos) << r.out;
}

TEST(EndToEnd, DesignCrossover_BesselAboveLimit_PrintsTheMessage) {
    const auto r = runBinary({"design", "crossover", "--family", "bessel", "--edge", "low-pass",
                              "--order", "2", "--freq", "19000"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Maximum Bessel Cutoff = 18800 for LowPass of order 2"),
              std::string::npos);
}

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
