// The framing shared by transfers and real-time messages: START and END bytes, command codes,
// block size and the lengths of the fixed payloads.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvn::link::wire {

inline constexpr std::uint8_t kStart = 0x84;
inline constexpr std::uint8_t kEnd = 0x55;
// The device answers 0xFF to PROGRAM NUMBER when the memory is protected.
inline constexpr std::uint8_t kProtected = 0xFF;
inline constexpr std::size_t kBlockBytes = 64;
// The largest payload a transfer carries, and the largest image a read accepts.
inline constexpr std::size_t kBufferBytes = 32768;

enum class Command : std::uint8_t {
    Identify = 0,
    LoadFirmware = 1,
    WriteMemory = 3,
    RequestMemory = 4,
    KeyboardLock = 5,
    SetPassword = 6,
    RecallMemory = 7,
    FirmwareDone = 8,
    RealTimeMessage = 18,
    QueryMemory = 19,
};

inline constexpr std::uint8_t kFirmwareProgram = 61;
inline constexpr std::size_t kFirmwarePayloadBytes = 6143;
inline constexpr std::size_t kPasswordBlockBytes = 7;
inline constexpr std::uint8_t kKeyboardLocked = 0xFF;
inline constexpr std::uint8_t kKeyboardUnlocked = 0x00;

// CommandReply to Identify at or above this value: the processor takes letter passwords.
inline constexpr std::uint8_t kLetterPasswordReply = 50;

}  // namespace kvn::link::wire
