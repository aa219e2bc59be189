#include "viewer/engine/rendererset.h"

#include "platform/video/videodevice.h"
#include "viewer/app/globals.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/enginetrace.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

const RendererSlot kRendererOrder[2 * kChannelCount] = {
    {0, false, 0}, {0, true, 1}, {1, false, 1}, {1, true, 0},
    {2, false, 2}, {2, true, 3}, {3, false, 3}, {3, true, 2},
};

std::unique_ptr<D3D9RenderImpl>& RendererOf(const RendererSlot& slot) {
    PlayerChannelTables& tables = PlayerTables();
    return slot.zoom ? tables.zoomRenderer[slot.channel] : tables.mainRenderer[slot.channel];
}

AllRenderersLock LockAllRenderers() {
    AllRenderersLock locks;
    for (int channel = 0; channel < kChannelCount; ++channel)
        locks[channel] = std::unique_lock<std::shared_mutex>(PlayerTables().rendererLock[channel]);
    return locks;
}

void DeleteAllRenderers() {
    for (const RendererSlot& slot : kRendererOrder) {
        std::unique_ptr<D3D9RenderImpl>& renderer = RendererOf(slot);
        if (renderer)
            renderer->ClearOverlays();
        renderer.reset();
    }
}

namespace {

bool IsMainSideCamera(const RendererSlot& slot) {
    return !slot.zoom && slot.channel >= kCameraLeft;
}

// The desktop's RGB: 32-bit BGRA on 24- and 32-bit desktops, RGB565 on any other. The picture width
// is rounded up to a multiple of the bits per pixel.
void ChooseRgbFormat() {
    PlaybackEngine& engine = g_playbackEngine;
    engine.rgbMode = 1;
    if (GetDisplayBitsPerPixel() == 32) {
        engine.rgbBitsPerPixel = 32;
        engine.rgbPixelFormat = AV_PIX_FMT_BGRA;
        engine.surfaceFormat = D3DFMT_A8R8G8B8;
    } else {
        // Whatever else the desktop has, the pictures are 16-bit, so the buffers are sized for that.
        engine.rgbBitsPerPixel = 16;
        engine.rgbPixelFormat = AV_PIX_FMT_RGB565LE;
        engine.surfaceFormat = D3DFMT_R5G6B5;
    }
    const int bits = engine.rgbBitsPerPixel;
    engine.pictureWidth = (g_layoutWidth + bits - 1) / bits * bits;
    engine.pictureHeight = g_layoutHeight;
}

} // namespace

int CreateRenderersAtStart(const HWND windows[kChannelCount]) {
    PlaybackEngine& engine = g_playbackEngine;
    int traceNumber = 0;
    for (const RendererSlot& slot : kRendererOrder) {
        auto renderer = std::make_unique<D3D9RenderImpl>();
        HRESULT hr = renderer->Initialize(windows[slot.windowChannel], TRUE);
        EngineTrace("[%d] hr = 0x%08X", traceNumber++, static_cast<unsigned>(hr));
        hr = renderer->CreateVideoSurface(engine.pictureWidth, engine.pictureHeight, engine.surfaceFormat);
        EngineTrace("[%d] hr = 0x%08X", traceNumber++, static_cast<unsigned>(hr));
        if (slot.channel == kCameraFront && !slot.zoom && FAILED(hr)) {
            ChooseRgbFormat();
            hr =
                renderer->CreateVideoSurface(engine.pictureWidth, engine.pictureHeight, engine.surfaceFormat);
            EngineTrace("[%d] hr = 0x%08X", traceNumber++, static_cast<unsigned>(hr));
            if (FAILED(hr))
                return 0;
        }
        if (!IsMainSideCamera(slot))
            renderer->SetDisplayMode(engine.displayMode);
        RendererOf(slot) = std::move(renderer);
    }
    return 1;
}

HRESULT RecreateRenderers(const HWND windows[kChannelCount]) {
    PlaybackEngine& engine = g_playbackEngine;
    int traceNumber = 1;
    for (const RendererSlot& slot : kRendererOrder) {
        std::unique_ptr<D3D9RenderImpl>& renderer = RendererOf(slot);
        renderer = std::make_unique<D3D9RenderImpl>();
        HRESULT hr = renderer->Initialize(windows[slot.windowChannel], TRUE);
        EngineTrace("[*%d] hr = 0x%08X", traceNumber++, static_cast<unsigned>(hr));
        if (FAILED(hr))
            return hr;
        hr = renderer->CreateVideoSurface(engine.pictureWidth, engine.pictureHeight, engine.surfaceFormat);
        EngineTrace("[*%d] hr = 0x%08X", traceNumber++, static_cast<unsigned>(hr));
        if (FAILED(hr))
            return hr;
        renderer->SetDisplayMode(engine.displayMode);
    }
    return S_OK;
}
