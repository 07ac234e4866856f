// Manual pages made from the programs' own --help texts at build time, so that the manual and
// the help never tell different stories.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvn::tools {

struct ManPageInfo {
    std::string name;     // "kvn350"
    std::string summary;  // the NAME line after the dash
    std::string version;  // "2.1.0"
    int section = 1;
};

// A help text of a command of the program, shown in a section of its own.
struct CommandHelp {
    std::string title;  // "kvn350 preset import-eq"
    std::string help;
};

// The page in man(7) markup. A help text reads as: a first "Usage:" line (any case) that becomes
// the SYNOPSIS; paragraphs of unindented lines; an unindented line ending in ':' is a heading;
// an indented line is an item, its term separated from its text by two spaces or more, and
// lines indented deeper than the item continue its text. Text is escaped so that no line of a
// help can be read as a markup request.
std::string manPage(const ManPageInfo& info, std::string_view help,
                    const std::vector<CommandHelp>& commands = {});

// The names listed under a "Commands:" or "Subcommands:" heading of a help text, in order.
std::vector<std::string> listedCommands(std::string_view help);

}  // namespace kvn::tools
