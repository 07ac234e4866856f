// libftdi1 behind the D2XX calls.
#include "link/LibFtdiD2xx.h"

#include <ftdi.h>

#include <chrono>
#include <thread>

namespace kvn::link {
namespace {

// D2XX flow-control values.
constexpr std::uint16_t kFtFlowRtsCts = 0x0100;
constexpr std::uint16_t kFtFlowDtrDsr = 0x0200;
constexpr std::uint16_t kFtFlowXonXoff = 0x0400;
// The chip sends what it has received at least this often (milliseconds); its default of 16
// would add that much to every one-byte reply.
constexpr unsigned char kLatencyMs = 2;
// Room for a converter's serial number (the chips hold at most 16 characters).
constexpr int kSerialChars = 64;

FtStatus statusOf(int result) {
    return result < 0 ? kFtIoError : kFtOk;
}

}  // namespace

LibFtdiD2xx::~LibFtdiD2xx() {
    close();
}

FtStatus LibFtdiD2xx::open(int deviceIndex) {
    if (ftdi_ != nullptr) {
        return kFtDeviceNotOpened;
    }
    ftdi_context* ftdi = ftdi_new();
    if (ftdi == nullptr) {
        // No USB access at all (libusb could not start): for the user, no device.
        return kFtDeviceNotFound;
    }
    ftdi_device_list* devices = nullptr;
    const int count = ftdi_usb_find_all(ftdi, &devices, 0, 0);
    libusb_device* device = nullptr;
    int index = 0;
    for (ftdi_device_list* d = devices; d != nullptr && device == nullptr; d = d->next, ++index) {
        if (serialNumber_.empty()) {
            device = index == deviceIndex ? d->dev : nullptr;
        } else if (char serial[kSerialChars] = {};
                   ftdi_usb_get_strings(ftdi, d->dev, nullptr, 0, nullptr, 0, serial,
                                        sizeof serial) == 0 &&
                   serialNumber_ == serial) {
            device = d->dev;
        }
    }
    FtStatus status = kFtDeviceNotFound;
    if (count > 0 && device != nullptr) {
        // -4 and -5: the device is there but another program holds it.
        const int opened = ftdi_usb_open_dev(ftdi, device);
        status = opened == 0                    ? kFtOk
                 : opened == -4 || opened == -5 ? kFtDeviceNotOpened
                                                : kFtIoError;
    }
    ftdi_list_free(&devices);
    if (status != kFtOk) {
        ftdi_free(ftdi);
        return status;
    }
    ftdi_ = ftdi;
    ftdi_set_latency_timer(ftdi_, kLatencyMs);
    return kFtOk;
}

FtStatus LibFtdiD2xx::close() {
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    const int result = ftdi_usb_close(ftdi_);
    ftdi_free(ftdi_);
    ftdi_ = nullptr;
    return statusOf(result);
}

FtStatus LibFtdiD2xx::setBaudRate(std::uint32_t baud) {
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    const int result = ftdi_set_baudrate(ftdi_, static_cast<int>(baud));
    return result == -1 ? kFtInvalidBaudRate : statusOf(result);
}

FtStatus LibFtdiD2xx::setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                             std::uint8_t parity) {
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    if ((wordLength != 7 && wordLength != 8) || stopBits > 2 || parity > 4) {
        return kFtInvalidParameter;
    }
    return statusOf(ftdi_set_line_property(ftdi_, static_cast<ftdi_bits_type>(wordLength),
                                           static_cast<ftdi_stopbits_type>(stopBits),
                                           static_cast<ftdi_parity_type>(parity)));
}

FtStatus LibFtdiD2xx::setFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) {
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    switch (flow) {
        case kFtFlowNone:
            return statusOf(ftdi_setflowctrl(ftdi_, SIO_DISABLE_FLOW_CTRL));
        case kFtFlowRtsCts:
            return statusOf(ftdi_setflowctrl(ftdi_, SIO_RTS_CTS_HS));
        case kFtFlowDtrDsr:
            return statusOf(ftdi_setflowctrl(ftdi_, SIO_DTR_DSR_HS));
        case kFtFlowXonXoff:
            return statusOf(ftdi_setflowctrl_xonxoff(ftdi_, xon, xoff));
        default:
            return kFtInvalidParameter;
    }
}

FtStatus LibFtdiD2xx::setDtr() {
    return ftdi_ == nullptr ? kFtInvalidHandle : statusOf(ftdi_setdtr(ftdi_, 1));
}

FtStatus LibFtdiD2xx::setRts() {
    return ftdi_ == nullptr ? kFtInvalidHandle : statusOf(ftdi_setrts(ftdi_, 1));
}

FtStatus LibFtdiD2xx::setChars(std::uint8_t eventChar, std::uint8_t eventCharEnabled,
                               std::uint8_t errorChar, std::uint8_t errorCharEnabled) {
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    const int event = ftdi_set_event_char(ftdi_, eventChar, eventCharEnabled);
    const int error = ftdi_set_error_char(ftdi_, errorChar, errorCharEnabled);
    return statusOf(event < 0 ? event : error);
}

FtStatus LibFtdiD2xx::setTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) {
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    readTimeoutMs_ = readTimeoutMs;
    ftdi_->usb_write_timeout = static_cast<int>(writeTimeoutMs);
    return kFtOk;
}

FtStatus LibFtdiD2xx::write(std::span<const std::uint8_t> bytes, std::uint32_t& written) {
    written = 0;
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    const int result = ftdi_write_data(ftdi_, bytes.data(), static_cast<int>(bytes.size()));
    if (result < 0) {
        return kFtIoError;
    }
    written = static_cast<std::uint32_t>(result);
    return kFtOk;
}

FtStatus LibFtdiD2xx::read(std::span<std::uint8_t> bytes, std::uint32_t& read) {
    read = 0;
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    // libftdi hands over what the chip has and returns at once, so the wait is ours.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(readTimeoutMs_);
    while (read < bytes.size()) {
        const int result =
            ftdi_read_data(ftdi_, bytes.data() + read, static_cast<int>(bytes.size() - read));
        if (result < 0) {
            return kFtIoError;
        }
        read += static_cast<std::uint32_t>(result);
        if (read == bytes.size() || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        if (result == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return kFtOk;
}

FtStatus LibFtdiD2xx::purge(std::uint32_t mask) {
    if (ftdi_ == nullptr) {
        return kFtInvalidHandle;
    }
    const bool rx = (mask & kFtPurgeRx) != 0;
    const bool tx = (mask & kFtPurgeTx) != 0;
    if (rx && tx) {
        return statusOf(ftdi_tcioflush(ftdi_));
    }
    if (rx) {
        return statusOf(ftdi_tciflush(ftdi_));
    }
    return tx ? statusOf(ftdi_tcoflush(ftdi_)) : kFtOk;
}

}  // namespace kvn::link
