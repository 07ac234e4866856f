// What the device link tells the user while it works: the transfer window (step text, gauge,
// shown or closed), message boxes, and the link dropping to offline. The editor forwards these to
// its windows; the command-line tool prints them; tests record them.
#pragma once

#include <string>

namespace kvn::link {

// The kind of a message box. Error boxes are preceded by the default beep.
enum class MessageKind { Plain, Information, Warning, Error };

// Every operation has an empty default so that a listener overrides only what it shows. Calls
// come from the thread that runs the link operation.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;

    // The step text of the transfer window ("Sending START...").
    virtual void setInfo(const std::string& text) { (void)text; }
    virtual void setGaugeMaximum(int maximum) { (void)maximum; }
    virtual void setGaugePosition(int position) { (void)position; }
    virtual void showWindow() {}
    // Closes the transfer window; does nothing when it is not shown.
    virtual void closeWindow() {}
    // A message box with an OK button (the memory-protected box has a single Yes button). The
    // link does not wait for it to be answered.
    virtual void showMessage(MessageKind kind, const std::string& text) {
        (void)kind;
        (void)text;
    }
    // The link has gone offline (no reply, USB error): the connection window lights Offline.
    virtual void linkDropped() {}
    // The device was closed after a failed write or real-time start and the user was told to
    // reconnect: the connection window is shown.
    virtual void reconnectRequested() {}
};

}  // namespace kvn::link
