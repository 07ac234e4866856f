// Work on every processor of a rig at once: the status check, writing each its preset, backing
// up and restoring their memories. Processors are grouped by the port they are on and each port
// gets one worker thread, which opens the port once per processor and never while another worker
// holds it; a failure on one processor never stops the others. Each processor runs the same
// device sequences as the single-processor commands (DeviceSequences, ProcessorBackup).
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/PortMap.h"
#include "link/PortTarget.h"
#include "link/ProcessorBackup.h"
#include "link/RigFile.h"
#include "link/Sleeper.h"

namespace kvn::link {

enum class RigAction {
    Status,   // answers? which memory does it run? does its memory hold the rig's preset?
    Write,    // the preset to its memory, recalled, then read back and compared
    Backup,   // its user memories into FOLDER/<its folder>, and the rig backup manifest
    Restore,  // the memories of FOLDER/<its folder> back, each checked; then it runs its memory
};

struct RigResult {
    enum class State { Waiting, Running, Succeeded, Failed, Cancelled };
    enum class Holds { Unknown, Yes, No };

    State state = State::Waiting;
    bool answered = false;
    std::optional<int> activeMemory;  // the memory it runs
    Holds holds = Holds::Unknown;     // whether its memory holds the rig's preset
    // Why it did not succeed, in a few words ("the memory is protected"); for Status, why it is
    // not ready for the show.
    std::string failure;
    // The link's messages on the way (the memory-protected box, the communication error).
    std::vector<std::string> messages;
    // What a check found different ("Output[1].DelaySamples: 0 -> 48").
    std::vector<std::string> differences;
    // Backup and Restore: the memories done and skipped.
    ProcessorBackup::Report report;
    int elapsedMs = 0;

    bool succeeded() const { return state == State::Succeeded; }
    // The failure followed by the link's messages: "the memory is protected (MEMORY PROTECTED...)".
    std::string failureText() const;
};

// Told what the workers do. Calls come from the worker threads, several at once: a listener
// guards what it shares.
class RigListener {
public:
    virtual ~RigListener() = default;
    virtual void started(std::size_t index) { (void)index; }
    // The processor's step text and the transfer's bytes so far (position of maximum).
    virtual void progress(std::size_t index, const std::string& step, int position, int maximum) {
        (void)index;
        (void)step;
        (void)position;
        (void)maximum;
    }
    virtual void finished(std::size_t index, const RigResult& result) {
        (void)index;
        (void)result;
    }
};

struct RigReport {
    std::vector<RigResult> results;  // one per processor, in the rig's order
    // Backup: the rig backup manifest could not be written; empty otherwise.
    std::string error;

    bool allSucceeded() const;
    // One line per processor that did not succeed ("Left hang: the processor did not answer"),
    // then the error.
    std::vector<std::string> failures(const std::vector<RigProcessor>& processors) const;
};

// The state a processor's row shows: "waiting", "working", then for Status "ready", "no answer",
// "differs" (its memory holds something else), "wrong memory" (it runs another one) or "failed";
// for the others "written", "backed up", "restored" or "failed"; "cancelled".
std::string rigStateText(const RigResult& result, RigAction action);
// What a processor that succeeded is: "ready", "written and verified", "backed up", "restored".
std::string rigDoneText(RigAction action);
// "yes", "no", "unknown".
std::string holdsText(RigResult::Holds holds);

// Starts a worker: runs `job` on a thread of its own and returns a function that waits for it to
// end. Empty: std::thread. The serial ports' backend wants threads of its own kind.
using RigWorkers = std::function<std::function<void()>(std::function<void()> job)>;

class RigRun {
public:
    // `system` makes the serial and USB links; `ports` tells which ports are one; `sleeper`
    // must be usable from several threads at once and outlive the run.
    RigRun(SystemLinks system, PortMap ports, Sleeper& sleeper, RigWorkers workers = {});

    // Runs `action` on every processor and returns when all are done. `folder` is the rig
    // backup's folder for Backup and Restore. A processor whose port another one is on waits
    // for it.
    RigReport run(const std::vector<RigProcessor>& processors, RigAction action,
                  const std::filesystem::path& folder, RigListener& listener);

    // Stops the run after the step each processor is in (any thread): processors not yet
    // started are not started, those under way stop before their next step.
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

private:
    void runOne(const RigProcessor& processor, std::size_t index, RigAction action,
                const std::filesystem::path& folder, RigListener& listener, RigResult& result);

    SystemLinks system_;
    PortMap ports_;
    Sleeper& sleeper_;
    RigWorkers workers_;
    std::atomic<bool> cancelled_ = false;
};

}  // namespace kvn::link
