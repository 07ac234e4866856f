// D2XX calls with this system's arguments and their error reports.
#include "link/UsbDevice.h"

#include "link/LinkTexts.h"
#include "link/Pacing.h"

namespace kvn::link {
namespace {
constexpr std::uint32_t kBaudRate = 9600;
constexpr std::uint8_t kXon = 0x11;
constexpr std::uint8_t kXoff = 0x13;
}  // namespace

UsbDevice::UsbDevice(D2xx& d2xx, TransferProgress& progress, std::function<void()> dropToOffline)
    : d2xx_(d2xx), progress_(progress), dropToOffline_(std::move(dropToOffline)) {}

std::string UsbDevice::usbErrorText(std::string_view context, FtStatus status) {
    std::string text(context);
    switch (status) {
        case kFtInvalidHandle:
            return text + " - Invalid Handle...";
        case kFtDeviceNotFound:
            return text + " - Device Not Found....";
        case kFtDeviceNotOpened:
            return text + " - Device Not Opened...";
        case kFtIoError:
            return text + " - General IO Error...";
        case kFtInsufficientResources:
            return text + " - Insufficient Resources...";
        case kFtInvalidParameter:
            return text + " - Invalid Parameter ...";
        default:
            return text + " - Unknown Error (" + std::to_string(status) + ")...";
    }
}

void UsbDevice::UsbReportError(std::string_view context, FtStatus status) {
    if (dropToOffline_) {
        dropToOffline_();
    }
    progress_.showMessage(MessageKind::Error, usbErrorText(context, status));
}

FtStatus UsbDevice::checked(FtStatus status, std::string_view context) {
    if (status != kFtOk) {
        UsbReportError(context, status);
    }
    return status;
}

FtStatus UsbDevice::UsbOpen() {
    const FtStatus status = d2xx_.open(0);
    open_ = status == kFtOk;
    return checked(status, text::kUsbOpenFailed);
}

FtStatus UsbDevice::UsbClose() {
    if (!open_) {
        return kFtOk;
    }
    open_ = false;
    return checked(d2xx_.close(), text::kUsbCloseFailed);
}

FtStatus UsbDevice::UsbSetRts() {
    return checked(d2xx_.setRts(), text::kUsbSetRtsFailed);
}

FtStatus UsbDevice::UsbSetDtr() {
    return checked(d2xx_.setDtr(), text::kUsbSetDtrFailed);
}

FtStatus UsbDevice::UsbSetBaudRate() {
    return checked(d2xx_.setBaudRate(kBaudRate), text::kUsbSetBaudRateFailed);
}

FtStatus UsbDevice::UsbSetDataCharacteristics() {
    return checked(d2xx_.setDataCharacteristics(kFtBits8, kFtStopBits1, kFtParityNone),
                   text::kUsbSetDataCharacteristicsFailed);
}

FtStatus UsbDevice::UsbSetFlowControl() {
    return checked(d2xx_.setFlowControl(kFtFlowNone, kXon, kXoff), text::kUsbSetFlowControlFailed);
}

FtStatus UsbDevice::UsbSetChars() {
    return checked(d2xx_.setChars(0, 0, 0, 0), text::kUsbSetCharsFailed);
}

FtStatus UsbDevice::UsbSetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) {
    return checked(d2xx_.setTimeouts(readTimeoutMs, writeTimeoutMs), text::kUsbSetTimeoutsFailed);
}

FtStatus UsbDevice::UsbPurge() {
    return checked(d2xx_.purge(kFtPurgeRx | kFtPurgeTx), text::kUsbPurgeFailed);
}

std::uint32_t UsbDevice::UsbWrite(std::span<const std::uint8_t> bytes) {
    std::uint32_t written = 0;
    status_ = checked(d2xx_.write(bytes, written), text::kUsbWriteFailed);
    return written;
}

std::uint32_t UsbDevice::UsbRead(std::span<std::uint8_t> bytes) {
    std::uint32_t read = 0;
    status_ = checked(d2xx_.read(bytes, read), text::kUsbReadFailed);
    // A backend that claims more than was asked for must not make us read past the buffer.
    return read <= bytes.size() ? read : static_cast<std::uint32_t>(bytes.size());
}

bool UsbDevice::UsbInitialize() {
    if (UsbOpen() != kFtOk) {
        return false;
    }
    UsbSetBaudRate();
    UsbSetRts();
    UsbSetDtr();
    UsbSetDataCharacteristics();
    UsbSetFlowControl();
    UsbSetChars();
    UsbSetTimeouts(pacing::kUsbReadTimeoutMs, pacing::kUsbWriteTimeoutMs);
    UsbClose();
    return true;
}

}  // namespace kvn::link
