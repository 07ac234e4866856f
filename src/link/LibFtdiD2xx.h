// The D2XX calls of the USB link over libftdi1, for real FTDI converter chips (vendor 0403,
// products 6001, 6010, 6011, 6014 and 6015). Device index n is the n-th such chip on the buses.
// A machine without the chip, or without USB access, answers open() with kFtDeviceNotFound.
// Made with a serial number, open() takes the chip with that serial number whatever its index,
// so that several converters on one hub each reach their own processor.
#pragma once

#include <cstdint>
#include <string>

#include "link/D2xx.h"

struct ftdi_context;

namespace kvn::link {

class LibFtdiD2xx final : public D2xx {
public:
    LibFtdiD2xx() = default;
    // The converter whose serial number is `serialNumber`; empty: by device index.
    explicit LibFtdiD2xx(std::string serialNumber) : serialNumber_(std::move(serialNumber)) {}
    ~LibFtdiD2xx() override;
    LibFtdiD2xx(const LibFtdiD2xx&) = delete;
    LibFtdiD2xx& operator=(const LibFtdiD2xx&) = delete;

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
    // The read time-out is kept here (libftdi reads return at once); the write time-out is the
    // USB transfer time-out.
    FtStatus setTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override;
    FtStatus write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override;
    // Reads until `bytes` is full or the read time-out has run out.
    FtStatus read(std::span<std::uint8_t> bytes, std::uint32_t& read) override;
    FtStatus purge(std::uint32_t mask) override;

private:
    std::string serialNumber_;
    ftdi_context* ftdi_ = nullptr;
    std::uint32_t readTimeoutMs_ = 0;
};

}  // namespace kvn::link
