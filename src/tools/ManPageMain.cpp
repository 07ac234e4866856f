// kvn350-manpage: writes a program's manual page from its --help (and, with --commands, from the
// --help of every command and subcommand its help lists). Run by the build; not installed.
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/ManPage.h"

namespace {

std::string quoted(const std::string& word) {
    std::string out = "'";
    for (const char c : word) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// The standard output of `program words... --help`; false when it cannot be run or fails.
bool helpOf(const std::string& program, const std::vector<std::string>& words, std::string& text) {
    std::string command = quoted(program);
    for (const std::string& w : words) {
        command += " " + quoted(w);
    }
    command += " --help";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    std::array<char, 4096> buffer{};
    text.clear();
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        text.append(buffer.data(), n);
    }
    return pclose(pipe) == 0;
}

int usage() {
    std::cerr << "usage: kvn350-manpage --name NAME --summary TEXT --version V [--commands] "
                 "--out FILE PROGRAM\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    kvn::tools::ManPageInfo info;
    std::string out;
    std::string program;
    bool commands = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--name" && hasValue) {
            info.name = argv[++i];
        } else if (a == "--summary" && hasValue) {
            info.summary = argv[++i];
        } else if (a == "--version" && hasValue) {
            info.version = argv[++i];
        } else if (a == "--out" && hasValue) {
            out = argv[++i];
        } else if (a == "--commands") {
            commands = true;
        } else if (program.empty() && a.rfind("--", 0) != 0) {
            program = a;
        } else {
            return usage();
        }
    }
    if (info.name.empty() || out.empty() || program.empty()) {
        return usage();
    }
    std::string help;
    if (!helpOf(program, {}, help)) {
        std::cerr << "kvn350-manpage: " << program << " --help failed\n";
        return 2;
    }
    std::vector<kvn::tools::CommandHelp> sections;
    if (commands) {
        for (const std::string& command : kvn::tools::listedCommands(help)) {
            std::string text;
            if (!helpOf(program, {command}, text)) {
                std::cerr << "kvn350-manpage: " << program << " " << command << " --help failed\n";
                return 2;
            }
            sections.push_back({info.name + " " + command, text});
            for (const std::string& sub : kvn::tools::listedCommands(text)) {
                std::string subText;
                if (!helpOf(program, {command, sub}, subText)) {
                    std::cerr << "kvn350-manpage: " << program << " " << command << " " << sub
                              << " --help failed\n";
                    return 2;
                }
                sections.push_back({info.name + " " + command + " " + sub, subText});
            }
        }
    }
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file << kvn::tools::manPage(info, help, sections);
    file.close();
    if (!file) {
        std::cerr << "kvn350-manpage: cannot write " << out << "\n";
        return 2;
    }
    return 0;
}
