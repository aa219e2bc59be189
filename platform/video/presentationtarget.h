#pragma once
// Where a video device's pictures go: the window layer registers a receiver for each window that
// shows video, and every device made for that window hands its presented pictures to it. Tests
// register receivers of their own and read the pixels.

#include "platform/base/windowsystem.h"
#include "platform/base/wintypes.h"

#include <memory>

// A composed picture: 32-bit pixels in B, G, R, X byte order, top row first. Copies share the
// pixels, which never change once presented, so a receiver may keep one as long as it likes and
// read it on any thread. A receiver that draws scenes itself is given the picture in its parts
// (presentedpictureqt.h): then the pixels are composed at the first read, and only then.
class PresentedPicture {
  public:
    PresentedPicture();
    ~PresentedPicture();
    PresentedPicture(const PresentedPicture& other);
    PresentedPicture& operator=(const PresentedPicture& other);

    bool IsNull() const;
    int Width() const;
    int Height() const;
    int Pitch() const;
    const BYTE* Bits() const;
    // 0xFFRRGGBB; 0 outside the picture.
    DWORD Pixel(int x, int y) const;
    // Handed over in its parts: nobody has composed it unless its pixels were read.
    bool InParts() const;

    struct Impl;
    explicit PresentedPicture(std::shared_ptr<const Impl> impl);
    const Impl* GetImpl() const { return m_impl.get(); }

  private:
    std::shared_ptr<const Impl> m_impl;
};

class IPresentationTarget {
  public:
    virtual ~IPresentationTarget() = default;
    // Any thread, at any time: the window's client size in pixels (0 x 0 while it has none, or
    // while nobody can see it).
    virtual SIZE ClientSize() const = 0;
    // Any thread: the picture the window shows from now on, already the client size. Called while
    // the device that presents holds its own locks, so it must not block on the window's thread.
    virtual void Present(const PresentedPicture& picture) = 0;
    // Any thread: the receiver draws pictures from their parts (with OpenGL), so devices leave the
    // composing to it rather than convert, scale and compose each picture themselves.
    virtual bool DrawsScenes() const { return false; }
};

// A window has at most one receiver; registering again replaces it, and a null receiver unregisters.
// Devices look their window's receiver up at every presentation: once it is unregistered (its window
// is gone) their pictures go nowhere, apart from one that may already be on its way.
void RegisterPresentationTarget(HWND window, std::shared_ptr<IPresentationTarget> target);
void UnregisterPresentationTarget(HWND window);
std::shared_ptr<IPresentationTarget> FindPresentationTarget(HWND window);
