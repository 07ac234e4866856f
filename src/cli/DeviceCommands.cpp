// device: the processor's sequences (identify, query, read, write, recall, keyboard lock,
// password, firmware) over a serial port, the USB converter or the in-process virtual processor;
// and ports, the serial ports found and where COM 1..4 lead.
#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/PresetStore.h"
#include "cli/TerminalProgress.h"
#include "config/MemoryImage.h"
#include "link/AccessCode.h"
#include "link/CheckedWrite.h"
#include "link/ConnectionDoctor.h"
#include "link/DeviceLink.h"
#include "link/DeviceSequences.h"
#include "link/FirmwareText.h"
#include "link/LinkTexts.h"
#include "link/PasswordEntry.h"
#include "link/PortMap.h"
#include "link/PortTarget.h"
#include "link/ProcessorBackup.h"
#include "link/SerialPortList.h"
#include "link/SystemLinks.h"
#include "link/SystemPortProbe.h"
#include "link/TrafficTap.h"

namespace kvn::cli {
namespace {

constexpr std::size_t kMaxFirmwareTextBytes = 1 << 20;

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// The link --port names, with the virtual processor behind "virtual".
struct Target {
    link::PortTarget port;
    // --log: the traffic record and where it is saved.
    std::shared_ptr<link::TrafficLog> log;
    std::string logPath;
};

Target chooseTarget(const ParsedArgs& a) {
    const std::string text = *a.value("port");
    std::string error;
    std::optional<link::PortAddress> address = link::parsePortText(text, ".", error);
    if (!address) {
        throwUsage("--port: " + error);
    }
    if (const auto state = a.value("state")) {
        if (address->kind != link::PortAddress::Kind::Virtual) {
            throwUsage(
                "--state keeps the memories of the virtual processor: use it with --port virtual");
        }
        address->location = *state;
    }
    std::optional<link::PortTarget> port =
        link::PortTarget::open(*address, link::systemLinks(link::PortMap::defaults()), error);
    if (!port) {
        throwBadInput(error);
    }
    Target t{std::move(*port), nullptr, {}};
    if (const auto log = a.value("log")) {
        t.logPath = *log;
        t.log = std::make_shared<link::TrafficLog>();
        t.log->note("kvn350 device --port " + text);
        t.port.option = link::withTrafficLog(std::move(t.port.option), t.log);
    }
    return t;
}

int memoryArgument(const ParsedArgs& a, std::size_t index, const link::MemoryRange& range) {
    const std::string text = a.positional(index);
    const auto n = parseInteger(text);
    if (text.empty() || !n || !range.contains(*n)) {
        throwUsage("memory: expected a number from " + std::to_string(range.minimum) + " to " +
                   std::to_string(range.maximum) + ", got '" + text + "'");
    }
    return *n;
}

void expectArguments(const ParsedArgs& a, std::size_t count, const std::string& usage) {
    if (a.positionals.size() != count) {
        throwUsage("usage: kvn350 device --port PORT " + usage);
    }
}

// The six password symbols as the password window's keys would enter them.
link::PasswordEntry::Block passwordBlock(const std::string& symbols, bool letters, bool active) {
    link::PasswordEntry entry(letters);
    for (const char c : symbols) {
        if (letters) {
            for (int i = 0; i < c - 'A'; ++i) {
                entry.up();
            }
            entry.enter();
        } else if (c == '1') {
            entry.up();
        } else if (c == '2') {
            entry.down();
        } else {
            entry.enter();
        }
    }
    if (active) {
        entry.toggleActive();
    }
    return entry.block();
}

struct PasswordRequest {
    std::string symbols;
    bool letters = false;
    bool active = false;
};

PasswordRequest passwordRequest(const ParsedArgs& a) {
    const auto letters = a.value("letters");
    const auto keys = a.value("keys");
    if (letters.has_value() == keys.has_value()) {
        throwUsage("password: give either --letters ABCDEF or --keys 112332");
    }
    if (a.has("active") && a.has("inactive")) {
        throwUsage("password: --active and --inactive exclude each other");
    }
    PasswordRequest r;
    r.letters = letters.has_value();
    r.symbols = r.letters ? upper(*letters) : *keys;
    r.active = a.has("active");
    const bool valid = r.symbols.size() == link::PasswordEntry::kSymbols &&
                       std::all_of(r.symbols.begin(), r.symbols.end(), [&](char c) {
                           return r.letters ? (c >= 'A' && c <= 'Z') : (c >= '1' && c <= '3');
                       });
    if (!valid) {
        throwUsage(r.letters ? "--letters: expected six letters A to Z"
                             : "--keys: expected six key presses, 1 (UP), 2 (DOWN) or 3 (ENTER)");
    }
    return r;
}

ArgParser deviceParser() {
    ArgParser parser(
        "kvn350 device --port PORT|usb[:SERIAL]|virtual [--state FILE] ACTION [ARGS...]",
        "Runs one of the processor's sequences as the editor runs it, with a progress\n"
        "line on a terminal and the system's messages on errors.");
    parser.positional("ACTION", "what to do (below)")
        .variadic()
        .option("port", "PORT",
                "COM1..COM4, a serial device path, usb (the USB converter; usb:SERIAL the one "
                "with that serial number) or virtual (the built-in virtual processor)")
        .option("state", "FILE",
                "with --port virtual: keep the virtual processor's memories in FILE between runs")
        .option("output", "OUT.KV2", "read: save the preset instead of printing it", "o")
        .flag("json", "read: print the preset as a JSON document")
        .flag("checked",
              "read: read the memory twice and compare the images (a third read settles a "
              "difference), as backup does")
        .flag("yes", "write, restore, firmware: go ahead without asking")
        .flag("no-verify", "write: do not read the memory back to check it")
        .option("letters", "ABCDEF", "password: six letters (processors that take letters)")
        .option("keys", "112332", "password: six key presses 1 UP, 2 DOWN, 3 ENTER")
        .flag("active", "password: the password is active")
        .flag("inactive", "password: the password is not active (default)")
        .option("code", "CODE", "the access code that opens the factory memories 1..20")
        .option("log", "FILE",
                "record every byte sent and received, with the step texts, in FILE (the form "
                "the link tests replay)")
        .notes(
            "Actions:\n"
            "  identify          check that a KVN 350 answers; print its password scheme\n"
            "  doctor            when the processor does not answer: check the port, its\n"
            "                    permissions, other programs holding it and the processor's\n"
            "                    answer, and say what to do\n"
            "  query             print the memory the processor runs\n"
            "  read N [-o F]     read memory N; save it as a preset file or print it\n"
            "                    (--checked: read it twice and compare)\n"
            "  write N FILE.KV2  write a preset to memory N (asks first, or --yes), recall it and\n"
            "                    read it back to check it (--no-verify skips the check)\n"
            "  verify N FILE.KV2 check that memory N holds the preset, without writing\n"
            "  backup DIR        read every memory (21..60; 1..60 with --code) into DIR as preset\n"
            "                    files with a manifest, backup.json; each memory is read twice\n"
            "                    and compared; unreadable memories are listed and skipped\n"
            "  restore DIR       write the memories of a backup back and check each (asks first,\n"
            "                    or --yes)\n"
            "  recall N          make the processor run memory N\n"
            "  lock | unlock     lock or unlock the processor's front-panel keyboard\n"
            "  password          set the password (--letters or --keys, --active/--inactive)\n"
            "  firmware FILE     load a DSP operating system text (asks first, or --yes)\n"
            "Memories are 21 to 60 (1 to 60 with the access code). Every image read is checked:\n"
            "the memory holds its parameters and coefficients twice, and copies that disagree\n"
            "(or values out of range) make the read repeat once, then fail naming the fields.\n"
            "Exit status: 0 success, 1 usage error or refused question, 2 bad input file,\n"
            "3 device or link failure, or a memory that does not hold what was written.");
    return parser;
}

// Runs `sequence` on the chosen link; a failure ends the command with exit status 3.
// Saves the traffic record of --log, if one was asked for; false (with the reason printed) when
// it cannot be written.
bool saveLog(const Target& target, CommandIo& io) {
    if (!target.log) {
        return true;
    }
    std::string error;
    if (target.log->save(target.logPath, error)) {
        return true;
    }
    io.err << "kvn350: the traffic log " << target.logPath << " was not written: " << error << "\n";
    return false;
}

template <typename Sequence>
void onDevice(Target& target, CommandIo& io, Sequence sequence) {
    TerminalProgress terminal(io.err, io.errIsTerminal);
    link::TrafficLog unused(1);
    link::LoggingProgress logging(terminal, target.log ? *target.log : unused);
    link::TransferProgress& progress =
        target.log ? static_cast<link::TransferProgress&>(logging) : terminal;
    bool ok = false;
    try {
        link::DeviceLink link(progress, link::Sleeper::system());
        if (link.choose(target.port.option) == link::DeviceLink::Choice::Connected) {
            link::DeviceSequences sequences(link, progress, link::Sleeper::system());
            ok = sequence(link, sequences);
        }
    } catch (...) {
        terminal.finish();
        saveLog(target, io);
        throw;
    }
    terminal.finish();
    const bool logSaved = saveLog(target, io);
    if (std::string error; !target.port.saveState(error)) {
        io.err << "kvn350: " << error << "\n";
    }
    if (!ok) {
        // The link has told why in a message, or left the reason as the last step text.
        throwDevice(terminal.messageShown()       ? std::string()
                    : terminal.lastInfo().empty() ? std::string("the processor did not answer")
                                                  : terminal.lastInfo());
    }
    if (!logSaved) {
        throwBadInput({});
    }
}

// Prints the outcome of the check after a write; a memory that does not hold the image ends the
// command with exit status 3 and the differing fields on stderr.
void reportVerification(CommandIo& io,
                        const std::optional<link::DeviceSequences::Verification>& verification) {
    if (!verification) {
        return;
    }
    const int memory = verification->memory;
    if (verification->passed()) {
        io.out << link::text::verifiedText(memory)
               << link::text::checkTimeText(verification->elapsedMs) << "\n";
        return;
    }
    io.err << "kvn350: " << link::text::notVerifiedText(memory) << ":\n";
    for (const std::string& line : verification->check.lines()) {
        io.err << "  " << line << "\n";
    }
    throwDevice({});
}

// Prints what a backup or restore skipped; a skipped memory ends the command with exit status 3,
// a folder or manifest that could not be used with 2.
void reportSkipped(CommandIo& io, const link::ProcessorBackup::Report& report, const char* what) {
    if (!report.error.empty()) {
        io.err << "kvn350: " << report.error << "\n";
    }
    for (const link::BackupManifest::Unreadable& s : report.skipped) {
        io.err << "kvn350: memory " << s.memory << " was not " << what << ": " << s.reason << "\n";
    }
    if (!report.error.empty() && report.saved.empty()) {
        throwBadInput({});
    }
    if (!report.complete()) {
        throwDevice({});
    }
}

}  // namespace

int runDevice(const Args& args, CommandIo& io) {
    const ArgParser parser = deviceParser();
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    if (!a->value("port")) {
        throwUsage("--port is required (see kvn350 device --help)");
    }
    link::MemoryRange range = link::MemoryRange::user();
    if (const auto code = a->value("code")) {
        range = link::applyAccessCode(*code, range.minimum).range;
    }
    const std::string action = a->positional(0);

    if (action == "identify") {
        expectArguments(*a, 1, "identify");
        Target target = chooseTarget(*a);
        onDevice(target, io, [&](link::DeviceLink& link, link::DeviceSequences&) {
            const auto id = link.identify();
            if (id.answered) {
                io.out << id.statusText << "\n"
                       << "password: " << (link.LetterPassword() ? "letters" : "keys") << "\n";
            }
            return id.answered;
        });
    } else if (action == "doctor") {
        expectArguments(*a, 1, "doctor");
        Target target = chooseTarget(*a);
        const link::DoctorReport report = link::diagnoseConnection(
            target.port.option, link::SystemPortProbe(), link::Sleeper::system());
        const bool logSaved = saveLog(target, io);
        for (const std::string& line : report.lines()) {
            io.out << line << "\n";
        }
        io.out << "\n" << report.diagnosis() << "\n";
        if (!report.answered()) {
            throwDevice({});
        }
        if (!logSaved) {
            throwBadInput({});
        }
    } else if (action == "query") {
        expectArguments(*a, 1, "query");
        Target target = chooseTarget(*a);
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            const auto memory = s.QueryActiveMemory(link::MemoryRange::all());
            if (memory) {
                io.out << *memory << "\n";
            }
            return memory.has_value();
        });
    } else if (action == "read") {
        expectArguments(*a, 2, "read N [-o OUT.KV2]");
        const int memory = memoryArgument(*a, 1, range);
        Target target = chooseTarget(*a);
        std::optional<std::vector<std::uint8_t>> bytes;
        std::string warning;
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            if (a->has("checked")) {
                if (auto confirmed = s.ReadMemoryConfirmed(memory)) {
                    bytes = std::move(confirmed->bytes);
                }
            } else {
                bytes = s.ReadMemory(memory);
            }
            warning = s.lastReadWarning();
            return bytes.has_value();
        });
        if (!warning.empty()) {
            io.err << "kvn350: warning: " << warning << "\n";
        }
        const ProcessorConfig config =
            PresetStore::decodeImage(*bytes, "memory " + std::to_string(memory), io.err);
        if (const auto out = a->value("output")) {
            PresetStore::save(config, *out);
        } else {
            printPreset(io, config, a->has("json"));
        }
    } else if (action == "write") {
        expectArguments(*a, 3, "write N FILE.KV2");
        const int memory = memoryArgument(*a, 1, range);
        const ImageBuffer image = BuildImage(PresetStore::loadForUse(a->positional(2), io.err));
        const std::string question = link::text::overwriteQuestion(memory);
        if (!confirm(io, question, a->has("yes"))) {
            throwUsage("nothing was written");
        }
        const bool verify = !a->has("no-verify");
        Target target = chooseTarget(*a);
        std::optional<link::DeviceSequences::Verification> verification;
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            const link::CheckedWrite write = link::writeChecked(s, memory, image, verify);
            verification = write.verification;
            return write.written && (!verify || verification.has_value());
        });
        reportVerification(io, verification);
    } else if (action == "verify") {
        expectArguments(*a, 3, "verify N FILE.KV2");
        const int memory = memoryArgument(*a, 1, range);
        const ImageBuffer image = BuildImage(PresetStore::loadForUse(a->positional(2), io.err));
        Target target = chooseTarget(*a);
        std::optional<link::DeviceSequences::Verification> verification;
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            verification = s.VerifyMemory(memory, image);
            return verification.has_value();
        });
        reportVerification(io, verification);
    } else if (action == "backup") {
        expectArguments(*a, 2, "backup DIR");
        const std::string folder = a->positional(1);
        Target target = chooseTarget(*a);
        link::ProcessorBackup::Report report;
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            report = link::ProcessorBackup(s).backup(folder, range);
            return true;
        });
        for (const link::BackupManifest::Entry& e : report.saved) {
            io.out << "memory " << e.memory << " -> " << e.file << "\n";
        }
        for (const std::string& w : report.warnings) {
            io.err << "kvn350: warning: " << w << "\n";
        }
        io.out << report.saved.size() << " memories backed up in " << folder
               << link::text::secondReadsText(report.extraReadMs) << "\n";
        reportSkipped(io, report, "backed up");
    } else if (action == "restore") {
        expectArguments(*a, 2, "restore DIR");
        const std::string folder = a->positional(1);
        if (!confirm(io,
                     "Do you want to write the memories backed up in " + folder +
                         " back to the processor? They overwrite what the memories hold.",
                     a->has("yes"))) {
            throwUsage("nothing was written");
        }
        Target target = chooseTarget(*a);
        link::ProcessorBackup::Report report;
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            report = link::ProcessorBackup(s).restore(folder, range);
            return true;
        });
        for (const link::BackupManifest::Entry& e : report.saved) {
            io.out << e.file << " -> memory " << e.memory << ", verified\n";
        }
        io.out << report.saved.size() << " memories restored\n";
        reportSkipped(io, report, "restored");
    } else if (action == "recall") {
        expectArguments(*a, 2, "recall N");
        const int memory = memoryArgument(*a, 1, range);
        Target target = chooseTarget(*a);
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            return s.ChangeMemory(memory);
        });
    } else if (action == "lock" || action == "unlock") {
        expectArguments(*a, 1, action);
        Target target = chooseTarget(*a);
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            return s.KeyboardLock(action == "lock");
        });
    } else if (action == "password") {
        expectArguments(*a, 1, "password --letters ABCDEF|--keys 112332 [--active|--inactive]");
        const PasswordRequest request = passwordRequest(*a);
        Target target = chooseTarget(*a);
        onDevice(target, io, [&](link::DeviceLink& link, link::DeviceSequences& s) {
            // The scheme is the one the processor announces when it is identified.
            if (!link.identify().answered) {
                return false;
            }
            if (link.LetterPassword() != request.letters) {
                throwUsage(
                    std::string("this processor takes a password of ") +
                    (link.LetterPassword() ? "letters: use --letters" : "key presses: use --keys"));
            }
            const auto block = passwordBlock(request.symbols, request.letters, request.active);
            return s.SetPassword(block);
        });
    } else if (action == "firmware") {
        expectArguments(*a, 2, "firmware FILE");
        const std::string path = a->positional(1);
        const std::vector<std::uint8_t> raw = PresetStore::readFile(path, kMaxFirmwareTextBytes);
        const link::FirmwarePayload payload = link::parseFirmwareText(
            std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
        if (!payload.valid()) {
            throwBadInput(path + ": " + payload.error);
        }
        if (!confirm(io, link::text::kFirmwareWarning, a->has("yes"))) {
            throwUsage("the firmware was not loaded");
        }
        Target target = chooseTarget(*a);
        onDevice(target, io, [&](link::DeviceLink&, link::DeviceSequences& s) {
            return s.FirmwareUpdate(payload.bytes);
        });
    } else if (action.empty()) {
        throwUsage("ACTION is missing (see kvn350 device --help)");
    } else {
        throwUsage("unknown action '" + action + "' (see kvn350 device --help)");
    }
    return kExitOk;
}

int runPorts(const Args& args, CommandIo& io) {
    ArgParser parser("kvn350 ports",
                     "Lists the serial ports the system reports and where COM 1 to COM 4 lead.\n"
                     "Pseudo-terminals are not listed; give their path to --port directly.");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    io.out << "Serial ports:\n";
    const auto ports = link::availableSerialPorts();
    if (ports.empty()) {
        io.out << "  (none found)\n";
    }
    for (const link::SerialPortEntry& p : ports) {
        io.out << "  " << p.location << (p.description.empty() ? "" : "  " + p.description) << "\n";
    }
    io.out << "COM ports:\n";
    const link::PortMap map = link::PortMap::defaults();
    for (int n = 1; n <= link::PortMap::kPorts; ++n) {
        io.out << "  " << link::PortMap::portName(n) << " -> " << map.path(n) << "\n";
    }
    return kExitOk;
}

}  // namespace kvn::cli
