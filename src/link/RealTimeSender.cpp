// Paced real-time sends.
#include "link/RealTimeSender.h"

#include "link/LinkTexts.h"
#include "link/Pacing.h"

namespace kvn::link {

int RealTimeSender::pauseBeforeMs(RealTimeUpdate::Kind kind) {
    switch (kind) {
        case RealTimeUpdate::Kind::Section:
            return pacing::kPauseBeforeSectionMs;
        case RealTimeUpdate::Kind::IntegerWord:
            return pacing::kPauseBeforeIntegerWordMs;
        case RealTimeUpdate::Kind::CoefficientWord:
            return pacing::kPauseBeforeCoefficientWordMs;
    }
    return pacing::kPauseBeforeSectionMs;
}

bool RealTimeSender::send(TransferLink& link, const RealTimeUpdate& update,
                          TransferProgress& progress) {
    sleeper_.sleepMs(pauseBeforeMs(update.kind));
    return sendNow(link, update, progress);
}

bool RealTimeSender::sendNow(TransferLink& link, const RealTimeUpdate& update,
                             TransferProgress& progress) {
    const bool sent = link.sendUnanswered(realTimeMessage(update));
    progress.closeWindow();
    return sent;
}

bool RealTimeSender::drain(RealTimeBacklog& backlog, TransferLink* link,
                           TransferProgress& progress) {
    bool allSent = true;
    for (;;) {
        // The pause comes before the next update is taken, so that a value that changes during
        // it goes out as it is at its end: under a drag the last value reaches the processor
        // within one pause and one message of the mouse stopping, not two of each.
        const bool sending = link != nullptr && allSent;
        const std::optional<RealTimeUpdate::Kind> paused = backlog.nextKind();
        if (sending && paused) {
            sleeper_.sleepMs(pauseBeforeMs(*paused));
        }
        const std::optional<RealTimeUpdate> update = backlog.takeNext();
        if (!update) {
            break;
        }
        if (!sending) {
            continue;
        }
        // Only this drain takes updates, so the one waiting first is still of the kind paused
        // for; one that arrived after the look came without its pause.
        const bool sent =
            paused ? sendNow(*link, *update, progress) : send(*link, *update, progress);
        if (!sent) {
            allSent = false;
            backlog.abandon();
            progress.showMessage(MessageKind::Plain, text::kError);
        }
    }
    return allSent;
}

}  // namespace kvn::link
