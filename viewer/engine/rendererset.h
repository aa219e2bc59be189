#pragma once
// The eight renderers: a main and a zoom renderer per channel, each zoom renderer drawing into the
// partner channel's window. Made and deleted in one fixed order.

#include "viewer/engine/videostate.h"

#include <array>
#include <memory>
#include <mutex>
#include <shared_mutex>

struct RendererSlot {
    int channel;
    bool zoom;
    int windowChannel;
};

// main 0, zoom 0, main 1, zoom 1, main 2, zoom 2, main 3, zoom 3.
extern const RendererSlot kRendererOrder[2 * kChannelCount];

std::unique_ptr<D3D9RenderImpl>& RendererOf(const RendererSlot& slot);

// Every channel's renderer lock, held exclusively: nobody uses a renderer meanwhile.
using AllRenderersLock = std::array<std::unique_lock<std::shared_mutex>, kChannelCount>;
AllRenderersLock LockAllRenderers();

// In order: the overlays cleared, then the renderer deleted. The caller holds every lock.
void DeleteAllRenderers();
// Start-up: makes all eight in order into the windows (front, rear, left, right), traced "[n] hr"
// from 0. Only main 0's surface is tested: when the YUY2 surface fails it is tried once more in the
// desktop's RGB format, which every later renderer then takes. Main 2 and main 3 keep mode 0.
// 1 on success, 0 when main 0 has no surface format (the renderers made so far stay).
int CreateRenderersAtStart(const HWND windows[kChannelCount]);
// Recreation after a lost device: all eight again, in stretch mode, traced "[*n] hr" from 1; the
// first failure ends it and is answered (the renderers made so far stay).
HRESULT RecreateRenderers(const HWND windows[kChannelCount]);
