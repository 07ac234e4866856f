// Link choice, identification and loss of the link.
#include "link/DeviceLink.h"

#include "link/LinkTexts.h"
#include "link/SerialTransferLink.h"
#include "link/UsbTransferLink.h"
#include "link/WireFormat.h"

namespace kvn::link {

DeviceLink::DeviceLink(TransferProgress& progress, Sleeper& sleeper)
    : progress_(progress), sleeper_(sleeper) {}

DeviceLink::~DeviceLink() {
    release();
}

void DeviceLink::release() {
    protocol_.reset();
    if (transferLink_) {
        transferLink_->release();
    }
    transferLink_.reset();
    usb_.reset();
    d2xx_.reset();
    if (channel_) {
        channel_->disconnect();
    }
    channel_.reset();
}

void DeviceLink::goOffline() {
    release();
    connectionMode_ = 0;
    usbActive_ = false;
    option_ = LinkOption::offline();
}

void DeviceLink::dropToOffline() {
    // The link objects stay alive: the operation that noticed the loss is still using them.
    connectionMode_ = 0;
    usbActive_ = false;
    progress_.linkDropped();
}

DeviceLink::Choice DeviceLink::choose(LinkOption option) {
    goOffline();
    switch (option.kind) {
        case LinkOption::Kind::Offline:
            return Choice::Offline;

        case LinkOption::Kind::Serial: {
            channel_ = option.makeChannel ? option.makeChannel() : nullptr;
            // The device path, or the name the port line shows ("COM1").
            const std::string prefix = text::kCommunicationPort;
            std::string port = option.portPath.empty() ? option.portText : option.portPath;
            if (option.portPath.empty() && port.rfind(prefix, 0) == 0) {
                port.erase(0, prefix.size());
            }
            if (!channel_ || !channel_->connect()) {
                // "In use" only for a port that is there: a wrong path or an unplugged adapter
                // is named as such.
                const bool missing = channel_ && channel_->missing();
                channel_.reset();
                progress_.showMessage(MessageKind::Warning, missing
                                                                ? text::portMissingText(port)
                                                                : std::string(text::kPortInUse));
                return Choice::PortInUse;
            }
            transferLink_ = std::make_unique<SerialTransferLink>(
                *channel_, progress_, [this] { dropToOffline(); }, port);
            break;
        }

        case LinkOption::Kind::Usb: {
            d2xx_ = option.makeD2xx ? option.makeD2xx() : nullptr;
            if (!d2xx_) {
                progress_.showMessage(
                    MessageKind::Error,
                    UsbDevice::usbErrorText(text::kUsbOpenFailed, kFtDeviceNotFound));
                return Choice::Offline;
            }
            usb_ = std::make_unique<UsbDevice>(*d2xx_, progress_, [this] { dropToOffline(); });
            if (!usb_->UsbInitialize()) {
                goOffline();
                return Choice::Offline;
            }
            transferLink_ = std::make_unique<UsbTransferLink>(*usb_, progress_, sleeper_,
                                                              [this] { dropToOffline(); });
            usbActive_ = true;
            break;
        }
    }
    protocol_ = std::make_unique<TransferProtocol>(*transferLink_, progress_);
    connectionMode_ = option.connectionMode;
    option_ = std::move(option);
    return Choice::Connected;
}

bool DeviceLink::prepare() {
    if (offline()) {
        return false;
    }
    if (!usbActive_) {
        return true;
    }
    if (!usb_->UsbInitialize()) {
        return false;
    }
    // Settings that failed have dropped the link; the device itself opened, so it is usable.
    connectionMode_ = option_.connectionMode;
    usbActive_ = true;
    return true;
}

DeviceLink::Identification DeviceLink::identify() {
    Identification result;
    if (offline()) {
        result.statusText = text::kStatusOffline;
        progress_.closeWindow();
        return result;
    }
    if (!usbActive_) {
        // The transfer reopens the port; one that another program has taken meanwhile is not a
        // silent processor.
        channel_->disconnect();
        if (!channel_->connect()) {
            progress_.showMessage(MessageKind::Warning, text::kPortAlreadyUsed);
            progress_.closeWindow();
            result.hideConnectionWindow = false;
            return result;
        }
    }
    const bool usb = usbActive_;
    result.answered = protocol_->SendTransfer(wire::Command::Identify, 0, {}, true);
    letterPassword_ = protocol_->CommandReply() >= wire::kLetterPasswordReply;
    if (result.answered) {
        result.statusText = option_.statusText;
    } else if (usb) {
        progress_.showMessage(MessageKind::Warning, text::kNotKvn);
        result.statusText = text::kStatusOffline;
        goOffline();
    }
    progress_.closeWindow();
    return result;
}

}  // namespace kvn::link
