// Command-line parsing and help of kvn350-emulator.
#include "tools/EmulatorOptions.h"

#include "emulator/DeviceState.h"

#include <charconv>
#include <functional>
#include <map>
#include <sstream>

namespace kvn::tools {

namespace {

constexpr long long kLargestBaud = 4'000'000;
constexpr long long kLargestMs = 3'600'000;
constexpr long long kLargestByteCount = 1'000'000'000'000LL;

// A whole number in [low, high], decimal or with a 0x prefix.
std::optional<long long> parseNumber(const std::string& text, long long low, long long high) {
    int base = 10;
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    long long value = 0;
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc() || end != digits.data() + digits.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<emu::WrongByte> parseWrongByte(const std::string& text) {
    static const std::map<std::string, emu::TransferStep> steps = {
        {"start", emu::TransferStep::Start},     {"command", emu::TransferStep::Command},
        {"program", emu::TransferStep::Program}, {"long", emu::TransferStep::Long},
        {"data", emu::TransferStep::DataBlock},  {"end", emu::TransferStep::End}};
    emu::WrongByte fault;
    std::string step = text;
    if (const auto equals = step.find('='); equals != std::string::npos) {
        const auto value = parseNumber(step.substr(equals + 1), 0, 255);
        if (!value) {
            return std::nullopt;
        }
        fault.value = static_cast<std::uint8_t>(*value);
        step.resize(equals);
    }
    if (const auto colon = step.find(':'); colon != std::string::npos) {
        const auto block = parseNumber(step.substr(colon + 1), 0, 1023);
        if (!block) {
            return std::nullopt;
        }
        fault.block = static_cast<int>(*block);
        step.resize(colon);
        if (step != "data") {
            return std::nullopt;
        }
    }
    const auto found = steps.find(step);
    if (found == steps.end()) {
        return std::nullopt;
    }
    fault.step = found->second;
    return fault;
}

}  // namespace

std::optional<std::vector<int>> parseMemoryList(const std::string& text, std::string& error) {
    std::vector<int> memories;
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        const auto dash = item.find('-');
        const auto first = parseNumber(item.substr(0, dash), emu::kFirstMemory, emu::kLastMemory);
        const auto last =
            dash == std::string::npos
                ? first
                : parseNumber(item.substr(dash + 1), emu::kFirstMemory, emu::kLastMemory);
        if (!first || !last || *last < *first) {
            error = "\"" + item + "\" is not a memory 1..60 or a range of them such as 1-20";
            return std::nullopt;
        }
        for (long long m = *first; m <= *last; ++m) {
            memories.push_back(static_cast<int>(m));
        }
    }
    if (memories.empty()) {
        error = "no memories given";
        return std::nullopt;
    }
    return memories;
}

ParsedOptions parseEmulatorOptions(const std::vector<std::string>& arguments) {
    EmulatorOptions options;
    std::string error;
    using Handler = std::function<bool(const std::string&)>;
    auto number = [&error](const std::string& value, long long low, long long high, auto&& store) {
        const auto parsed = parseNumber(value, low, high);
        if (!parsed) {
            error = "\"" + value + "\" is not a number from " + std::to_string(low) + " to " +
                    std::to_string(high);
            return false;
        }
        store(*parsed);
        return true;
    };
    const std::map<std::string, Handler> withValue = {
        {"--state",
         [&](const std::string& v) {
             options.statePath = v;
             return true;
         }},
        {"--link",
         [&](const std::string& v) {
             options.linkPath = v;
             return true;
         }},
        {"--initial-image",
         [&](const std::string& v) {
             options.initialImagePath = v;
             return true;
         }},
        {"--baud",
         [&](const std::string& v) {
             return number(v, 0, kLargestBaud, [&](long long n) { options.baud = int(n); });
         }},
        {"--command-reply",
         [&](const std::string& v) {
             return number(v, 0, 255, [&](long long n) { options.commandReply = std::uint8_t(n); });
         }},
        {"--protect",
         [&](const std::string& v) {
             auto memories = parseMemoryList(v, error);
             if (memories) {
                 options.protectedMemories.insert(options.protectedMemories.end(),
                                                  memories->begin(), memories->end());
             }
             return memories.has_value();
         }},
        {"--silence-timeout-ms",
         [&](const std::string& v) {
             return number(v, 1, kLargestMs, [&](long long n) {
                 options.silenceTimeout = std::chrono::milliseconds(n);
             });
         }},
        {"--silent-from-byte",
         [&](const std::string& v) {
             return number(v, 1, kLargestByteCount, [&](long long n) {
                 options.faults.silentFromByte = static_cast<std::uint64_t>(n);
             });
         }},
        {"--disappear-after",
         [&](const std::string& v) {
             return number(v, 0, kLargestByteCount, [&](long long n) {
                 options.faults.goneAfterBytes = static_cast<std::uint64_t>(n);
             });
         }},
        {"--reply-delay-ms",
         [&](const std::string& v) {
             return number(v, 0, kLargestMs, [&](long long n) {
                 options.faults.replyDelay = std::chrono::milliseconds(n);
             });
         }},
        {"--fault-transfers",
         [&](const std::string& v) {
             return number(v, 1, kLargestByteCount, [&](long long n) {
                 options.faults.faultTransfers = static_cast<std::uint64_t>(n);
             });
         }},
        {"--wrong-byte",
         [&](const std::string& v) {
             options.faults.wrongByte = parseWrongByte(v);
             if (!options.faults.wrongByte) {
                 error = "\"" + v +
                         "\" is not STEP[:BLOCK][=BYTE] with STEP start, command, program, "
                         "long, data or end";
             }
             return options.faults.wrongByte.has_value();
         }},
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--line-rate" && !value) {
            options.baud = emu::kProcessorBaud;
            continue;
        }
        const auto handler = withValue.find(name);
        if (handler == withValue.end()) {
            return {std::nullopt, "unknown option \"" + arguments[i] + "\""};
        }
        if (!value) {
            if (i + 1 == arguments.size()) {
                return {std::nullopt, name + " needs a value"};
            }
            value = arguments[++i];
        }
        if (!handler->second(*value)) {
            return {std::nullopt, name + ": " + error};
        }
    }
    return {options, ""};
}

std::string emulatorHelpText() {
    return R"(Usage: kvn350-emulator [options]

Serves a virtual KVN 350 processor on a pseudo-terminal. The terminal's path is printed on the
first line of standard output; open it as the serial port in the editor (9600 baud, 8N1). The
program runs until interrupted (Ctrl+C or SIGTERM), then saves the state file if one was named,
removes the link made by --link and exits.

Options:
  --state FILE              Load the processor's memories, protection flags, active memory,
                            keyboard lock, password and firmware from FILE at start (when it
                            exists) and save them there on exit. A damaged file is refused and
                            left as it is.
  --link PATH               Also make a symbolic link PATH to the pseudo-terminal, removed on
                            exit (an existing symbolic link there is replaced).
  --initial-image FILE      The 2046-byte memory image every memory holds until written
                            (default: the image of a New configuration).
  --baud N                  Deliver bytes no faster than N baud (10 bits a byte) in both
                            directions, as on a real line (default: no limit).
  --line-rate               The same as --baud 9600, the processor's own line.
  --command-reply N         The byte answered to COMMAND (0..255, default 60). 50 or more makes
                            the editor ask for a password of letters, below 50 for key presses.
  --protect LIST            Protect memories from writing, e.g. 1-20,35: a write is answered
                            0xFF at PROGRAM NUMBER. Recall and read stay allowed.
  --silence-timeout-ms N    Drop a transfer that hears nothing for N ms (default 3000).

Faults (each applies to every transfer unless --fault-transfers limits them; byte counts start
at 1 with the first byte received):
  --silent-from-byte N      Hang at the N-th received byte: it and everything after it are
                            ignored and nothing more is sent.
  --wrong-byte STEP[:BLOCK][=BYTE]
                            Give a wrong byte at one step: start, command, program, long, data
                            or end (a wrong END is "end"). For data, BLOCK picks the 64-byte
                            block (from 0; the rest counts as the block after the last whole
                            one). BYTE is the byte given (default: the right one inverted). In
                            the memory stream after a read request the byte sent at that step
                            is changed instead.
  --disappear-after N       The processor disappears after N received bytes: the pseudo-terminal
                            is closed, as when a USB serial adapter is pulled out, the state is
                            saved and the program ends.
  --reply-delay-ms N        Every reply leaves N ms after the byte it answers.
  --fault-transfers N       The faults above apply to the first N transfers only (a memory
                            read and the memory it streams back count as one); later transfers
                            find the processor working, as with a fault that comes and goes.

  --help                    Show this text.

Numbers may be written in decimal or with a 0x prefix.
)";
}

}  // namespace kvn::tools
