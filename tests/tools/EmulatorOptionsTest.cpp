// The command line of kvn350-emulator.
#include "tools/EmulatorOptions.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace kvn::tools {
namespace {

// A command line written as one string, split at its blanks.
std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST(EmulatorOptions, EveryOptionIsReadAndExplained) {
    const ParsedOptions parsed = parseEmulatorOptions(
        words("--state /tmp/s.kvs --link=/tmp/kvn --initial-image img.bin --baud 19200 "
              "--command-reply 0x20 --protect 1-3,35 --protect=60 --silence-timeout-ms 500 "
              "--silent-from-byte 12 --wrong-byte data:3=0x7F --disappear-after 100 "
              "--reply-delay-ms 40 --fault-transfers 2"));
    ASSERT_TRUE(parsed.options) << parsed.error;
    const EmulatorOptions& o = *parsed.options;
    EXPECT_FALSE(o.help);
    EXPECT_EQ(o.statePath, "/tmp/s.kvs");
    EXPECT_EQ(o.linkPath, "/tmp/kvn");
    EXPECT_EQ(o.initialImagePath, "img.bin");
    EXPECT_EQ(o.baud, 19200);
    EXPECT_EQ(o.commandReply, 0x20);
    EXPECT_EQ(o.protectedMemories, (std::vector<int>{1, 2, 3, 35, 60}));
    EXPECT_EQ(o.silenceTimeout, emu::Micros(500'000));
    EXPECT_EQ(o.faults.silentFromByte, 12U);
    ASSERT_TRUE(o.faults.wrongByte);
    EXPECT_EQ(o.faults.wrongByte->step, emu::TransferStep::DataBlock);
    EXPECT_EQ(o.faults.wrongByte->block, 3);
    EXPECT_EQ(o.faults.wrongByte->value, 0x7F);
    EXPECT_EQ(o.faults.goneAfterBytes, 100U);
    EXPECT_EQ(o.faults.replyDelay, emu::Micros(40'000));
    EXPECT_EQ(o.faults.faultTransfers, 2U);

    const std::string help = emulatorHelpText();
    for (const char* option :
         {"--state", "--link", "--initial-image", "--baud", "--line-rate", "--command-reply",
          "--protect", "--silence-timeout-ms", "--silent-from-byte", "--wrong-byte",
          "--disappear-after", "--reply-delay-ms", "--fault-transfers", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(EmulatorOptions, DefaultsAndShortForms) {
    const ParsedOptions none = parseEmulatorOptions({});
    ASSERT_TRUE(none.options);
    EXPECT_EQ(none.options->baud, 0);
    EXPECT_EQ(none.options->commandReply, emu::kDefaultCommandReply);
    EXPECT_EQ(none.options->silenceTimeout, emu::kDefaultSilenceTimeout);
    EXPECT_FALSE(none.options->faults.wrongByte);

    const ParsedOptions some = parseEmulatorOptions({"--line-rate", "--wrong-byte=end", "-h"});
    ASSERT_TRUE(some.options) << some.error;
    EXPECT_EQ(some.options->baud, 9600);
    EXPECT_EQ(some.options->faults.wrongByte->step, emu::TransferStep::End);
    EXPECT_FALSE(some.options->faults.wrongByte->value);
    EXPECT_TRUE(some.options->help);
}

TEST(EmulatorOptions, WrongCommandLinesAreRefusedWithTheReason) {
    auto errorOf = [](std::vector<std::string> arguments) {
        const ParsedOptions parsed = parseEmulatorOptions(arguments);
        EXPECT_FALSE(parsed.options);
        return parsed.error;
    };
    EXPECT_EQ(errorOf({"--bogus"}), "unknown option \"--bogus\"");
    EXPECT_EQ(errorOf({"--baud"}), "--baud needs a value");
    EXPECT_EQ(errorOf({"--baud", "fast"}), "--baud: \"fast\" is not a number from 0 to 4000000");
    EXPECT_EQ(errorOf({"--command-reply", "256"}),
              "--command-reply: \"256\" is not a number from 0 to 255");
    EXPECT_EQ(errorOf({"--protect", "0-20"}),
              "--protect: \"0-20\" is not a memory 1..60 or a range of them such as 1-20");
    EXPECT_FALSE(errorOf({"--protect", "30-20"}).empty());
    EXPECT_FALSE(errorOf({"--protect", ","}).empty());
    EXPECT_FALSE(errorOf({"--wrong-byte", "middle"}).empty());
    EXPECT_FALSE(errorOf({"--wrong-byte", "end:2"}).empty()) << "only data takes a block";
    EXPECT_FALSE(errorOf({"--silent-from-byte", "0"}).empty());
    EXPECT_FALSE(errorOf({"--line-rate=9600"}).empty());
}

}  // namespace
}  // namespace kvn::tools
