#include "platform/video/videotesthooks.h"

#include "platform/video/videodeviceimpl.h"

#include <QGuiApplication>

#include <atomic>
#include <mutex>
#include <set>

namespace {

std::atomic<int> lossGeneration{0};
std::atomic<int> failingCreations{0};
std::atomic<int> displayBits{0};

std::mutex& RefusedLock() {
    static std::mutex lock;
    return lock;
}

std::set<D3DFORMAT>& Refused() {
    static std::set<D3DFORMAT> refused;
    return refused;
}

} // namespace

void SimulateDeviceLoss() {
    ++lossGeneration;
}

void FailNextDeviceCreations(int count) {
    failingCreations = count > 0 ? count : 0;
}

void RefuseSurfaceFormat(D3DFORMAT format, bool refuse) {
    std::lock_guard<std::mutex> guard(RefusedLock());
    if (refuse)
        Refused().insert(format);
    else
        Refused().erase(format);
}

void SetDisplayBitsPerPixel(int bits) {
    displayBits = bits > 0 ? bits : 0;
}

void ResetVideoTestHooks() {
    failingCreations = 0;
    displayBits = 0;
    std::lock_guard<std::mutex> guard(RefusedLock());
    Refused().clear();
}

void EnsureTextRendering() {
    if (QCoreApplication::instance())
        return;
    // Lives until the process ends, as the program's own application object does.
    static int argc = 1;
    static char name[] = "trevo";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

int CurrentLossGeneration() {
    return lossGeneration;
}

bool TakeDeviceCreationFailure() {
    int remaining = failingCreations;
    while (remaining > 0)
        if (failingCreations.compare_exchange_weak(remaining, remaining - 1))
            return true;
    return false;
}

bool IsSurfaceFormatRefused(D3DFORMAT format) {
    std::lock_guard<std::mutex> guard(RefusedLock());
    return Refused().count(format) != 0;
}

int DisplayBitsPerPixelOverride() {
    return displayBits;
}

bool CanRenderText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}
