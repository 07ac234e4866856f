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
    const bool sent = link.sendUnanswered(realTimeMessage(update));
    progress.closeWindow();
    return sent;
}

bool RealTimeSender::drain(RealTimeBacklog& backlog, TransferLink* link,
                           TransferProgress& progress) {
    bool allSent = true;
    while (const auto update = backlog.takeNext()) {
        if (link == nullptr || !allSent) {
            continue;
        }
        if (!send(*link, *update, progress)) {
            allSent = false;
            backlog.abandon();
            progress.showMessage(MessageKind::Plain, text::kError);
        }
    }
    return allSent;
}

}  // namespace kvn::link
