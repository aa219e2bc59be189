#pragma once
// The video device's insides, shared by its source files only.

#include "platform/video/presentationtarget.h"
#include "platform/video/presentedpictureqt.h"
#include "platform/video/videodevice.h"
#include "platform/video/videofont.h"
#include "platform/video/videoscene.h"
#include "platform/video/videosurface.h"
#include "platform/video/videotexture.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVFrame;
struct SwsContext;

// Room sws may write beyond a row and below the last row: its vector code rounds row lengths up.
constexpr int kRowSlackPixels = 32;
constexpr int kSlackRows = 2;
// A row pitch in bytes of 32-bit pixels with that room, in whole cache lines.
int PitchWithSlack(int width);

struct VideoSurface::Impl {
    int width = 0;
    int height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    int pitch = 0;
    std::size_t dataSize = 0;
    using Bytes = std::shared_ptr<std::vector<std::uint8_t>>;
    // dataSize bytes plus slack for readers that fetch whole vectors; none until the surface is
    // first written or read, so that renderers nobody plays into cost neither memory nor start-up.
    // A copy of another surface shares that surface's bytes until one of the two is written.
    Bytes bytes;
    // The bytes this surface had before it last wrote into new ones; taken again once nobody
    // shares them, so that writing after a copy does not fault in fresh memory every time.
    Bytes spare;
    // A colour filled into the surface before it had its bytes.
    std::optional<D3DCOLOR> pendingFill;
    // A decoded picture the surface holds instead of bytes: read as if it had been converted into
    // the surface at the surface's size, mirrored left to right when asked. Its planes stay the
    // decoder's; nothing is converted at full size unless someone locks the surface to read it.
    std::shared_ptr<const AVFrame> picture;
    bool mirrored = false;
    // The picture already converted for the place its window last showed pictures at; it counts
    // only while `of` is the surface's picture.
    struct Prepared {
        std::weak_ptr<const AVFrame> of;
        RECT source{};
        int width = 0;
        int height = 0;
        int pitch = 0;
        std::shared_ptr<std::vector<std::uint8_t>> pixels;
    };
    std::optional<Prepared> prepared;
    std::mutex lock;
};

// The surface's prepared pixels when they are of its picture, for this rectangle at this size.
// The caller holds the surface's lock.
const VideoSurface::Impl::Prepared* PreparedFor(const VideoSurface::Impl& surface, const RECT& source,
                                                int width, int height);

// Where a device last showed a decoded picture on the software path: a rectangle of a surface of
// this size, at this size, in a window of this size. Forgotten when the window draws with OpenGL.
class PlacementMemory {
  public:
    struct Placement {
        int clientWidth = 0;
        int clientHeight = 0;
        int surfaceWidth = 0;
        int surfaceHeight = 0;
        RECT source{};
        int width = 0;
        int height = 0;
    };
    void Remember(const Placement& placement) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_last = placement;
    }
    void Forget() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_last.reset();
    }
    std::optional<Placement> Last() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_last;
    }

  private:
    mutable std::mutex m_lock;
    std::optional<Placement> m_last;
};

// A picture converted ahead, waiting for the surface it is handed to.
struct PictureAhead {
    std::shared_ptr<const AVFrame> frame;
    bool mirrored = false;
    PlacementMemory::Placement placement;
    int pitch = 0;
    std::shared_ptr<std::vector<std::uint8_t>> pixels;
};

// The surface's bytes, made (and given any pending fill) on first use. The caller holds its lock.
const std::uint8_t* SurfaceBytesToRead(VideoSurface::Impl& surface);
// The same, for writing: bytes shared with a copy are left to it first, carried over unless the
// caller overwrites them all (discard).
std::uint8_t* SurfaceBytesToWrite(VideoSurface::Impl& surface, bool discard);

// A rectangle of a surface as the scaler reads it.
struct SurfacePlanes {
    const std::uint8_t* data[4] = {};
    int linesize[4] = {};
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int width = 0;
    int height = 0;
    // The rectangle is to be shown mirrored left to right.
    bool mirrored = false;
};

AVPixelFormat PixelFormatOfSurface(D3DFORMAT format);
// The rectangle is clipped to the surface and its corner moved onto the chroma grid; false when
// nothing of it is left.
bool PlanesOfSurface(VideoSurface::Impl& surface, const RECT& rect, SurfacePlanes* planes);

// Converts and scales into 32-bit B, G, R, X rows. One conversion at a time; its context and
// scratch rows are reused from one picture to the next.
class Scaler {
  public:
    Scaler() = default;
    Scaler(const Scaler&) = delete;
    Scaler& operator=(const Scaler&) = delete;

    // The destination rows must have kRowSlackPixels of room after dstWidth and kSlackRows below.
    // The source must not be mirrored.
    bool ToBgraWithSlack(const SurfacePlanes& source, std::uint8_t* destination, int destinationPitch,
                         int dstWidth, int dstHeight);
    // Any destination: the rows go through scratch memory first, and are mirrored on the way when
    // the source is.
    bool ToBgra(const SurfacePlanes& source, std::uint8_t* destination, int destinationPitch, int dstWidth,
                int dstHeight);
    // The video's planes stretched into its destination rectangle of the canvas (Format_RGB32).
    bool ToCanvas(const PresentedVideo& video, QImage& canvas);

  private:
    // A conversion context kept for the sizes and formats it was asked for. sws_getCachedContext
    // compares them with what the context made of them (an odd RGB width changes its flags), so
    // it would build a new context, at great cost, for every picture of such a size.
    class Context {
      public:
        Context() = default;
        ~Context();
        Context(const Context&) = delete;
        Context& operator=(const Context&) = delete;
        SwsContext* For(int srcWidth, int srcHeight, AVPixelFormat srcFormat, int dstWidth, int dstHeight,
                        AVPixelFormat dstFormat);

      private:
        SwsContext* m_context = nullptr;
        int m_key[6] = {};
    };

    bool Scale(const SurfacePlanes& source, std::uint8_t* destination, int destinationPitch, int dstWidth,
               int dstHeight);

    std::mutex m_lock;
    Context m_context;
    // YUV pictures are scaled to planar 4:2:0 at the destination size first, then converted to RGB:
    // half the work of scaling straight to RGB.
    Context m_toRgb;
    std::vector<std::uint8_t> m_planar;
    std::vector<std::uint8_t> m_scratch;
};

// Client-size RGB32 pictures whose rows have the slack the scaler needs. A presented picture lives
// on with whoever keeps it; its memory comes back here when the last copy goes, so that playing
// does not allocate (and fault in) a new picture for every presentation.
class CanvasPool : public std::enable_shared_from_this<CanvasPool> {
  public:
    CanvasPool() = default;
    ~CanvasPool();
    CanvasPool(const CanvasPool&) = delete;
    CanvasPool& operator=(const CanvasPool&) = delete;

    // The pixels are undefined.
    QImage Take(int width, int height);

  private:
    struct Loan;
    static void Return(void* loan);

    std::mutex m_lock;
    std::vector<std::pair<std::size_t, uchar*>> m_free;
};

struct VideoScene::Impl {
    // The client area.
    int width = 0;
    int height = 0;
    QImage canvas;
    // The canvas is cleared to this colour where nothing else is drawn; the clearing waits until
    // the picture's place is known, so that the picture's own pixels are written once.
    bool clearPending = true;
    QRgb clear = 0xFF000000u;
    int backBufferWidth = 0;
    int backBufferHeight = 0;
    Scaler* scaler = nullptr;
    std::shared_ptr<CanvasPool> canvases;
    std::shared_ptr<PlacementMemory> placements;
    std::unique_ptr<QPainter> painter;
    // For a window that draws scenes itself the scene keeps its parts (no canvas): the video as
    // decoded, and the overlays on a transparent picture of their own. A scene those parts cannot
    // describe (a second picture, one drawn over overlays, another format) is composed instead.
    bool inParts = false;
    std::optional<PresentedVideo> video;
    QImage overlay;

    // The painter for overlays, scaled from back-buffer pixels to the client area.
    QPainter& Painter();
    void EndPainting();
    // Clears what the clear has not reached yet, apart from the rectangle.
    void ClearAround(const QRect& kept);
    // Keeps the rectangle of the surface as the scene's video; false when the parts cannot hold it.
    // The caller holds the surface's lock.
    bool TakeVideo(VideoSurface::Impl& surface, const RECT& source, const RECT& destination);
    // From parts to a canvas holding what they show; false without memory for it.
    bool Compose();
};

struct VideoFont::Impl {
    QFont font;
    int height = 0;
};

struct VideoTexture::Impl {
    QImage image;
};

struct VideoDevice::Impl {
    HWND window = nullptr;
    int backBufferWidth = 0;
    int backBufferHeight = 0;
    int lossGeneration = 0;
    mutable Scaler sceneScaler;
    std::shared_ptr<CanvasPool> canvases = std::make_shared<CanvasPool>();
    mutable Scaler captureScaler;
    mutable Scaler preparingScaler;
    std::shared_ptr<PlacementMemory> placements = std::make_shared<PlacementMemory>();
    mutable std::mutex aheadLock;
    mutable std::optional<PictureAhead> ahead;
    // The memory of the last picture converted ahead, once nobody holds it, for the next.
    mutable std::shared_ptr<std::vector<std::uint8_t>> spareAhead;
    mutable std::mutex lastLock;
    PresentedPicture lastPresented;
};

// The test hooks' state, read by the device.
int CurrentLossGeneration();
bool TakeDeviceCreationFailure();
bool IsSurfaceFormatRefused(D3DFORMAT format);
int DisplayBitsPerPixelOverride();
bool CanRenderText();
