// An FTDI USB serial converter wired to the virtual processor in the same process.
#pragma once

#include "emulator/VirtualProcessor.h"
#include "link/D2xx.h"
#include "link/EmulatorClock.h"

#include <cstdint>

namespace kvn::link {

// Behaves as the D2XX library with one converter at index 0 (see D2xx for the contract):
// - open() answers kFtDeviceNotFound for any other index, in "no device" mode
//   (setDevicePresent(false)) and once the processor has disappeared; kFtDeviceNotOpened when the
//   converter is open already. Opening drops bytes that arrived while it was closed.
// - Line settings are kept across close and open, starting at 9600 baud 8N1 as the chip does.
//   Bytes written while they are not 9600 8N1 count as written but the processor hears nothing
//   it understands (they are lost).
// - read() waits on the converter's clock (virtual or real) until the asked number of bytes has
//   arrived or the read time-out set by setTimeouts() has run out; a read time-out of 0 returns
//   at once with what has arrived (no call waits without limit).
// - Once the processor has disappeared, every call on the open converter but close() answers
//   kFtIoError.
class EmulatedD2xx : public D2xx {
public:
    // `device` must outlive the converter.
    explicit EmulatedD2xx(emu::VirtualProcessor& device, ClockPolicy policy = ClockPolicy::Virtual);

    void setDevicePresent(bool present) { devicePresent_ = present; }

    FtStatus open(int deviceIndex) override;
    FtStatus close() override;
    FtStatus setBaudRate(std::uint32_t baud) override;
    FtStatus setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity) override;
    FtStatus setFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) override;
    FtStatus setDtr() override;
    FtStatus setRts() override;
    FtStatus setChars(std::uint8_t eventChar, std::uint8_t eventCharEnabled, std::uint8_t errorChar,
                      std::uint8_t errorCharEnabled) override;
    FtStatus setTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override;
    FtStatus write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override;
    FtStatus read(std::span<std::uint8_t> bytes, std::uint32_t& read) override;

    // What the PC side has set, for assertions.
    bool isOpen() const { return open_; }
    std::uint32_t baudRate() const { return baud_; }
    bool lineMatchesProcessor() const;
    std::uint32_t readTimeoutMs() const { return readTimeoutMs_; }
    std::uint32_t writeTimeoutMs() const { return writeTimeoutMs_; }
    bool dtrSet() const { return dtr_; }
    bool rtsSet() const { return rts_; }
    std::uint64_t bytesLost() const { return bytesLost_; }

    const EmulatorClock& clock() const { return clock_; }

private:
    // kFtOk when a call may act on the open converter, the status to return otherwise.
    FtStatus usable() const;

    emu::VirtualProcessor& device_;
    EmulatorClock clock_;
    bool devicePresent_ = true;
    bool open_ = false;
    std::uint32_t baud_ = 9600;
    std::uint8_t wordLength_ = kFtBits8;
    std::uint8_t stopBits_ = kFtStopBits1;
    std::uint8_t parity_ = kFtParityNone;
    bool dtr_ = false;
    bool rts_ = false;
    std::uint32_t readTimeoutMs_ = 0;
    std::uint32_t writeTimeoutMs_ = 0;
    std::uint64_t bytesLost_ = 0;
};

}  // namespace kvn::link
