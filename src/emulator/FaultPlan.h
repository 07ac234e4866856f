// Faults the virtual processor can be told to show, for tests of the PC side and for trying the
// editor's error paths without broken hardware.
#pragma once

#include "emulator/DeviceConstants.h"

#include <cstdint>
#include <optional>

namespace kvn::emu {

// The steps of a transfer at which a wrong byte can be given. In a transfer from the PC the
// fault replaces the device's reply at that step; in the memory stream the device sends after a
// request it replaces the byte the device sends there (Start: BEGIN; Long: the low byte of LONG;
// DataBlock: the first byte of the block; End: END).
enum class TransferStep { Start, Command, Program, Long, DataBlock, End };

struct WrongByte {
    TransferStep step = TransferStep::Start;
    // For DataBlock: which block, counting from 0; the rest after the whole blocks counts as the
    // block after the last whole one.
    int block = 0;
    // The byte given instead; when empty, the right byte with every bit inverted.
    std::optional<std::uint8_t> value{};
};

// Each fault applies to every transfer while the plan is set, or to the first `faultTransfers`
// only. Byte counts start from 1 at the first byte received after the plan was set (or after the
// device was reconnected).
struct FaultPlan {
    // The device hangs from this received byte on: that byte and every later one are ignored and
    // nothing more is sent.
    std::optional<std::uint64_t> silentFromByte{};
    // A wrong byte at one step of every transfer.
    std::optional<WrongByte> wrongByte{};
    // The device disappears once it has received this many bytes (0: at once): it takes and
    // answers nothing more, replies not yet delivered are lost, and links report the loss.
    std::optional<std::uint64_t> goneAfterBytes{};
    // Every reply leaves the device this long after the byte it answers has arrived.
    Micros replyDelay{0};
    // The faults apply to this many transfers, counted from the plan on by the STARTs that begin
    // them at rest (a memory request and the memory it streams back are one transfer, as is a
    // real-time message); later transfers find the device well. Empty: to every transfer.
    std::optional<std::uint64_t> faultTransfers{};
};

}  // namespace kvn::emu
