#pragma once
// A static control that shows a picture and plays an animated GIF on a thread of its own. The GIF
// is cut into one single-image GIF per frame, each decoded on its own; frames are composed into an
// off-screen picture honouring their place, delay and disposal, and painting copies that picture.

#include "platform/ui/dc.h"
#include "platform/ui/resources.h"
#include "platform/ui/static.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class CAnimatedPicture : public CStatic {
  public:
    // Hundredths of a second of a frame without a graphic control extension.
    static constexpr UINT NO_DELAY = 0xFFFFFFFF;

    struct TFrame {
        HBITMAP picture = nullptr;
        SIZE frameSize{};
        SIZE frameOffset{};
        UINT delay = 0;
        UINT disposal = 0;
    };
    // One frame cut out of a GIF: a complete single-image GIF and what its blocks say.
    struct GifFrame {
        std::vector<BYTE> gif;
        SIZE frameSize{};
        SIZE frameOffset{};
        UINT delay = NO_DELAY;
        UINT disposal = 0;
    };

    CAnimatedPicture();
    ~CAnimatedPicture() override;

    BOOL Load(HGLOBAL data, DWORD size);
    BOOL Load(LPCWSTR resourceName, LPCWSTR resourceType);
    BOOL Draw();
    // Ends the animation thread and waits for it.
    void Stop();
    void UnLoad();

    bool IsPlaying() const { return m_isPlaying; }
    size_t GetFrameCount() const { return m_frames.size(); }
    const TFrame& GetFrame(size_t index) const { return m_frames[index]; }
    SIZE GetPictureSize() const { return m_pictureSize; }
    COLORREF GetBackground() const { return m_background; }
    // The time a frame is shown, in milliseconds.
    static DWORD FrameWait(UINT delay);

    // The graphic blocks of a GIF, walked as the animation uses them; every read is checked
    // against the data. Empty for anything that is not a GIF.
    static size_t CountGifFrames(const BYTE* data, size_t size);
    static std::vector<GifFrame> SplitGif(const BYTE* data, size_t size);

  protected:
    void OnPaint() override;
    void OnDestroy() override;

  private:
    bool PrepareMemory(int width, int height);
    bool LoadStill(const BYTE* data, size_t size);
    void RenderFrame(const TFrame& frame);
    void FillArea(const RECT& rect);
    void Animate();
    void ReleaseMemory();

    RECT m_paintRect{};
    SIZE m_pictureSize{};
    COLORREF m_background = RGB(255, 255, 255);
    size_t m_currentFrame = 0;
    bool m_isGif = false;
    std::atomic<bool> m_isPlaying{false};
    std::atomic<bool> m_exitThread{false};
    bool m_isInitialized = false;
    // The composed picture, shared by the animation thread and painting.
    std::mutex m_pictureLock;
    CDC m_memoryDC;
    CBitmap m_memoryBitmap;
    CBitmap* m_previousBitmap = nullptr;
    CBitmap m_disposalBitmap;
    bool m_hasDisposal = false;
    std::thread m_thread;
    std::mutex m_exitLock;
    std::condition_variable m_exitEvent;
    HBITMAP m_picture = nullptr;
    std::vector<TFrame> m_frames;
};
