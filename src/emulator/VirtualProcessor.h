// The virtual KVN 350: the device model behind the editor's Virtual connection, the in-process
// links of the tests and the kvn350-emulator tool. It is fed the bytes the PC sends and gives the
// bytes the processor answers, on a clock the caller passes in.
#pragma once

#include "emulator/DeviceCounters.h"
#include "emulator/DeviceState.h"
#include "emulator/FaultPlan.h"
#include "emulator/TransferMachine.h"
#include "emulator/WireClock.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <limits>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvn::emu {

struct DeviceOptions {
    // The reply to COMMAND; 50 or more makes the PC ask for a password of letters.
    std::uint8_t commandReply = kDefaultCommandReply;
    // Line rate in both directions, 10 bits per byte; 0 delivers bytes at once. kProcessorBaud
    // (9600) is the processor's own line.
    int baud = 0;
    // A transfer, real-time message or memory stream that hears nothing for this long is
    // dropped and the device waits for START again.
    Micros silenceTimeout = kDefaultSilenceTimeout;
    // The image every memory holds at power-up; factoryImage() when empty.
    std::optional<Image> initialImage{};
};

// Time: every call that takes `now` first brings the device up to that time (bytes arrive, are
// answered, silences run out). A `now` earlier than the latest time seen counts as the latest, so
// the device clock never goes backwards. Bytes the PC writes at `now` reach the device one byte
// time apart when a line rate is set (at once otherwise); replies leave after the reply delay and
// reach the PC at the line rate. Nothing happens between calls: a caller that waits asks
// nextEventTime() when something will happen next.
//
// Every member function may be called from any thread; one mutex guards the whole device.
class VirtualProcessor {
public:
    explicit VirtualProcessor(const DeviceOptions& options = {});

    // --- The wire ---
    // The PC sends `bytes` at `now`. Bytes sent to a device that is gone are lost.
    void write(std::span<const std::uint8_t> bytes, Micros now);
    // Bytes that have reached the PC by `now` and were not read yet, at most `maxBytes`, oldest
    // first.
    std::vector<std::uint8_t> read(Micros now,
                                   std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
    // How many bytes read(now) would give.
    std::size_t available(Micros now);
    // Drops the bytes that have reached the PC by `now` (bytes still on the line arrive later).
    void discardArrived(Micros now);
    void advanceTo(Micros now);
    // When the next byte reaches either end or a silence runs out; empty when nothing is due
    // (bytes that have reached the PC and wait to be read are not due).
    std::optional<Micros> nextEventTime() const;
    // The latest time the device has been brought to.
    Micros now() const;
    // True when no transfer, real-time message or memory stream is under way.
    bool idle() const;

    // --- Settings and faults ---
    void setCommandReply(std::uint8_t reply);
    std::uint8_t commandReply() const;
    void setBaud(int baud);
    int baud() const;
    void setSilenceTimeout(Micros timeout);
    // Replaces the fault plan and restarts its byte and transfer counts. goneAfterBytes 0 takes
    // the device away at once.
    void setFaults(const FaultPlan& plan);
    FaultPlan faults() const;
    // True once the device has disappeared (FaultPlan::goneAfterBytes).
    bool gone() const;
    // Brings a disappeared device back, at rest; the fault plan's counts start again.
    void reconnect();
    // Memory protection as set on the processor's front panel (1..60, std::out_of_range
    // otherwise). A protected memory refuses writes; recall and read are allowed.
    void setProtected(int memory, bool isProtected);
    bool isProtected(int memory) const;
    // A recall from the front panel: `memory` (1..60) becomes active and runs.
    void recallMemory(int memory);

    // --- What the device holds ---
    DeviceState state() const;
    Image memory(int memory) const;
    int activeMemory() const;
    Bank bank(int bank) const;
    Word bankWord(int bank, int address) const;
    // Addresses at which running bank 1 or 2 differs from `image`'s block A or B: empty when the
    // processor runs what the image holds (see bankDifferences in DeviceState.h).
    std::vector<int> bankDifferences(int bank, std::span<const std::uint8_t> image) const;
    bool keyboardLocked() const;
    PasswordBlock password() const;
    std::vector<std::uint8_t> firmware() const;
    bool firmwareDone() const;
    DeviceCounters counters() const;

    // --- State file (see StateFile.h) ---
    bool saveState(const std::filesystem::path& path, std::string& error) const;
    // Replaces the whole state with the file's as at power-up (the file's active memory runs);
    // a file that cannot be read or is refused changes nothing. A transfer under way is dropped.
    bool loadState(const std::filesystem::path& path, std::string& error);

private:
    struct TimedByte {
        Micros at;
        std::uint8_t byte;
    };

    void advanceLocked(Micros now);
    void expireSilence(Micros at);
    void handleByte(std::uint8_t byte, Micros at);
    void vanish();
    // The plan applies to the transfer under way (FaultPlan::faultTransfers).
    bool faultsApply() const;
    std::size_t availableLocked() const;

    mutable std::mutex mutex_;
    DeviceState state_;
    DeviceCounters counters_;
    TransferMachine machine_;
    WireClock toDevice_;
    WireClock toPc_;
    Micros silenceTimeout_;
    FaultPlan faults_;

    std::deque<TimedByte> input_;   // on the line towards the device, by arrival time
    std::deque<TimedByte> output_;  // on the line towards the PC, by arrival time
    std::vector<std::uint8_t> replies_;
    Micros now_{0};
    Micros lastActivity_{0};  // the last byte received or delivered, for the time-out of silence
    std::uint64_t bytesSinceFaults_ = 0;
    std::uint64_t transfersSinceFaults_ = 0;
    bool gone_ = false;
};

}  // namespace kvn::emu
