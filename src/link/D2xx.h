// The calls of the FTDI D2XX interface that the USB link uses, on one device (index 0). Backends:
// libftdi1 for real converter chips, and the emulated converter wired to the virtual processor.
// Every call returns a D2XX status; calls other than open() on a closed device return
// kFtInvalidHandle.
#pragma once

#include <cstdint>
#include <span>

namespace kvn::link {

using FtStatus = std::uint32_t;

// Status codes as the D2XX library publishes them.
inline constexpr FtStatus kFtOk = 0;
inline constexpr FtStatus kFtInvalidHandle = 1;
inline constexpr FtStatus kFtDeviceNotFound = 2;
inline constexpr FtStatus kFtDeviceNotOpened = 3;
inline constexpr FtStatus kFtIoError = 4;
inline constexpr FtStatus kFtInsufficientResources = 5;
inline constexpr FtStatus kFtInvalidParameter = 6;
inline constexpr FtStatus kFtInvalidBaudRate = 7;
inline constexpr FtStatus kFtNotSupported = 17;
inline constexpr FtStatus kFtOtherError = 18;

// Values of the D2XX constants used by the USB link.
inline constexpr std::uint8_t kFtBits8 = 8;
inline constexpr std::uint8_t kFtStopBits1 = 0;
inline constexpr std::uint8_t kFtParityNone = 0;
inline constexpr std::uint16_t kFtFlowNone = 0x0000;
inline constexpr std::uint32_t kFtPurgeRx = 1;
inline constexpr std::uint32_t kFtPurgeTx = 2;

class D2xx {
public:
    virtual ~D2xx() = default;

    virtual FtStatus open(int deviceIndex) = 0;
    virtual FtStatus close() = 0;
    virtual FtStatus setBaudRate(std::uint32_t baud) = 0;
    virtual FtStatus setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                            std::uint8_t parity) = 0;
    virtual FtStatus setFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) = 0;
    virtual FtStatus setDtr() = 0;
    virtual FtStatus setRts() = 0;
    virtual FtStatus setChars(std::uint8_t eventChar, std::uint8_t eventCharEnabled,
                              std::uint8_t errorChar, std::uint8_t errorCharEnabled) = 0;
    virtual FtStatus setTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) = 0;

    // Writes `bytes`; `written` receives the number that went out.
    virtual FtStatus write(std::span<const std::uint8_t> bytes, std::uint32_t& written) = 0;
    // Reads up to bytes.size() bytes, waiting until that many have arrived or the read time-out
    // has run out; `read` receives the number read (fewer on a time-out, with kFtOk).
    virtual FtStatus read(std::span<std::uint8_t> bytes, std::uint32_t& read) = 0;
    // Discards what the converter holds in the directions of `mask` (kFtPurgeRx, kFtPurgeTx).
    // A backend whose buffers do not outlive close() may keep this default, which does nothing.
    virtual FtStatus purge(std::uint32_t mask) {
        (void)mask;
        return kFtOk;
    }
};

}  // namespace kvn::link
