// Latest-value-wins queue of real-time edits.
#include "link/RealTimeBacklog.h"

#include <algorithm>

namespace kvn::link {

bool RealTimeBacklog::post(const RealTimeUpdate& update) {
    const std::lock_guard lock(mutex_);
    auto same = std::find_if(queue_.begin(), queue_.end(), [&](const RealTimeUpdate& waiting) {
        return waiting.sameTarget(update);
    });
    if (same != queue_.end()) {
        *same = update;
    } else {
        queue_.push_back(update);
    }
    if (draining_) {
        return false;
    }
    draining_ = true;
    return true;
}

std::optional<RealTimeUpdate> RealTimeBacklog::takeNext() {
    const std::lock_guard lock(mutex_);
    if (queue_.empty()) {
        draining_ = false;
        return std::nullopt;
    }
    RealTimeUpdate next = queue_.front();
    queue_.pop_front();
    return next;
}

std::optional<RealTimeUpdate::Kind> RealTimeBacklog::nextKind() const {
    const std::lock_guard lock(mutex_);
    if (queue_.empty()) {
        return std::nullopt;
    }
    return queue_.front().kind;
}

void RealTimeBacklog::abandon() {
    const std::lock_guard lock(mutex_);
    queue_.clear();
}

bool RealTimeBacklog::draining() const {
    const std::lock_guard lock(mutex_);
    return draining_;
}

std::size_t RealTimeBacklog::waiting() const {
    const std::lock_guard lock(mutex_);
    return queue_.size();
}

}  // namespace kvn::link
