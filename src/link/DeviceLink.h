// The link to the processor as the connection window leaves it: which link is chosen
// (ConnectionMode, UsbActive), opening it, identifying the processor behind it, and dropping to
// offline when it is lost. Owns the chosen link and the transfer protocol running over it. Used
// by one thread at a time (the editor's link worker, or the command-line tool's main thread).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "link/ByteChannel.h"
#include "link/D2xx.h"
#include "link/LinkOption.h"
#include "link/Sleeper.h"
#include "link/TransferLink.h"
#include "link/TransferProgress.h"
#include "link/TransferProtocol.h"
#include "link/UsbDevice.h"

namespace kvn::link {

class DeviceLink {
public:
    enum class Choice {
        Offline,    // offline was chosen (or USB could not be opened): transfer controls off
        Connected,  // the link is open: transfer controls on, main window shown
        PortInUse,  // the serial port could not be opened: told the user, offline, window stays
    };

    // What the connection window's OK does to the status line and the password scheme.
    struct Identification {
        bool answered = false;   // the processor confirmed the connection check
        std::string statusText;  // new status line; empty leaves it as it is
        bool hideConnectionWindow = true;
    };

    // `progress` and `sleeper` must outlive this object.
    DeviceLink(TransferProgress& progress, Sleeper& sleeper);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Gives up the current link and takes `option`. Serial: the port is opened ("COM Port
    // already in use. Select another." when it cannot be). USB: offline first, then the device is
    // opened, set up and closed again; a device that cannot be opened leaves the link offline.
    Choice choose(LinkOption option);

    // Checks that a KVN 350 answers on the chosen link (command 0) and decides the password
    // scheme from its answer. Serial: a port that has meanwhile become unusable gives "COM Port
    // already used. Please, select another." USB: no answer gives "This is not a KVN 350
    // processor, It cannot communicate." and offline.
    Identification identify();

    // Opens the USB device once to apply its settings before an operation (no-op on serial).
    // False when it could not be opened; the link is then offline.
    bool prepare();

    // Called by the links when the processor is lost: offline, and the connection window told.
    void dropToOffline();

    int ConnectionMode() const { return connectionMode_; }
    bool UsbActive() const { return usbActive_; }
    bool offline() const { return connectionMode_ == 0; }
    // The password scheme of the processor last identified: letters when its answer to COMMAND
    // was 50 or more, key presses otherwise.
    bool LetterPassword() const { return letterPassword_; }
    const LinkOption& option() const { return option_; }

    // The link and protocol of the chosen link; null while offline.
    TransferLink* transferLink() { return offline() ? nullptr : transferLink_.get(); }
    TransferProtocol* protocol() { return offline() ? nullptr : protocol_.get(); }

private:
    void release();
    void goOffline();

    TransferProgress& progress_;
    Sleeper& sleeper_;
    LinkOption option_ = LinkOption::offline();
    int connectionMode_ = 0;
    bool usbActive_ = false;
    bool letterPassword_ = false;
    std::unique_ptr<ByteChannel> channel_;
    std::unique_ptr<D2xx> d2xx_;
    std::unique_ptr<UsbDevice> usb_;
    std::unique_ptr<TransferLink> transferLink_;
    std::unique_ptr<TransferProtocol> protocol_;
};

}  // namespace kvn::link
