// The command line of kvn350-emulator.
#pragma once

#include "emulator/DeviceConstants.h"
#include "emulator/FaultPlan.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvn::tools {

struct EmulatorOptions {
    bool help = false;
    std::optional<std::filesystem::path> statePath{};
    std::optional<std::filesystem::path> linkPath{};
    std::optional<std::filesystem::path> initialImagePath{};
    int baud = 0;
    std::uint8_t commandReply = emu::kDefaultCommandReply;
    std::vector<int> protectedMemories{};
    emu::Micros silenceTimeout = emu::kDefaultSilenceTimeout;
    emu::FaultPlan faults{};
};

struct ParsedOptions {
    std::optional<EmulatorOptions> options;  // empty when the command line is wrong
    std::string error;                       // why, naming the option
};

// Parses the arguments after the program name. Options take their value as the next argument
// or after '=' ("--baud 9600", "--baud=9600"); numbers are decimal or 0x-prefixed hexadecimal.
ParsedOptions parseEmulatorOptions(const std::vector<std::string>& arguments);

// "1-20,35" -> 1..20 and 35; empty with `error` set when a number is not a memory 1..60 or a
// range runs backwards.
std::optional<std::vector<int>> parseMemoryList(const std::string& text, std::string& error);

// What --help prints.
std::string emulatorHelpText();

}  // namespace kvn::tools
