#include "viewer/skin/animatedpicture.h"

#include "platform/base/trace.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/picturedecoder.h"
#include "platform/ui/window.h"

#include <chrono>
#include <cstring>

namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);

enum class Block { GraphicControl, Comment, Application, PlainText, Image, Trailer, Unknown };

// Walks the blocks of a GIF; every byte read is checked against the data's end.
class GifWalker {
  public:
    GifWalker(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool IsGif() const { return m_size >= 13 && std::memcmp(m_data, "GIF", 3) == 0; }
    size_t GlobalColorTableSize() const {
        return (m_data[10] & 0x80) != 0 ? 3u << ((m_data[10] & 7) + 1) : 0;
    }
    size_t FirstBlock() const { return 13 + GlobalColorTableSize(); }

    Block Kind(size_t at) const {
        if (at >= m_size) {
            return Block::Unknown;
        }
        switch (m_data[at]) {
        case 0x21:
            if (at + 1 >= m_size) {
                return Block::Unknown;
            }
            switch (m_data[at + 1]) {
            case 0xF9:
                return Block::GraphicControl;
            case 0xFE:
                return Block::Comment;
            case 0xFF:
                return Block::Application;
            case 0x01:
                return Block::PlainText;
            default:
                return Block::Unknown;
            }
        case 0x2C:
            return Block::Image;
        case 0x3B:
            return Block::Trailer;
        default:
            return Block::Unknown;
        }
    }

    // The block's length; 0 when it does not fit the data or is of an unknown kind.
    size_t Length(size_t at) const {
        size_t length = 0;
        switch (Kind(at)) {
        case Block::GraphicControl:
            length = 8;
            break;
        case Block::Comment:
            length = SubBlocks(at, 2);
            break;
        case Block::Application:
            length = SubBlocks(at, 14);
            break;
        case Block::PlainText:
            length = SubBlocks(at, 15);
            break;
        case Block::Image: {
            if (at + 9 >= m_size) {
                return 0;
            }
            const BYTE packed = m_data[at + 9];
            const size_t localTable = (packed & 0x80) != 0 ? 3u << ((packed & 7) + 1) : 0;
            // The descriptor, the local table and the LZW code size byte come before the data.
            length = SubBlocks(at, 11 + localTable);
            break;
        }
        case Block::Trailer:
            length = 1;
            break;
        case Block::Unknown:
            return 0;
        }
        return at + length <= m_size ? length : 0;
    }

    WORD Word(size_t at) const {
        return at + 1 < m_size ? static_cast<WORD>(m_data[at] | (m_data[at + 1] << 8)) : 0;
    }
    BYTE Byte(size_t at) const { return at < m_size ? m_data[at] : 0; }

  private:
    // The fixed part plus the data sub-blocks and their terminator; 0 when they run past the end.
    size_t SubBlocks(size_t at, size_t fixed) const {
        size_t position = at + fixed;
        while (position < m_size && m_data[position] != 0) {
            position += 1 + m_data[position];
        }
        if (position >= m_size) {
            return 0;
        }
        return position + 1 - at;
    }

    const BYTE* m_data;
    size_t m_size;
};

bool IsGraphic(Block kind) {
    return kind == Block::Image || kind == Block::PlainText;
}

// Skips application and comment extensions; false when one does not fit.
bool SkipExtras(const GifWalker& gif, size_t& position) {
    while (gif.Kind(position) == Block::Application || gif.Kind(position) == Block::Comment) {
        const size_t length = gif.Length(position);
        if (length == 0) {
            return false;
        }
        position += length;
    }
    return true;
}

// Finds the next frame: its first block (a graphic control extension or the image itself) and
// the end of its image block.
bool NextFrame(const GifWalker& gif, size_t& position, size_t& start, size_t& end) {
    if (!SkipExtras(gif, position)) {
        return false;
    }
    start = position;
    if (gif.Kind(position) == Block::GraphicControl) {
        const size_t length = gif.Length(position);
        if (length == 0) {
            return false;
        }
        position += length;
        if (!SkipExtras(gif, position)) {
            return false;
        }
    }
    if (!IsGraphic(gif.Kind(position))) {
        return false;
    }
    const size_t length = gif.Length(position);
    if (length == 0) {
        return false;
    }
    position += length;
    end = position;
    return true;
}

void SelectAndBlit(CDC* target, HBITMAP bitmap, int x, int y, int width, int height, int sourceX, int sourceY,
                   bool transparent) {
    CDC source;
    source.CreateCompatibleDC(target);
    HGDIOBJ previous = source.SelectObject(static_cast<HGDIOBJ>(bitmap));
    if (transparent) {
        target->TransparentBlt(x, y, width, height, &source, sourceX, sourceY, width, height, kTransparent);
    } else {
        target->BitBlt(x, y, width, height, &source, sourceX, sourceY, SRCCOPY);
    }
    source.SelectObject(previous);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP description;
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(description), &description) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{description.bmWidth, description.bmHeight};
}

} // namespace

CAnimatedPicture::CAnimatedPicture() = default;

CAnimatedPicture::~CAnimatedPicture() {
    UnLoad();
    DestroyWindow();
}

size_t CAnimatedPicture::CountGifFrames(const BYTE* data, size_t size) {
    const GifWalker gif(data, size);
    if (data == nullptr || !gif.IsGif()) {
        return 0;
    }
    size_t position = gif.FirstBlock();
    size_t count = 0;
    size_t start = 0;
    size_t end = 0;
    while (NextFrame(gif, position, start, end)) {
        ++count;
    }
    return count;
}

std::vector<CAnimatedPicture::GifFrame> CAnimatedPicture::SplitGif(const BYTE* data, size_t size) {
    std::vector<GifFrame> frames;
    const GifWalker gif(data, size);
    if (data == nullptr || !gif.IsGif()) {
        return frames;
    }
    const size_t prefix = gif.FirstBlock();
    if (prefix > size) {
        return frames;
    }
    size_t position = prefix;
    size_t start = 0;
    size_t end = 0;
    while (NextFrame(gif, position, start, end)) {
        GifFrame frame;
        if (gif.Kind(start) == Block::GraphicControl) {
            frame.delay = gif.Word(start + 4);
            frame.disposal = (gif.Byte(start + 3) >> 2) & 7;
        }
        // The graphic block is the last of the frame; find it to read its descriptor.
        size_t graphic = start;
        while (graphic < end && !IsGraphic(gif.Kind(graphic)) && gif.Length(graphic) > 0) {
            graphic += gif.Length(graphic);
        }
        if (gif.Kind(graphic) == Block::Image) {
            frame.frameOffset = SIZE{gif.Word(graphic + 1), gif.Word(graphic + 3)};
            frame.frameSize = SIZE{gif.Word(graphic + 5), gif.Word(graphic + 7)};
        }
        frame.gif.reserve(prefix + (end - start) + 1);
        frame.gif.insert(frame.gif.end(), data, data + prefix);
        frame.gif.insert(frame.gif.end(), data + start, data + end);
        frame.gif.push_back(0x3B);
        frames.push_back(std::move(frame));
    }
    return frames;
}

DWORD CAnimatedPicture::FrameWait(UINT delay) {
    // Unsigned arithmetic: a frame without a delay waits until the animation is stopped.
    return delay < 5 ? 100 : static_cast<DWORD>(delay * 10u);
}

BOOL CAnimatedPicture::Load(HGLOBAL data, DWORD size) {
    UnLoad();
    if (data == nullptr) {
        TraceLine(L"Load: Error locking memory");
        return FALSE;
    }
    const auto* bytes = static_cast<const BYTE*>(data);
    const GifWalker gif(bytes, size);
    if (!gif.IsGif()) {
        if (!LoadStill(bytes, size)) {
            return FALSE;
        }
        m_pictureSize = BitmapSize(m_picture);
        return PrepareMemory(m_pictureSize.cx, m_pictureSize.cy) ? TRUE : FALSE;
    }
    m_isGif = true;
    m_pictureSize = SIZE{gif.Word(6), gif.Word(8)};
    const size_t count = CountGifFrames(bytes, size);
    if (count == 0) {
        return FALSE;
    }
    if (count == 1) {
        if (!LoadStill(bytes, size)) {
            return FALSE;
        }
    } else {
        for (GifFrame& cut : SplitGif(bytes, size)) {
            HBITMAP picture = DecodePictureData(cut.gif.data(), cut.gif.size(), kTransparent);
            if (picture == nullptr) {
                continue;
            }
            TFrame frame;
            frame.picture = picture;
            frame.frameSize = cut.frameSize;
            frame.frameOffset = cut.frameOffset;
            frame.delay = cut.delay;
            frame.disposal = cut.disposal;
            m_frames.push_back(frame);
        }
        if (m_frames.empty()) {
            return FALSE;
        }
    }
    return PrepareMemory(m_pictureSize.cx, m_pictureSize.cy) ? TRUE : FALSE;
}

BOOL CAnimatedPicture::Load(LPCWSTR resourceName, LPCWSTR resourceType) {
    HRSRC resource = FindResourceW(nullptr, resourceName, resourceType);
    HGLOBAL data = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
    if (data == nullptr) {
        TraceLine(L"Load (resource): Error loading resource");
        return FALSE;
    }
    const DWORD size = SizeofResource(nullptr, resource);
    const auto* bytes = static_cast<const BYTE*>(LockResource(data));
    if (bytes == nullptr) {
        TraceLine(L"Load (resource): Error locking memory");
        return FALSE;
    }
    std::vector<BYTE> copy(bytes, bytes + size);
    return Load(copy.data(), size);
}

bool CAnimatedPicture::LoadStill(const BYTE* data, size_t size) {
    m_picture = DecodePictureData(data, size, kTransparent);
    return m_picture != nullptr;
}

bool CAnimatedPicture::PrepareMemory(int width, int height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    if (m_hWnd != nullptr) {
        SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    std::lock_guard<std::mutex> lock(m_pictureLock);
    if (!m_memoryDC.CreateCompatibleDC(nullptr) ||
        !m_memoryBitmap.CreateCompatibleBitmap(&m_memoryDC, width, height)) {
        m_memoryBitmap.DeleteObject();
        m_memoryDC.DeleteDC();
        return false;
    }
    m_previousBitmap = m_memoryDC.SelectObject(&m_memoryBitmap);
    m_background = GetSysColor(COLOR_3DFACE);
    const RECT all{0, 0, width, height};
    ::FillRect(m_memoryDC, &all, GetSysColorBrush(COLOR_MENU));
    m_isInitialized = true;
    return true;
}

BOOL CAnimatedPicture::Draw() {
    if (!m_isInitialized) {
        TraceLine(L"Call one of the CAnimatedPicture::Load() member functions before calling Draw()");
        return FALSE;
    }
    if (m_isGif && m_frames.size() > 1) {
        if (m_thread.joinable()) {
            return TRUE;
        }
        m_isPlaying = true;
        m_thread = std::thread([this] { Animate(); });
        return TRUE;
    }
    if (m_picture == nullptr) {
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> lock(m_pictureLock);
        SelectAndBlit(&m_memoryDC, m_picture, 0, 0, m_pictureSize.cx, m_pictureSize.cy, 0, 0, false);
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return TRUE;
}

void CAnimatedPicture::FillArea(const RECT& rect) {
    CBrush brush(m_background);
    ::FillRect(m_memoryDC, &rect, brush);
}

void CAnimatedPicture::RenderFrame(const TFrame& frame) {
    const SIZE decoded = BitmapSize(frame.picture);
    // A frame decodes on the whole logical screen; take its own rectangle of it.
    const bool onScreen = decoded.cx >= frame.frameOffset.cx + frame.frameSize.cx &&
                          decoded.cy >= frame.frameOffset.cy + frame.frameSize.cy;
    const int width = frame.frameSize.cx > 0 ? frame.frameSize.cx : decoded.cx;
    const int height = frame.frameSize.cy > 0 ? frame.frameSize.cy : decoded.cy;
    SelectAndBlit(&m_memoryDC, frame.picture, frame.frameOffset.cx, frame.frameOffset.cy, width, height,
                  onScreen ? frame.frameOffset.cx : 0, onScreen ? frame.frameOffset.cy : 0, true);
}

void CAnimatedPicture::Animate() {
    const auto frameRect = [](const TFrame& frame) {
        return RECT{frame.frameOffset.cx, frame.frameOffset.cy, frame.frameOffset.cx + frame.frameSize.cx,
                    frame.frameOffset.cy + frame.frameSize.cy};
    };
    const auto restoreDisposal = [this](const TFrame& frame) {
        if (!m_hasDisposal) {
            return;
        }
        SelectAndBlit(&m_memoryDC, m_disposalBitmap, frame.frameOffset.cx, frame.frameOffset.cy,
                      frame.frameSize.cx, frame.frameSize.cy, 0, 0, false);
        m_disposalBitmap.DeleteObject();
        m_hasDisposal = false;
    };
    {
        std::lock_guard<std::mutex> lock(m_pictureLock);
        const TFrame& frame = m_frames[m_currentFrame];
        if (frame.disposal == 2) {
            FillArea(frameRect(frame));
        } else if (frame.disposal == 3) {
            restoreDisposal(frame);
        }
    }
    while (!m_exitThread) {
        const TFrame& frame = m_frames[m_currentFrame];
        {
            std::lock_guard<std::mutex> lock(m_pictureLock);
            if (frame.disposal == 3) {
                m_disposalBitmap.DeleteObject();
                m_disposalBitmap.CreateCompatibleBitmap(&m_memoryDC, frame.frameSize.cx, frame.frameSize.cy);
                CDC save;
                save.CreateCompatibleDC(&m_memoryDC);
                CBitmap* previous = save.SelectObject(&m_disposalBitmap);
                save.BitBlt(0, 0, frame.frameSize.cx, frame.frameSize.cy, &m_memoryDC, frame.frameOffset.cx,
                            frame.frameOffset.cy, SRCCOPY);
                save.SelectObject(previous);
                m_hasDisposal = true;
            }
            RenderFrame(frame);
        }
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        if (m_exitThread) {
            break;
        }
        {
            std::unique_lock<std::mutex> lock(m_exitLock);
            m_exitEvent.wait_for(lock, std::chrono::milliseconds(FrameWait(frame.delay)),
                                 [this] { return m_exitThread.load(); });
        }
        if (m_exitThread) {
            break;
        }
        std::lock_guard<std::mutex> lock(m_pictureLock);
        if (frame.disposal == 2) {
            FillArea(frameRect(frame));
        } else if (frame.disposal == 3) {
            restoreDisposal(frame);
        }
        if (++m_currentFrame >= m_frames.size()) {
            m_currentFrame = 0;
            FillArea(RECT{0, 0, m_pictureSize.cx, m_pictureSize.cy});
        }
    }
    m_isPlaying = false;
}

void CAnimatedPicture::Stop() {
    m_isPlaying = false;
    {
        std::lock_guard<std::mutex> lock(m_exitLock);
        m_exitThread = true;
    }
    m_exitEvent.notify_all();
    // The thread's waits end on the exit request, so joining never hangs; the frames outlive it.
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_exitThread = false;
}

void CAnimatedPicture::ReleaseMemory() {
    std::lock_guard<std::mutex> lock(m_pictureLock);
    m_disposalBitmap.DeleteObject();
    m_hasDisposal = false;
    if (m_memoryDC.GetSafeHdc() != nullptr) {
        m_memoryDC.SelectObject(m_previousBitmap);
        m_memoryDC.DeleteDC();
    }
    m_previousBitmap = nullptr;
    m_memoryBitmap.DeleteObject();
}

void CAnimatedPicture::UnLoad() {
    Stop();
    if (m_picture != nullptr) {
        DeleteObject(m_picture);
        m_picture = nullptr;
    }
    for (TFrame& frame : m_frames) {
        DeleteObject(frame.picture);
    }
    m_frames.clear();
    ReleaseMemory();
    m_paintRect = RECT{};
    m_pictureSize = SIZE{};
    m_background = RGB(255, 255, 255);
    m_currentFrame = 0;
    m_isGif = false;
    m_isInitialized = false;
}

void CAnimatedPicture::OnPaint() {
    CPaintDC dc(this);
    std::lock_guard<std::mutex> lock(m_pictureLock);
    if (!m_isInitialized) {
        return;
    }
    const CRect paint(m_paintRect);
    if (paint.IsRectEmpty()) {
        dc.BitBlt(0, 0, m_pictureSize.cx, m_pictureSize.cy, &m_memoryDC, 0, 0, SRCCOPY);
    } else {
        dc.BitBlt(0, 0, paint.Width(), paint.Height(), &m_memoryDC, paint.left, paint.top, SRCCOPY);
    }
}

void CAnimatedPicture::OnDestroy() {
    Stop();
    CStatic::OnDestroy();
}
