#include "viewer/engine/playerevents.h"

#include "viewer/engine/videostate.h"

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace {

constexpr Uint32 kAllEvents = 0xFFFFFFFFu;
// SDL's queue holds 127 events; taking them out in one go never needs more.
constexpr int kQueueCapacity = 128;

bool IsChannelEventOf(const SDL_Event& event, int channel, uint32_t generation) {
    const bool channelEvent = event.type == FF_ALLOC_EVENT || event.type == FF_REFRESH_EVENT ||
                              event.type == FF_PLAY_EVENT || event.type == FF_EOF_EVENT;
    return channelEvent && event.user.code == channel &&
           static_cast<uint32_t>(reinterpret_cast<uintptr_t>(event.user.data1)) == generation;
}

// SDL 1.2 waits for events by looking every 10 ms: the event thread waits here instead, woken by
// every push, so that a picture is shown when it is due rather than up to 10 ms later.
std::mutex pushLock;
std::condition_variable pushed;
uint64_t pushCount = 0;

bool Pushed(SDL_Event* event) {
    if (SDL_PushEvent(event) != 0)
        return false;
    {
        std::lock_guard<std::mutex> hold(pushLock);
        ++pushCount;
    }
    pushed.notify_all();
    return true;
}

} // namespace

bool WaitEngineEvent(SDL_Event* event, int limitMs) {
    std::unique_lock<std::mutex> hold(pushLock);
    const uint64_t seen = pushCount;
    hold.unlock();
    if (SDL_PeepEvents(event, 1, SDL_GETEVENT, kAllEvents) > 0)
        return true;
    hold.lock();
    pushed.wait_for(hold, std::chrono::milliseconds(limitMs), [seen] { return pushCount != seen; });
    hold.unlock();
    return SDL_PeepEvents(event, 1, SDL_GETEVENT, kAllEvents) > 0;
}

bool PushChannelEvent(int type, const VideoState* state) {
    SDL_Event event{};
    event.type = static_cast<Uint8>(type);
    event.user.type = static_cast<Uint8>(type);
    event.user.code = state->channel;
    event.user.data1 = reinterpret_cast<void*>(static_cast<uintptr_t>(state->generation));
    return Pushed(&event);
}

bool PushEngineEvent(int type) {
    SDL_Event event{};
    event.type = static_cast<Uint8>(type);
    event.user.type = static_cast<Uint8>(type);
    return Pushed(&event);
}

void PurgeChannelEvents(int channel, uint32_t generation) {
    std::vector<SDL_Event> events(kQueueCapacity);
    const int taken = SDL_PeepEvents(events.data(), kQueueCapacity, SDL_GETEVENT, kAllEvents);
    for (int i = 0; i < taken; ++i)
        if (!IsChannelEventOf(events[i], channel, generation))
            SDL_PeepEvents(&events[i], 1, SDL_ADDEVENT, kAllEvents);
}

void DiscardPendingEvents() {
    std::vector<SDL_Event> events(kQueueCapacity);
    while (SDL_PeepEvents(events.data(), kQueueCapacity, SDL_GETEVENT, kAllEvents) > 0) {
    }
}
