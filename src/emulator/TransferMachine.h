// The processor's side of the transfer protocol: takes the PC's bytes one at a time and gives the
// bytes the processor answers, changing the device state when a transfer ends well. Knows nothing
// of time; the caller feeds it in arrival order and applies the time-out of silence.
#pragma once

#include "emulator/DeviceCounters.h"
#include "emulator/DeviceState.h"
#include "emulator/FaultPlan.h"
#include "emulator/RealTimeReceiver.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kvn::emu {

// A transfer from the PC, byte by byte, with the device's answers:
//   START 0x84                 -> 0x84 (also for real-time messages: START is all the device has
//                                 seen; a START where a command belongs begins the transfer again)
//   COMMAND                    -> the COMMAND reply (none for command 18, a real-time message)
//   PROGRAM NUMBER             -> the echo; command 19: the active memory; a write (3) to a
//                                 protected memory: 0xFF; a memory command (3, 4, 7) naming no
//                                 memory 1..60, or a firmware load (1) not for program 61: 0xFE
//                                 (0x00 for program 0xFE). Every refusal ends the transfer.
//   PROGRAM NUMBER again       -> nothing; a different byte breaks the transfer off
//   LONG high                  -> nothing
//   LONG low                   -> the echo, when the command takes that length (0, 4, 7, 8, 19:
//                                 0; 1: 6143; 3: 2046; 5: 1; 6: 7; unknown commands: any);
//                                 otherwise the low byte inverted, and the transfer ends
//   each 64-byte block, rest   -> one byte, the block's last byte
//   END 0x55                   -> 0x55 when the transfer is taken, 0x00 when it is not (an END
//                                 other than 0x55, a keyboard-lock byte other than 0xFF or 0x00,
//                                 FIRMWARE DONE without a firmware loaded); only then does the
//                                 transfer change anything.
// Effects at END: 1 keeps the firmware payload and clears the firmware-done flag; 3 stores the
// memory (recall and read of a protected memory are allowed); 5 locks (0xFF) or unlocks (0x00)
// the keyboard; 6 keeps the 7-byte password block; 7 recalls the memory into both running banks;
// 8 sets the firmware-done flag; 0, 19 and unknown commands change nothing; 4 starts the stream.
//
// After a request (4) the device streams the memory back, each byte or block waiting for the
// PC's answer: the PC's 0x84 -> BEGIN 0x84, answered 0x84; COMMAND 4, PROGRAM, LONG high, LONG
// low (LONG is always the stored 2046 bytes), each echoed; 31 blocks of 64 and a rest of 62, each
// acknowledged by any byte; END 0x55, echoed. A wrong echo breaks the stream off.
class TransferMachine {
public:
    TransferMachine(DeviceState& state, DeviceCounters& counters);

    void setCommandReply(std::uint8_t reply) { commandReply_ = reply; }
    std::uint8_t commandReply() const { return commandReply_; }
    void setWrongByte(std::optional<WrongByte> fault) { wrongByte_ = fault; }

    // Takes one received byte and appends what the device sends in answer (nothing, one byte, or
    // a block of the memory stream) to `out`.
    void receive(std::uint8_t byte, std::vector<std::uint8_t>& out);

    // True when no transfer, real-time message or stream is under way.
    bool idle() const { return phase_ == Phase::Idle; }
    // Breaks off what is under way and returns to rest; true (and counted) when something was.
    bool abandon();

private:
    enum class Phase {
        Idle,
        Command,
        Program,
        ProgramRepeat,
        LongHigh,
        LongLow,
        Data,
        End,
        RealTime,
        StreamStart,
        Stream,
    };
    // One step of the memory stream: what the device sends and the answer it waits for (any
    // byte when empty).
    struct Frame {
        std::vector<std::uint8_t> bytes;
        std::optional<std::uint8_t> answer;
    };

    std::uint8_t faulted(TransferStep step, std::uint8_t correct, std::size_t block = 0) const;
    std::optional<std::uint8_t> programRefusal() const;
    bool lengthAccepted() const;
    bool commit();
    void refuse();
    void prepareStream();

    DeviceState& state_;
    DeviceCounters& counters_;
    RealTimeReceiver realTime_;
    std::uint8_t commandReply_ = kDefaultCommandReply;
    std::optional<WrongByte> wrongByte_;

    Phase phase_ = Phase::Idle;
    std::uint8_t command_ = 0;
    std::uint8_t program_ = 0;
    std::size_t length_ = 0;
    std::vector<std::uint8_t> data_;
    std::vector<Frame> frames_;
    std::size_t frame_ = 0;
};

}  // namespace kvn::emu
