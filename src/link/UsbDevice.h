// The USB link's operations on the converter chip: each D2XX call with the arguments this system
// uses, and the report of a failing status (context text plus status suffix in an error box, and
// the link dropped to offline).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "link/D2xx.h"
#include "link/TransferProgress.h"

namespace kvn::link {

class UsbDevice {
public:
    // `d2xx` and `progress` must outlive this object. `dropToOffline` is called when a failing
    // status drops the link, before the error box is shown.
    UsbDevice(D2xx& d2xx, TransferProgress& progress, std::function<void()> dropToOffline);

    // Each returns the D2XX status; a non-zero status has already been reported.
    FtStatus UsbOpen();
    // Does nothing (and returns kFtOk) when the device is not open, so that every path may close.
    FtStatus UsbClose();
    FtStatus UsbSetRts();
    FtStatus UsbSetDtr();
    FtStatus UsbSetBaudRate();             // 9600
    FtStatus UsbSetDataCharacteristics();  // 8 bits, 1 stop bit, no parity
    FtStatus UsbSetFlowControl();          // none, XON 0x11, XOFF 0x13
    FtStatus UsbSetChars();                // no event or error character
    FtStatus UsbSetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs);
    // Discards whatever the converter still holds in both directions.
    FtStatus UsbPurge();

    // Return the number of bytes written or read; the status is kept in UsbStatus().
    std::uint32_t UsbWrite(std::span<const std::uint8_t> bytes);
    std::uint32_t UsbRead(std::span<std::uint8_t> bytes);
    FtStatus UsbStatus() const { return status_; }

    // Drops the link to offline and shows `context` followed by the status suffix.
    void UsbReportError(std::string_view context, FtStatus status);

    // Opens the device, applies the line settings and time-outs (a failing setting is reported
    // and the others are still applied), and closes it. False when the device cannot be opened.
    bool UsbInitialize();

    bool isOpen() const { return open_; }

    // The error box text: context, then " - Device Not Found...." and the like.
    static std::string usbErrorText(std::string_view context, FtStatus status);

private:
    FtStatus checked(FtStatus status, std::string_view context);

    D2xx& d2xx_;
    TransferProgress& progress_;
    std::function<void()> dropToOffline_;
    FtStatus status_ = kFtOk;
    bool open_ = false;
};

}  // namespace kvn::link
