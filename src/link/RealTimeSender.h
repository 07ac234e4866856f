// Sends real-time updates to the processor: the pause that spaces messages out, then the message
// byte by byte over the chosen link.
#pragma once

#include "link/RealTimeBacklog.h"
#include "link/RealTimeUpdate.h"
#include "link/Sleeper.h"
#include "link/TransferLink.h"
#include "link/TransferProgress.h"

namespace kvn::link {

class RealTimeSender {
public:
    // `sleeper` must outlive this object.
    explicit RealTimeSender(Sleeper& sleeper) : sleeper_(sleeper) {}

    // The pause before a message of this kind, in milliseconds.
    static int pauseBeforeMs(RealTimeUpdate::Kind kind);

    // Pauses, then sends `update` over `link`. False when the link could not be opened or a
    // byte could not be written (a USB failure has been reported by the link).
    bool send(TransferLink& link, const RealTimeUpdate& update, TransferProgress& progress);

    // Sends what `backlog` holds, oldest target first, until it is empty and the drain has
    // ended. Without a link (offline) the updates are dropped. After a failure the "ERROR" box
    // is shown once and the rest is dropped. False when a send failed.
    bool drain(RealTimeBacklog& backlog, TransferLink* link, TransferProgress& progress);

private:
    // Sends `update` over `link` without the pause.
    bool sendNow(TransferLink& link, const RealTimeUpdate& update, TransferProgress& progress);

    Sleeper& sleeper_;
};

}  // namespace kvn::link
