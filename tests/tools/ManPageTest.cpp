// Manual pages from help texts.
#include <gtest/gtest.h>

#include "tools/ManPage.h"

namespace kvn::tools {
namespace {

TEST(ManPage, HelpText_BecomesSynopsisParagraphsHeadingsAndItems) {
    const std::string help =
        "Usage: kvn350 preset show FILE.KV2 [--json]\n"
        "\n"
        "Prints every stored field\n"
        "of a preset file.\n"
        ".KV2 files only; a \\ stays.\n"
        "\n"
        "Options:\n"
        "  --json            print the JSON document\n"
        "  --wrong-byte STEP[:BLOCK]\n"
        "                    a wrong byte at one step:\n"
        "                    start or end\n"
        "  -h, --help        show this help\n";
    EXPECT_EQ(
        manPage({"kvn350", "presets of the KVN 350", "2.1.0", 1}, help,
                {{"kvn350 ports", "usage: kvn350 ports\n\nLists the ports.\n"}}),
        ".TH KVN350 1 \"\" \"kvn350 2.1.0\" \"KVN 350\"\n"
        ".SH NAME\n"
        "kvn350 \\- presets of the KVN 350\n"
        ".SH SYNOPSIS\n"
        "kvn350 preset show FILE.KV2 [\\-\\-json]\n"
        ".SH DESCRIPTION\n"
        ".PP\n"
        "Prints every stored field\n"
        "of a preset file.\n"
        "\\&.KV2 files only; a \\e stays.\n"
        ".SS Options\n"
        ".TP\n\\fB\\-\\-json\\fR\nprint the JSON document\n"
        ".TP\n\\fB\\-\\-wrong\\-byte STEP[:BLOCK]\\fR\na wrong byte at one step:\nstart or end\n"
        ".TP\n\\fB\\-h, \\-\\-help\\fR\nshow this help\n"
        ".SH \"kvn350 ports\"\n"
        ".B kvn350 ports\n"
        ".PP\n"
        "Lists the ports.\n");
    EXPECT_EQ(listedCommands("Usage: x\n\nCommands:\n  preset    files\n  device    talk\n\n"
                             "Run 'x COMMAND --help'.\n"),
              (std::vector<std::string>{"preset", "device"}));
}

}  // namespace
}  // namespace kvn::tools
