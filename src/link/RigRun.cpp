// The rig's workers: one thread per port, the device sequences on each processor.
#include "link/RigRun.h"

#include <chrono>
#include <map>
#include <thread>

#include "config/AtomicFile.h"
#include "link/BackupManifest.h"
#include "link/CheckedWrite.h"
#include "link/DeviceLink.h"
#include "link/DeviceSequences.h"
#include "link/RigBackupManifest.h"

namespace kvn::link {
namespace {

namespace fs = std::filesystem;

// Hands one processor's transfer window to the rig's listener and keeps its message boxes.
class ProcessorProgress final : public TransferProgress {
public:
    ProcessorProgress(RigListener& listener, std::size_t index, RigResult& result)
        : listener_(listener), index_(index), result_(result) {}

    void setInfo(const std::string& text) override {
        info_ = text;
        tell();
    }
    void setGaugeMaximum(int maximum) override {
        maximum_ = maximum;
        position_ = 0;
        tell();
    }
    void setGaugePosition(int position) override {
        position_ = position;
        tell();
    }
    void showMessage(MessageKind, const std::string& text) override {
        result_.messages.push_back(text);
    }

private:
    void tell() { listener_.progress(index_, info_, position_, maximum_); }

    RigListener& listener_;
    std::size_t index_;
    RigResult& result_;
    std::string info_;
    int position_ = 0;
    int maximum_ = 0;
};

bool fail(RigResult& result, std::string why) {
    result.state = RigResult::State::Failed;
    result.failure = std::move(why);
    return false;
}

// The backup's or restore's skipped memories as one failure.
bool reportOutcome(RigResult& result) {
    if (result.report.complete()) {
        result.state = RigResult::State::Succeeded;
        return true;
    }
    std::string why;
    for (const std::string& line : result.report.problems()) {
        why += (why.empty() ? "" : "; ") + line;
    }
    return fail(result, why.empty() ? "nothing was done" : why);
}

}  // namespace

std::string RigResult::failureText() const {
    std::string text = failure;
    std::string shown;
    for (const std::string& m : messages) {
        shown += (shown.empty() ? "" : "; ") + m;
    }
    if (!shown.empty()) {
        text += text.empty() ? shown : " (" + shown + ")";
    }
    return text;
}

std::string rigStateText(const RigResult& r, RigAction action) {
    using State = RigResult::State;
    switch (r.state) {
        case State::Waiting:
            return "waiting";
        case State::Running:
            return "working";
        case State::Cancelled:
            return "cancelled";
        case State::Succeeded:
            switch (action) {
                case RigAction::Status:
                    return "ready";
                case RigAction::Write:
                    return "written";
                case RigAction::Backup:
                    return "backed up";
                case RigAction::Restore:
                    return "restored";
            }
            break;
        case State::Failed:
            if (action == RigAction::Status) {
                if (!r.answered) {
                    return "no answer";
                }
                if (r.holds == RigResult::Holds::No) {
                    return "differs";
                }
                if (r.holds == RigResult::Holds::Yes) {
                    return "wrong memory";
                }
            }
            break;
    }
    return "failed";
}

std::string rigDoneText(RigAction action) {
    switch (action) {
        case RigAction::Status:
            return "ready";
        case RigAction::Write:
            return "written and verified";
        case RigAction::Backup:
            return "backed up";
        case RigAction::Restore:
            break;
    }
    return "restored";
}

std::string holdsText(RigResult::Holds holds) {
    switch (holds) {
        case RigResult::Holds::Yes:
            return "yes";
        case RigResult::Holds::No:
            return "no";
        case RigResult::Holds::Unknown:
            break;
    }
    return "unknown";
}

bool RigReport::allSucceeded() const {
    for (const RigResult& r : results) {
        if (!r.succeeded()) {
            return false;
        }
    }
    return error.empty();
}

std::vector<std::string> RigReport::failures(const std::vector<RigProcessor>& processors) const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < results.size() && i < processors.size(); ++i) {
        const RigResult& r = results[i];
        if (r.state == RigResult::State::Cancelled) {
            lines.push_back(processors[i].name + ": cancelled" +
                            (r.failure.empty() ? "" : " (" + r.failure + ")"));
        } else if (!r.succeeded()) {
            lines.push_back(processors[i].name + ": " + r.failureText());
        }
    }
    if (!error.empty()) {
        lines.push_back(error);
    }
    return lines;
}

RigRun::RigRun(SystemLinks system, PortMap ports, Sleeper& sleeper, RigWorkers workers)
    : system_(std::move(system)),
      ports_(std::move(ports)),
      sleeper_(sleeper),
      workers_(std::move(workers)) {
    if (!workers_) {
        workers_ = [](std::function<void()> job) -> std::function<void()> {
            auto thread = std::make_shared<std::thread>(std::move(job));
            return [thread] { thread->join(); };
        };
    }
}

void RigRun::runOne(const RigProcessor& processor, std::size_t index, RigAction action,
                    const fs::path& folder, RigListener& listener, RigResult& result) {
    ProcessorProgress progress(listener, index, result);
    const auto stopHere = [&](const char* after) {
        if (!cancelled_) {
            return false;
        }
        result.state = RigResult::State::Cancelled;
        result.failure = after;
        return true;
    };
    std::string error;
    std::optional<PortTarget> target = PortTarget::open(processor.port, system_, error);
    if (!target) {
        fail(result, error);
        return;
    }
    // The link is closed before the virtual processor's memories are saved.
    [&] {
        DeviceLink link(progress, sleeper_);
        if (link.choose(target->option) != DeviceLink::Choice::Connected) {
            fail(result, "the port could not be opened");
            return;
        }
        DeviceSequences sequences(link, progress, sleeper_);
        const int memory = processor.memory;
        // Status, backup and restore ask first, so that a processor that is not there fails at
        // once instead of once per memory.
        if (action != RigAction::Write) {
            result.answered = link.identify().answered;
            if (!result.answered) {
                fail(result, "the processor did not answer");
            } else if (stopHere("before anything was read")) {
                return;
            }
        }
        switch (action) {
            case RigAction::Status: {
                if (!result.answered) {
                    break;
                }
                result.activeMemory = sequences.QueryActiveMemory(MemoryRange::all());
                if (stopHere("before the memory was checked")) {
                    return;
                }
                const auto check = sequences.VerifyMemory(memory, processor.image);
                if (!check) {
                    fail(result, "memory " + std::to_string(memory) +
                                     " could not be read: " + sequences.lastFailure());
                    break;
                }
                result.holds = check->passed() ? RigResult::Holds::Yes : RigResult::Holds::No;
                result.differences = check->check.lines();
                if (!check->passed()) {
                    fail(result, "memory " + std::to_string(memory) + " does not hold " +
                                     processor.preset.filename().string());
                } else if (result.activeMemory != memory) {
                    fail(result, "runs memory " +
                                     (result.activeMemory ? std::to_string(*result.activeMemory)
                                                          : std::string("?")) +
                                     ", not " + std::to_string(memory));
                } else {
                    result.state = RigResult::State::Succeeded;
                }
                break;
            }
            case RigAction::Write: {
                const CheckedWrite write = writeChecked(sequences, memory, processor.image, true,
                                                        [this] { return cancelled_.load(); });
                result.answered = write.written;
                if (write.written) {
                    result.activeMemory = memory;
                }
                if (write.verification) {
                    result.holds =
                        write.verification->passed() ? RigResult::Holds::Yes : RigResult::Holds::No;
                    result.differences = write.verification->check.lines();
                }
                result.failure = write.failure;
                result.state = write.succeeded() ? RigResult::State::Succeeded
                               : write.stopped   ? RigResult::State::Cancelled
                                                 : RigResult::State::Failed;
                break;
            }
            case RigAction::Backup:
                if (result.answered) {
                    result.report = ProcessorBackup(sequences).backup(folder / processor.folder,
                                                                      MemoryRange::user());
                    reportOutcome(result);
                }
                break;
            case RigAction::Restore:
                if (result.answered) {
                    result.report = ProcessorBackup(sequences).restore(folder / processor.folder,
                                                                       MemoryRange::user());
                    // Every write recalled its memory: the processor is left running the rig's.
                    if (reportOutcome(result) && sequences.ChangeMemory(memory)) {
                        result.activeMemory = memory;
                    } else if (result.succeeded()) {
                        fail(result, "restored, but memory " + std::to_string(memory) +
                                         " could not be recalled");
                    }
                }
                break;
        }
    }();
    if (!target->saveState(error)) {
        fail(result, "the virtual processor's state file was not saved: " + error);
    }
}

RigReport RigRun::run(const std::vector<RigProcessor>& processors, RigAction action,
                      const fs::path& folder, RigListener& listener) {
    RigReport report;
    report.results.resize(processors.size());
    // One worker per port; processors that share a port take turns on its worker.
    std::map<std::string, std::vector<std::size_t>> byPort;
    for (std::size_t i = 0; i < processors.size(); ++i) {
        const std::string identity = portIdentity(processors[i].port, ports_);
        byPort[identity.empty() ? "#" + std::to_string(i) : identity].push_back(i);
    }
    {
        std::vector<std::function<void()>> joins;
        joins.reserve(byPort.size());
        for (const auto& [identity, indexes] : byPort) {
            joins.push_back(workers_([&, indexes = indexes] {
                for (const std::size_t i : indexes) {
                    RigResult& result = report.results[i];
                    if (cancelled_) {
                        result.state = RigResult::State::Cancelled;
                        result.failure = "not started";
                    } else {
                        result.state = RigResult::State::Running;
                        listener.started(i);
                        const auto start = std::chrono::steady_clock::now();
                        runOne(processors[i], i, action, folder, listener, result);
                        result.elapsedMs =
                            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 std::chrono::steady_clock::now() - start)
                                                 .count());
                    }
                    listener.finished(i, result);
                }
            }));
        }
        for (const auto& join : joins) {
            join();
        }
    }
    if (action == RigAction::Backup) {
        RigBackupManifest manifest;
        manifest.created = utcTimeText();
        for (std::size_t i = 0; i < processors.size(); ++i) {
            const RigResult& r = report.results[i];
            const RigProcessor& p = processors[i];
            if (r.report.saved.empty()) {
                manifest.missing.push_back({p.name, r.failureText()});
            } else {
                manifest.processors.push_back({p.name, p.port.text(), p.memory, p.folder});
            }
        }
        std::string error;
        if (manifest.processors.empty()) {
            report.error = "No processor was backed up; " +
                           (folder / RigBackupManifest::kFileName).string() + " was left as it was";
        } else if (!writeFileAtomically(folder / RigBackupManifest::kFileName, manifest.toJson(),
                                        error)) {
            report.error = std::string("The rig backup manifest ") + RigBackupManifest::kFileName +
                           " was not written: " + error;
        }
    }
    return report;
}

}  // namespace kvn::link
