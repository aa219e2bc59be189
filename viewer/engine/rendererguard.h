#pragma once
// The reset protocol around every renderer call. While a channel's reset flag is up nobody touches
// its renderers and a thread that would have done so acknowledges instead; the renderers are
// replaced only while the channel's renderer lock is held exclusively, and a call holds it shared
// (never waiting for it), so a renderer is never deleted while a call is inside it.

#include "viewer/engine/videostate.h"

#include <mutex>
#include <shared_mutex>
#include <utility>

// Acknowledges a pending reset without touching anything.
inline void AcknowledgePendingReset(int channel) {
    if (PlayerTables().resetFlag[channel])
        PlayerTables().resetAck[channel] = 1;
}

// Runs call() when the channel's renderers may be used; true when it ran. Calls must not nest.
template <typename Call> bool GuardedRendererCall(int channel, Call&& call) {
    PlayerChannelTables& tables = PlayerTables();
    if (tables.resetFlag[channel]) {
        tables.resetAck[channel] = 1;
        return false;
    }
    std::shared_lock<std::shared_mutex> hold(tables.rendererLock[channel], std::try_to_lock);
    if (!hold.owns_lock() || tables.resetFlag[channel]) {
        tables.resetAck[channel] = 1;
        return false;
    }
    tables.resetAck[channel] = 0;
    std::forward<Call>(call)();
    return true;
}
