#include "viewer/engine/playerevents.h"

#include "viewer/engine/videostate.h"

#include <SDL.h>

#include <cstdint>
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

} // namespace

bool PushChannelEvent(int type, const VideoState* state) {
    SDL_Event event{};
    event.type = static_cast<Uint8>(type);
    event.user.type = static_cast<Uint8>(type);
    event.user.code = state->channel;
    event.user.data1 = reinterpret_cast<void*>(static_cast<uintptr_t>(state->generation));
    return SDL_PushEvent(&event) == 0;
}

bool PushEngineEvent(int type) {
    SDL_Event event{};
    event.type = static_cast<Uint8>(type);
    event.user.type = static_cast<Uint8>(type);
    return SDL_PushEvent(&event) == 0;
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
