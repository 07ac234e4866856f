// Help texts as manual pages.
#include "tools/ManPage.h"

#include <algorithm>
#include <cctype>

namespace kvn::tools {
namespace {

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::size_t indentOf(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? line.size() : first;
}

bool blank(std::string_view line) {
    return indentOf(line) == line.size();
}

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Backslashes and hyphens as man(7) wants them; a leading '.' or '\'' would be a request.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

bool startsWithUsage(std::string_view line) {
    const std::string_view t = trimmed(line);
    if (t.size() < 6) {
        return false;
    }
    std::string head(t.substr(0, 6));
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return head == "usage:";
}

// The position where an item's text starts after its term: the first run of two spaces or more
// after the indentation; npos for a term without text on its line.
std::size_t itemTextStart(std::string_view line) {
    const std::size_t gap = line.find("  ", indentOf(line));
    if (gap == std::string_view::npos) {
        return gap;
    }
    const std::size_t text = line.find_first_not_of(' ', gap);
    return text;
}

void renderBody(std::string& out, const std::vector<std::string_view>& body) {
    std::size_t itemIndent = 0;
    bool inItem = false;
    bool paragraphOpen = false;
    for (const std::string_view line : body) {
        if (blank(line)) {
            inItem = false;
            paragraphOpen = false;
            continue;
        }
        const std::size_t indent = indentOf(line);
        if (indent == 0) {
            inItem = false;
            if (line.back() == ':') {
                out += ".SS " + escaped(line.substr(0, line.size() - 1)) + "\n";
                paragraphOpen = false;
                continue;
            }
            if (!paragraphOpen) {
                out += ".PP\n";
                paragraphOpen = true;
            }
            out += escaped(line) + "\n";
            continue;
        }
        paragraphOpen = false;
        if (inItem && indent > itemIndent) {
            out += escaped(trimmed(line)) + "\n";
            continue;
        }
        inItem = true;
        itemIndent = indent;
        const std::size_t text = itemTextStart(line);
        const std::string_view term = trimmed(line.substr(
            indent, text == std::string_view::npos ? std::string_view::npos : text - indent));
        out += ".TP\n\\fB" + escaped(term) + "\\fR\n";
        if (text != std::string_view::npos) {
            out += escaped(line.substr(text)) + "\n";
        }
    }
}

// The usage line and the body after it.
void split(std::string_view help, std::string& usage, std::vector<std::string_view>& body) {
    const std::vector<std::string_view> all = lines(help);
    std::size_t at = 0;
    while (at < all.size() && blank(all[at])) {
        ++at;
    }
    if (at < all.size() && startsWithUsage(all[at])) {
        usage = std::string(trimmed(trimmed(all[at]).substr(6)));
        ++at;
    }
    body.assign(all.begin() + static_cast<std::ptrdiff_t>(at), all.end());
}

}  // namespace

std::string manPage(const ManPageInfo& info, std::string_view help,
                    const std::vector<CommandHelp>& commands) {
    std::string upper = info.name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    std::string out = ".TH " + escaped(upper) + " " + std::to_string(info.section) + " \"\" \"" +
                      escaped(info.name + " " + info.version) + "\" \"KVN 350\"\n";
    out += ".SH NAME\n" + escaped(info.name) + " \\- " + escaped(info.summary) + "\n";
    std::string usage;
    std::vector<std::string_view> body;
    split(help, usage, body);
    if (!usage.empty()) {
        out += ".SH SYNOPSIS\n" + escaped(usage) + "\n";
    }
    out += ".SH DESCRIPTION\n";
    renderBody(out, body);
    for (const CommandHelp& command : commands) {
        std::string commandUsage;
        std::vector<std::string_view> commandBody;
        split(command.help, commandUsage, commandBody);
        out += ".SH \"" + escaped(command.title) + "\"\n";
        if (!commandUsage.empty()) {
            out += ".B " + escaped(commandUsage) + "\n";
        }
        renderBody(out, commandBody);
    }
    return out;
}

std::vector<std::string> listedCommands(std::string_view help) {
    std::vector<std::string> names;
    bool listing = false;
    for (const std::string_view line : lines(help)) {
        if (indentOf(line) == 0) {
            listing = line == "Commands:" || line == "Subcommands:";
            continue;
        }
        if (listing && !blank(line)) {
            const std::string_view item = trimmed(line);
            names.emplace_back(item.substr(0, item.find(' ')));
        }
    }
    return names;
}

}  // namespace kvn::tools
