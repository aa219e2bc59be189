#pragma once
// The engine's events in SDL's event queue. A channel event names its channel and the generation
// of the open state it concerns; the event thread acts on it only while that very state is open.

#include <cstdint>

union SDL_Event;

struct VideoState;

struct ChannelEvent {
    int channel = -1;
    uint32_t generation = 0;
};

// False when the queue is full or SDL's event queue is not running.
bool PushChannelEvent(int type, const VideoState* state);
bool PushEngineEvent(int type);
// The next event, waiting for a push when there is none, at most limitMs; false when none came.
bool WaitEngineEvent(SDL_Event* event, int limitMs);
// Removes the pending events of one open state (of every type) and keeps everyone else's in order.
void PurgeChannelEvents(int channel, uint32_t generation);
// Removes everything pending (engine start, so that nothing of an earlier run is handled).
void DiscardPendingEvents();
