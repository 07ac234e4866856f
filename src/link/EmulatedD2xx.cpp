// The in-process USB link to the virtual processor.
#include "link/EmulatedD2xx.h"

#include "emulator/DeviceConstants.h"

#include <algorithm>
#include <chrono>

namespace kvn::link {

namespace {

constexpr std::uint8_t kFtBits7 = 7;
constexpr std::uint8_t kFtStopBits2 = 2;
constexpr std::uint8_t kFtParitySpace = 4;
constexpr std::uint16_t kFtFlowRtsCts = 0x0100;
constexpr std::uint16_t kFtFlowDtrDsr = 0x0200;
constexpr std::uint16_t kFtFlowXonXoff = 0x0400;

}  // namespace

EmulatedD2xx::EmulatedD2xx(emu::VirtualProcessor& device, ClockPolicy policy)
    : device_(device), clock_(device, policy) {}

FtStatus EmulatedD2xx::open(int deviceIndex) {
    if (deviceIndex != 0 || !devicePresent_ || device_.gone()) {
        return kFtDeviceNotFound;
    }
    if (open_) {
        return kFtDeviceNotOpened;
    }
    device_.discardArrived(clock_.now());
    open_ = true;
    return kFtOk;
}

FtStatus EmulatedD2xx::close() {
    if (!open_) {
        return kFtInvalidHandle;
    }
    open_ = false;
    return kFtOk;
}

FtStatus EmulatedD2xx::setBaudRate(std::uint32_t baud) {
    if (const FtStatus status = usable(); status != kFtOk) {
        return status;
    }
    if (baud == 0) {
        return kFtInvalidBaudRate;
    }
    baud_ = baud;
    return kFtOk;
}

FtStatus EmulatedD2xx::setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                              std::uint8_t parity) {
    if (const FtStatus status = usable(); status != kFtOk) {
        return status;
    }
    if ((wordLength != kFtBits7 && wordLength != kFtBits8) ||
        (stopBits != kFtStopBits1 && stopBits != kFtStopBits2) || parity > kFtParitySpace) {
        return kFtInvalidParameter;
    }
    wordLength_ = wordLength;
    stopBits_ = stopBits;
    parity_ = parity;
    return kFtOk;
}

FtStatus EmulatedD2xx::setFlowControl(std::uint16_t flow, std::uint8_t /*xon*/,
                                      std::uint8_t /*xoff*/) {
    if (const FtStatus status = usable(); status != kFtOk) {
        return status;
    }
    if (flow != kFtFlowNone && flow != kFtFlowRtsCts && flow != kFtFlowDtrDsr &&
        flow != kFtFlowXonXoff) {
        return kFtInvalidParameter;
    }
    return kFtOk;
}

FtStatus EmulatedD2xx::setDtr() {
    if (const FtStatus status = usable(); status != kFtOk) {
        return status;
    }
    dtr_ = true;
    return kFtOk;
}

FtStatus EmulatedD2xx::setRts() {
    if (const FtStatus status = usable(); status != kFtOk) {
        return status;
    }
    rts_ = true;
    return kFtOk;
}

FtStatus EmulatedD2xx::setChars(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) {
    return usable();
}

FtStatus EmulatedD2xx::setTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) {
    if (const FtStatus status = usable(); status != kFtOk) {
        return status;
    }
    readTimeoutMs_ = readTimeoutMs;
    writeTimeoutMs_ = writeTimeoutMs;
    return kFtOk;
}

FtStatus EmulatedD2xx::write(std::span<const std::uint8_t> bytes, std::uint32_t& written) {
    written = 0;
    if (const FtStatus status = usable(); status != kFtOk) {
        return status;
    }
    if (lineMatchesProcessor()) {
        device_.write(bytes, clock_.now());
    } else {
        bytesLost_ += bytes.size();
    }
    written = static_cast<std::uint32_t>(bytes.size());
    return kFtOk;
}

FtStatus EmulatedD2xx::read(std::span<std::uint8_t> bytes, std::uint32_t& read) {
    read = 0;
    if (const FtStatus status = usable(); status != kFtOk) {
        return status;
    }
    const emu::Micros deadline = clock_.now() + std::chrono::milliseconds(readTimeoutMs_);
    for (;;) {
        const std::vector<std::uint8_t> arrived = device_.read(clock_.now(), bytes.size() - read);
        std::copy(arrived.begin(), arrived.end(), bytes.begin() + read);
        read += static_cast<std::uint32_t>(arrived.size());
        if (read == bytes.size()) {
            return kFtOk;
        }
        const emu::Micros remaining = deadline - clock_.now();
        if (remaining <= emu::Micros(0) || !clock_.waitForOutput(remaining)) {
            return device_.gone() ? kFtIoError : kFtOk;
        }
    }
}

bool EmulatedD2xx::lineMatchesProcessor() const {
    return baud_ == static_cast<std::uint32_t>(emu::kProcessorBaud) && wordLength_ == kFtBits8 &&
           stopBits_ == kFtStopBits1 && parity_ == kFtParityNone;
}

FtStatus EmulatedD2xx::usable() const {
    if (!open_) {
        return kFtInvalidHandle;
    }
    if (device_.gone()) {
        return kFtIoError;
    }
    return kFtOk;
}

}  // namespace kvn::link
