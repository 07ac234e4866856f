// One choice of the connection window: Offline, a serial-shaped link (COM 1..4, a port typed by
// its path, the built-in virtual processor) or a USB-shaped link. The set is open: a choice
// carries the factory that makes its link, so the editor can offer links this layer does not know.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "link/ByteChannel.h"
#include "link/D2xx.h"

namespace kvn::link {

struct LinkOption {
    enum class Kind { Offline, Serial, Usb };

    Kind kind = Kind::Offline;
    // ConnectionMode while this link is chosen: 0 offline, 1..4 COM1..COM4, 5 USB; further links
    // use numbers above 5.
    int connectionMode = 0;
    // The main window's status line once the processor has answered ("Status : Connected at
    // COM1", "Status : USB").
    std::string statusText;
    // The transfer window's port line ("Comunication Port : COM1").
    std::string portText;
    // The device a serial link opens ("/dev/ttyUSB0"), when it is one; the connection doctor
    // looks at it when the processor cannot be reached.
    std::string portPath;
    // Make the link when it is chosen; called on the thread that runs the link.
    std::function<std::unique_ptr<ByteChannel>()> makeChannel;
    std::function<std::unique_ptr<D2xx>()> makeD2xx;

    static LinkOption offline();
    // COM `number` (1..4) made by `makeChannel`.
    static LinkOption com(int number, std::function<std::unique_ptr<ByteChannel>()> makeChannel);
    // Any other serial-shaped link, shown as `name` in the status and port lines.
    static LinkOption serial(int connectionMode, const std::string& name,
                             std::function<std::unique_ptr<ByteChannel>()> makeChannel);
    static LinkOption usb(std::function<std::unique_ptr<D2xx>()> makeD2xx);
};

}  // namespace kvn::link
