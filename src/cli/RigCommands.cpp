// rig: status, write, backup and restore of the processors a rig file names, all at once.
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <array>
#include <chrono>
#include <iomanip>
#include <mutex>
#include <ostream>
#include <sstream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "link/RigBackupManifest.h"
#include "link/RigFile.h"
#include "link/RigRun.h"
#include "link/SystemLinks.h"

namespace kvn::cli {
namespace {

using Clock = std::chrono::steady_clock;

// How often a processor's progress line is printed when stderr is not a terminal, and how often
// the table is redrawn when it is.
constexpr auto kPlainLineInterval = std::chrono::seconds(1);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
// Redrawn lines are cut to fit a terminal of 80 columns, so that none wraps.
constexpr std::size_t kLineChars = 79;

const char* const kExitNotes =
    "Exit status: 0 when every processor succeeded, 1 usage error or refused question,\n"
    "2 bad rig file (the message names the entry and the field), 3 when any processor\n"
    "failed (the summary names each one with the processor's message).";

// One progress line per processor on stderr: on a terminal a block of lines redrawn in place,
// otherwise a line whenever a processor's step changes (at most once a second each). Workers
// report at once; the mutex keeps every line whole.
class RigProgressLines final : public link::RigListener {
public:
    RigProgressLines(std::ostream& err, bool terminal, const std::vector<link::RigProcessor>& rig)
        : err_(err), terminal_(terminal), rig_(rig), lines_(rig.size()) {
        for (std::size_t i = 0; i < rig.size(); ++i) {
            lines_[i].text = rig[i].name + ": waiting";
            width_ = std::max(width_, rig[i].name.size());
        }
        if (terminal_) {
            draw();
        }
    }

    void started(std::size_t index) override { update(index, "started", 0, 0, true); }
    void progress(std::size_t index, const std::string& step, int position, int maximum) override {
        update(index, step, position, maximum, false);
    }
    void finished(std::size_t index, const link::RigResult& result) override {
        update(index, result.succeeded() ? "done" : "failed: " + result.failure, 0, 0, true);
    }

private:
    struct Line {
        std::string text;
        std::string step;
        Clock::time_point printed{};
    };

    void update(std::size_t index, const std::string& step, int position, int maximum,
                bool always) {
        const std::lock_guard lock(mutex_);
        Line& line = lines_[index];
        std::ostringstream text;
        text << std::left << std::setw(static_cast<int>(width_)) << rig_[index].name << "  "
             << step;
        if (maximum > 0) {
            text << "  " << position << "/" << maximum << " bytes";
        }
        line.text = text.str();
        const auto now = Clock::now();
        if (terminal_) {
            if (always || now - drawn_ >= kRedrawInterval) {
                draw();
            }
            return;
        }
        if (always || (step != line.step && now - line.printed >= kPlainLineInterval)) {
            err_ << line.text << "\n" << std::flush;
            line.printed = now;
        }
        line.step = step;
    }

    // Redraws the block in place (the cursor rests below it).
    void draw() {
        if (drawnOnce_) {
            err_ << "\033[" << lines_.size() << "A";
        }
        for (const Line& line : lines_) {
            err_ << "\r\033[K" << line.text.substr(0, kLineChars) << "\n";
        }
        err_ << std::flush;
        drawnOnce_ = true;
        drawn_ = Clock::now();
    }

    std::ostream& err_;
    bool terminal_;
    const std::vector<link::RigProcessor>& rig_;
    std::vector<Line> lines_;
    std::size_t width_ = 0;
    std::mutex mutex_;
    bool drawnOnce_ = false;
    Clock::time_point drawn_{};
};

link::RigFile loadRig(const std::string& path) {
    std::string error;
    std::optional<link::RigFile> rig = link::RigFile::load(path, link::PortMap::defaults(), error);
    if (!rig) {
        throwBadInput(error);
    }
    return std::move(*rig);
}

link::RigReport runRig(const std::vector<link::RigProcessor>& processors, link::RigAction action,
                       const std::string& folder, CommandIo& io) {
    RigProgressLines lines(io.err, io.errIsTerminal, processors);
    link::RigRun run(link::systemLinks(link::PortMap::defaults()), link::PortMap::defaults(),
                     link::Sleeper::system(), link::qtWorkerThreads());
    return run.run(processors, action, folder, lines);
}

// The summary's failures on stderr; exit status 3 when there is one.
int finish(const std::vector<link::RigProcessor>& processors, const link::RigReport& report,
           link::RigAction action, CommandIo& io) {
    const std::vector<std::string> failures = report.failures(processors);
    for (const std::string& line : failures) {
        io.err << "kvn350: " << line << "\n";
    }
    const std::size_t done = static_cast<std::size_t>(
        std::count_if(report.results.begin(), report.results.end(),
                      [](const link::RigResult& r) { return r.succeeded(); }));
    io.out << done << " of " << processors.size() << " processors " << link::rigDoneText(action)
           << "\n";
    return report.allSucceeded() ? kExitOk : kExitDevice;
}

std::string seconds(int ms) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(1) << ms / 1000.0 << " s";
    return s.str();
}

ArgParser rigParser(const std::string& usage, const std::string& summary) {
    ArgParser parser(usage, summary);
    parser.notes(kExitNotes);
    return parser;
}

int runStatus(const Args& args, CommandIo& io) {
    ArgParser parser = rigParser(
        "kvn350 rig status RIG.json [--json]",
        "For each processor of the rig: whether it answers, the memory it runs, and whether\n"
        "the rig's memory holds the rig's preset (read back and compared). A processor is\n"
        "ready when it answers, runs the rig's memory and that memory holds the preset.");
    parser.positional("RIG.json", "the rig file").flag("json", "print a JSON document");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const link::RigFile rig = loadRig(a->positional(0));
    const link::RigReport report = runRig(rig.processors, link::RigAction::Status, {}, io);
    if (a->has("json")) {
        QJsonArray list;
        for (std::size_t i = 0; i < rig.processors.size(); ++i) {
            const link::RigProcessor& p = rig.processors[i];
            const link::RigResult& r = report.results[i];
            QJsonObject o;
            o["name"] = QString::fromStdString(p.name);
            o["port"] = QString::fromStdString(p.portText);
            o["memory"] = p.memory;
            o["answers"] = r.answered;
            o["runs"] = r.activeMemory ? QJsonValue(*r.activeMemory) : QJsonValue();
            o["holdsPreset"] = QString::fromStdString(link::holdsText(r.holds));
            o["state"] = QString::fromStdString(link::rigStateText(r, link::RigAction::Status));
            o["problem"] = QString::fromStdString(r.succeeded() ? std::string() : r.failureText());
            list.append(o);
        }
        QJsonObject document;
        document["processors"] = list;
        document["ready"] = report.allSucceeded();
        io.out << writeJson(document, JsonNumbers::Shortest);
        return report.allSucceeded() ? kExitOk : kExitDevice;
    }
    std::vector<std::array<std::string, 7>> rows = {
        {"NAME", "PORT", "ANSWERS", "RUNS", "MEMORY", "HOLDS PRESET", "STATE"}};
    for (std::size_t i = 0; i < rig.processors.size(); ++i) {
        const link::RigProcessor& p = rig.processors[i];
        const link::RigResult& r = report.results[i];
        rows.push_back({p.name, p.portText, r.answered ? "yes" : "no",
                        r.activeMemory ? std::to_string(*r.activeMemory) : "-",
                        std::to_string(p.memory), link::holdsText(r.holds),
                        link::rigStateText(r, link::RigAction::Status)});
    }
    std::array<std::size_t, 7> widths{};
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += c + 1 == row.size() ? row[c]
                                        : row[c] + std::string(widths[c] - row[c].size() + 2, ' ');
        }
        io.out << line << "\n";
    }
    return finish(rig.processors, report, link::RigAction::Status, io);
}

int runWrite(const Args& args, CommandIo& io) {
    ArgParser parser = rigParser(
        "kvn350 rig write RIG.json [--yes]",
        "Writes each processor's preset to its memory, makes it run that memory and reads it\n"
        "back to check it. Processors on different ports are worked on at once; a failure on\n"
        "one leaves the others to finish.");
    parser.positional("RIG.json", "the rig file").flag("yes", "go ahead without asking");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const link::RigFile rig = loadRig(a->positional(0));
    if (!confirm(io,
                 "Do you want to write the rig's presets to its " +
                     std::to_string(rig.processors.size()) +
                     " processors? They overwrite what those memories hold.",
                 a->has("yes"))) {
        throwUsage("nothing was written");
    }
    const link::RigReport report = runRig(rig.processors, link::RigAction::Write, {}, io);
    for (std::size_t i = 0; i < rig.processors.size(); ++i) {
        const link::RigProcessor& p = rig.processors[i];
        const link::RigResult& r = report.results[i];
        if (r.succeeded()) {
            io.out << p.name << ": " << p.preset.filename().string() << " -> memory " << p.memory
                   << ", recalled and verified (" << seconds(r.elapsedMs) << ")\n";
        }
        for (const std::string& d : r.differences) {
            io.err << "kvn350: " << p.name << ": " << d << "\n";
        }
    }
    return finish(rig.processors, report, link::RigAction::Write, io);
}

void printBackupLines(const std::vector<link::RigProcessor>& processors,
                      const link::RigReport& report, const char* what, CommandIo& io) {
    for (std::size_t i = 0; i < processors.size(); ++i) {
        const link::RigResult& r = report.results[i];
        io.out << processors[i].name << ": " << r.report.saved.size() << " memories " << what
               << (r.report.saved.empty() ? "" : " in " + processors[i].folder + "/") << "\n";
    }
}

int runBackup(const Args& args, CommandIo& io) {
    ArgParser parser = rigParser(
        "kvn350 rig backup RIG.json DIR",
        "Reads every user memory (21..60) of every processor into DIR/<processor name>/, each\n"
        "with its backup.json, and lists the processors in DIR/rig-backup.json.");
    parser.positional("RIG.json", "the rig file").positional("DIR", "the backup's folder");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const link::RigFile rig = loadRig(a->positional(0));
    const std::string folder = a->positional(1);
    const link::RigReport report = runRig(rig.processors, link::RigAction::Backup, folder, io);
    printBackupLines(rig.processors, report, "backed up", io);
    return finish(rig.processors, report, link::RigAction::Backup, io);
}

int runRestore(const Args& args, CommandIo& io) {
    ArgParser parser = rigParser(
        "kvn350 rig restore DIR [--yes]",
        "Writes the memories of a rig backup back to the processors it lists, on the ports it\n"
        "names, and checks each; processors on different ports are worked on at once.");
    parser.positional("DIR", "the folder a rig backup wrote")
        .flag("yes", "go ahead without asking");
    const auto a = parseOrHelp(parser, args, io);
    if (!a) {
        return kExitOk;
    }
    const std::string folder = a->positional(0);
    link::RigBackupManifest manifest;
    std::string error;
    const auto processors =
        link::RigBackupManifest::load(folder, link::PortMap::defaults(), manifest, error);
    if (!processors) {
        throwBadInput(error);
    }
    if (!confirm(io,
                 "Do you want to write the memories backed up in " + folder + " back to its " +
                     std::to_string(processors->size()) +
                     " processors? They overwrite what the memories hold.",
                 a->has("yes"))) {
        throwUsage("nothing was written");
    }
    const link::RigReport report = runRig(*processors, link::RigAction::Restore, folder, io);
    printBackupLines(*processors, report, "restored", io);
    for (const link::RigBackupManifest::Missing& m : manifest.missing) {
        io.err << "kvn350: " << m.name << ": not in the backup (" << m.reason << ")\n";
    }
    const int status = finish(*processors, report, link::RigAction::Restore, io);
    return manifest.missing.empty() ? status : kExitDevice;
}

const std::array<Subcommand, 4> kRigCommands = {{
    {"status", "which processors answer, run the rig's memory and hold its preset", runStatus},
    {"write", "write each processor's preset to its memory, checked, all at once", runWrite},
    {"backup", "read every processor's user memories into a folder", runBackup},
    {"restore", "write a rig backup back to its processors", runRestore},
}};

}  // namespace

std::span<const Subcommand> rigCommands() {
    return kRigCommands;
}

}  // namespace kvn::cli
