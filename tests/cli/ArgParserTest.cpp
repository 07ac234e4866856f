#include "cli/ArgParser.h"

#include <gtest/gtest.h>

#include "cli/CliError.h"

namespace kvn::cli {
namespace {

ArgParser sample() {
    ArgParser p("kvn350 thing FILE [OUT]", "Does a thing.");
    p.positional("FILE", "input").positional("OUT", "output", false);
    p.option("freq", "HZ", "frequency").option("output", "FILE", "where", "o").flag("json", "json");
    return p;
}

int usageStatus(const ArgParser& p, const std::vector<std::string>& args) {
    try {
        p.parse(args);
    } catch (const CliError& e) {
        return e.status();
    }
    return 0;
}

TEST(ArgParser, Parse_OptionsInAnyPlace_TakeValuesFlagsAndPositionals) {
    const ParsedArgs a =
        sample().parse({"--freq", "-6.5", "in.KV2", "-o", "x.bin", "--json", "out.KV2"});
    EXPECT_EQ(a.positionals, (std::vector<std::string>{"in.KV2", "out.KV2"}));
    EXPECT_EQ(a.value("freq"), "-6.5");  // a negative number is a value, not an option
    EXPECT_EQ(a.value("output"), "x.bin");
    EXPECT_TRUE(a.has("json"));
    EXPECT_EQ(a.number("freq", 0, -10, 10), -6.5);

    const ParsedArgs b = sample().parse({"--freq=100", "--", "--json"});
    EXPECT_EQ(b.value("freq"), "100");
    EXPECT_EQ(b.positionals, (std::vector<std::string>{"--json"}));
    EXPECT_FALSE(b.has("json"));
    EXPECT_EQ(b.positional(1, "fallback"), "fallback");
}

TEST(ArgParser, Parse_BadArguments_AreUsageErrors) {
    const ArgParser p = sample();
    EXPECT_EQ(usageStatus(p, {"in", "--bogus"}), kExitUsage);
    EXPECT_EQ(usageStatus(p, {"in", "--freq"}), kExitUsage);        // value missing
    EXPECT_EQ(usageStatus(p, {"in", "--json=1"}), kExitUsage);      // flag with a value
    EXPECT_EQ(usageStatus(p, {}), kExitUsage);                      // FILE missing
    EXPECT_EQ(usageStatus(p, {"a", "b", "c"}), kExitUsage);         // one too many
    EXPECT_EQ(usageStatus(p, {"--json", "--help", "--bogus"}), 0);  // help wins
    EXPECT_TRUE(p.parse({"--bogus", "-h"}).help);
}

TEST(ArgParser, Numbers_OutsideRangeOrNotNumbers_AreRefusedNamingTheOption) {
    const ArgParser p = sample();
    for (const char* bad : {"abc", "12x", "", "nan", "inf", "1e999", "20001"}) {
        try {
            p.parse({"in", "--freq", bad}).number("freq", 0, 1, 20000);
            ADD_FAILURE() << bad;
        } catch (const CliError& e) {
            EXPECT_EQ(e.status(), kExitUsage);
            EXPECT_NE(std::string(e.what()).find("--freq"), std::string::npos);
        }
    }
    EXPECT_EQ(p.parse({"in", "--freq", "+20"}).integer("freq", 0, 1, 30), 20);
    EXPECT_THROW(p.parse({"in", "--freq", "2.5"}).integer("freq", 0, 1, 30), CliError);
    EXPECT_EQ(p.parse({"in"}).number("freq", 7.0, 1, 2), 7.0);  // absent: the fallback
}

TEST(ArgParser, HelpText_ListsUsageArgumentsAndOptions) {
    const std::string help = sample().helpText();
    EXPECT_NE(help.find("Usage: kvn350 thing FILE [OUT]"), std::string::npos);
    EXPECT_NE(help.find("-o, --output FILE"), std::string::npos);
    EXPECT_NE(help.find("--freq HZ"), std::string::npos);
    EXPECT_NE(help.find("-h, --help"), std::string::npos);
}

}  // namespace
}  // namespace kvn::cli
