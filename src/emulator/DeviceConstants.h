// Fixed numbers of the virtual processor: its memories, the bytes of the transfer protocol and
// the payload sizes each command carries.
#pragma once

#include "config/ImageLayout.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace kvn::emu {

// The device clock: microseconds since an origin the caller chooses. It only moves forwards.
using Micros = std::chrono::microseconds;

inline constexpr int kFirstMemory = 1;
inline constexpr int kLastMemory = 60;
inline constexpr int kMemoryCount = kLastMemory - kFirstMemory + 1;
inline constexpr int kPowerUpMemory = 21;
inline constexpr std::size_t kImageBytes = image::kTransferBytes;  // one stored memory

inline constexpr std::uint8_t kStartByte = 0x84;
inline constexpr std::uint8_t kEndByte = 0x55;
inline constexpr std::size_t kBlockBytes = 64;

// Transfer commands.
inline constexpr std::uint8_t kIdentify = 0;
inline constexpr std::uint8_t kLoadFirmware = 1;
inline constexpr std::uint8_t kWriteMemory = 3;
inline constexpr std::uint8_t kRequestMemory = 4;
inline constexpr std::uint8_t kKeyboardLock = 5;
inline constexpr std::uint8_t kSetPassword = 6;
inline constexpr std::uint8_t kRecallMemory = 7;
inline constexpr std::uint8_t kFirmwareDone = 8;
inline constexpr std::uint8_t kRealTimeMessage = 18;
inline constexpr std::uint8_t kQueryMemory = 19;

inline constexpr std::uint8_t kFirmwareProgram = 61;
inline constexpr std::size_t kFirmwarePayloadBytes = 6143;
inline constexpr std::size_t kPasswordBytes = 7;
inline constexpr std::uint8_t kLockKeyboard = 0xFF;
inline constexpr std::uint8_t kUnlockKeyboard = 0x00;

// Replies. The PC takes a COMMAND reply of 50 or more as a processor that wants a password of
// letters, below 50 as one that wants key presses; the default is a letter-password processor.
inline constexpr std::uint8_t kDefaultCommandReply = 60;
inline constexpr std::uint8_t kProtectedReply = 0xFF;  // PROGRAM NUMBER of a protected memory
// PROGRAM NUMBER naming no memory (or, for a firmware load, not the firmware program): any byte
// other than the echo makes the PC stop; 0xFE is used unless it would look like an echo.
inline constexpr std::uint8_t kNoSuchProgramReply = 0xFE;
inline constexpr std::uint8_t kRefusedEndReply = 0x00;  // END of a transfer that was not taken

// Real-time message types and payload sizes.
inline constexpr std::uint8_t kSectionMessage = 0;
inline constexpr std::uint8_t kWordMessage = 2;
inline constexpr std::size_t kSectionPayloadBytes = 17;
inline constexpr std::size_t kWordPayloadBytes = 5;

// A time-out of silence longer than the PC's 2 s reply window, so the processor never gives up
// on a PC that is still waiting within its own rules.
inline constexpr Micros kDefaultSilenceTimeout = std::chrono::seconds(3);

// A byte on the wire is 10 bits (start, 8 data, stop); 9600 baud is the processor's line.
inline constexpr int kBitsPerByte = 10;
inline constexpr int kProcessorBaud = 9600;

}  // namespace kvn::emu
