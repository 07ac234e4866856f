// Real-time edits waiting for the link. An edit that arrives while a message is being sent is
// kept, and only the latest value for each section slot or word address is kept, so the final
// state of a slider drag always reaches the processor and stale values are never sent. Safe to
// use from several threads: editors post on the user-interface thread, the link drains on its own.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

#include "link/RealTimeUpdate.h"

namespace kvn::link {

class RealTimeBacklog {
public:
    // Adds `update`, or replaces the waiting update for the same target in its place (the order
    // of first arrival is kept). True when no drain is running: the caller must start one, and
    // from now on the backlog counts as draining.
    bool post(const RealTimeUpdate& update);

    // The next update to send. Empty when none is left, which also ends the drain, so that the
    // next post() asks for a new one.
    std::optional<RealTimeUpdate> takeNext();
    // The kind of the update takeNext() would give now, without taking it; empty when none waits.
    std::optional<RealTimeUpdate::Kind> nextKind() const;

    // Drops everything waiting (after a failed send); the drain ends at its next takeNext().
    void abandon();

    // True from a post() that started a drain until takeNext() found nothing left: the
    // processor is being sent a message (RealTimeBusy).
    bool draining() const;
    std::size_t waiting() const;

private:
    mutable std::mutex mutex_;
    std::deque<RealTimeUpdate> queue_;
    bool draining_ = false;
};

}  // namespace kvn::link
