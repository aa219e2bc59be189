#include "platform/ui/dc.h"

#include "platform/ui/gdiimpl.h"
#include "platform/ui/glvideowidget.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"
#include "platform/ui/wnd.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygon>
#include <QScreen>
#include <QTextLayout>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

using namespace uiimpl;

namespace {

constexpr int LogicalDpi = 96;
const QRect Unbounded(-(1 << 24), -(1 << 24), 1 << 25, 1 << 25);

HGDIOBJ StockBitmap() {
    static HGDIOBJ bitmap = [] {
        auto object = std::make_shared<BitmapObject>();
        object->image = QImage(1, 1, QImage::Format_RGB32);
        object->image.fill(qRgb(0, 0, 0));
        object->stock = true;
        return AddObject(object);
    }();
    return bitmap;
}

void Select(HGDIOBJ object, int delta) {
    if (const std::shared_ptr<GdiObject> found = FindObject(object)) {
        found->selections += delta;
    }
}

HDC AddDC(std::shared_ptr<DeviceContext> dc) {
    dc->pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    dc->brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    dc->font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    if (dc->target == DeviceContext::Target::Memory) {
        dc->bitmap = static_cast<HBITMAP>(StockBitmap());
    }
    Select(dc->pen, 1);
    Select(dc->brush, 1);
    Select(dc->font, 1);
    Select(dc->bitmap, 1);
    return static_cast<HDC>(AddObject(std::move(dc)));
}

QRect FromCorners(int left, int top, int right, int bottom) {
    return right > left && bottom > top ? QRect(left, top, right - left, bottom - top) : QRect();
}

QRect FromRect(const RECT& rect) {
    return FromCorners(rect.left, rect.top, rect.right, rect.bottom);
}

void ToRect(const QRect& from, RECT* to) {
    if (from.isEmpty()) {
        *to = RECT();
        return;
    }
    to->left = from.left();
    to->top = from.top();
    to->right = from.left() + from.width();
    to->bottom = from.top() + from.height();
}

int Complexity(const QRegion& region) {
    if (region.isEmpty()) {
        return NULLREGION;
    }
    return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// A DIB section may have been written through its bits with anything in the fourth byte.
void MakeOpaque(BitmapObject& bitmap) {
    if (!bitmap.dibSection || bitmap.image.format() != QImage::Format_RGB32) {
        return;
    }
    for (int y = 0; y < bitmap.image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bitmap.image.scanLine(y));
        for (int x = 0; x < bitmap.image.width(); ++x) {
            row[x] |= 0xFF000000u;
        }
    }
}

QRect TargetBounds(const DeviceContext& dc) {
    switch (dc.target) {
    case DeviceContext::Target::Memory:
        if (const auto bitmap = FindBitmap(dc.bitmap)) {
            return bitmap->image.rect();
        }
        return QRect();
    case DeviceContext::Target::Window: {
        const Window* window = Lookup(dc.window);
        return window != nullptr && window->widget ? QRect(QPoint(0, 0), window->widget->size()) : QRect();
    }
    case DeviceContext::Target::Painter:
        return dc.hasBaseClip ? dc.baseClip.boundingRect() : Unbounded;
    default:
        return QRect();
    }
}

QRegion EffectiveClip(const DeviceContext& dc) {
    QRegion clip(TargetBounds(dc));
    if (dc.hasBaseClip) {
        clip &= dc.baseClip;
    }
    if (dc.hasClip) {
        clip &= dc.clip;
    }
    return clip;
}

// The picture a DC reads from: its bitmap, or a plain window's picture.
const QImage* SourceImage(const DeviceContext& dc, std::shared_ptr<BitmapObject>& keep) {
    if (dc.target == DeviceContext::Target::Memory) {
        keep = FindBitmap(dc.bitmap);
        if (keep == nullptr) {
            return nullptr;
        }
        MakeOpaque(*keep);
        return &keep->image;
    }
    if (dc.target == DeviceContext::Target::Window) {
        Window* window = Lookup(dc.window);
        if (window != nullptr && window->host != nullptr && window->host->PaintsSurface()) {
            FitSurface(*window);
            return &window->surface;
        }
    }
    return nullptr;
}

// Where one drawing call of a DC goes, with the DC's clipping applied.
class Canvas {
  public:
    explicit Canvas(DeviceContext& dc) : m_dc(dc) {
        QImage* image = nullptr;
        switch (dc.target) {
        case DeviceContext::Target::Memory:
            m_bitmap = FindBitmap(dc.bitmap);
            if (m_bitmap != nullptr) {
                image = &m_bitmap->image;
            }
            break;
        case DeviceContext::Target::Window:
            image = WindowImage();
            break;
        case DeviceContext::Target::Painter:
            m_painter = dc.painter;
            break;
        default:
            break;
        }
        m_clip = EffectiveClip(dc);
        if (image != nullptr && !image->isNull()) {
            m_image = image;
            m_own.emplace(image);
            m_painter = &*m_own;
            m_painter->setClipRegion(m_clip);
        } else if (m_painter != nullptr) {
            m_painter->save();
            if (dc.hasBaseClip || dc.hasClip) {
                m_painter->setClipRegion(m_clip, Qt::IntersectClip);
            }
        }
        m_valid = m_painter != nullptr && !m_clip.isEmpty();
    }

    ~Canvas() {
        if (m_own) {
            m_own->end();
        } else if (m_painter != nullptr) {
            m_painter->restore();
        }
        if (m_touched.isEmpty()) {
            return;
        }
        Window* window = Lookup(m_dc.window);
        if (window == nullptr || window->host == nullptr || m_dc.target != DeviceContext::Target::Window) {
            return;
        }
        QWidget* input = window->host->InputWidget();
        const QPoint offset = window->host->InputOffset();
        if (window->host->PaintsSurface()) {
            NoteSurfacePainted(*window, m_touched);
            if (window->inSurfacePaint) {
                window->paintedDuringPaint += m_touched;
            } else {
                input->update(m_touched.translated(-offset));
            }
        } else {
            window->overlayArea += m_touched;
            input->update(m_touched.translated(-offset));
        }
    }

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Valid() const { return m_valid; }
    QPainter& Painter() { return *m_painter; }
    QImage* Image() { return m_image; }
    const QRegion& Clip() const { return m_clip; }
    void Touched(const QRect& rect) { m_touched += m_clip.intersected(rect); }

  private:
    QImage* WindowImage() {
        Window* window = Lookup(m_dc.window);
        if (window == nullptr || window->host == nullptr || !window->widget) {
            return nullptr;
        }
        if (window->host->PaintsSurface()) {
            FitSurface(*window);
            return &window->surface;
        }
        const QSize size = window->widget->size();
        if (window->overlay.size() != size) {
            window->overlay = QImage(size, QImage::Format_ARGB32_Premultiplied);
            window->overlay.fill(Qt::transparent);
            window->overlayArea = QRegion();
        }
        return &window->overlay;
    }

    DeviceContext& m_dc;
    std::shared_ptr<BitmapObject> m_bitmap;
    std::optional<QPainter> m_own;
    QPainter* m_painter = nullptr;
    QImage* m_image = nullptr;
    QRegion m_clip;
    QRegion m_touched;
    bool m_valid = false;
};

struct Temporaries {
    std::mutex mutex;
    std::map<HDC, std::unique_ptr<CDC>> objects;
};

Temporaries& TemporaryDCs() {
    static Temporaries temporaries;
    return temporaries;
}

void ForgetTemporary(HDC dc) {
    std::unique_ptr<CDC> object;
    {
        Temporaries& temporaries = TemporaryDCs();
        std::lock_guard<std::mutex> lock(temporaries.mutex);
        const auto found = temporaries.objects.find(dc);
        if (found == temporaries.objects.end()) {
            return;
        }
        object = std::move(found->second);
        temporaries.objects.erase(found);
    }
    object->Detach();
}

bool RemoveDC(HDC dc) {
    const std::shared_ptr<DeviceContext> found = FindDC(dc);
    if (found == nullptr) {
        return false;
    }
    Select(found->pen, -1);
    Select(found->brush, -1);
    Select(found->font, -1);
    Select(found->bitmap, -1);
    ForgetTemporary(dc);
    return RemoveObject(dc);
}

QPen PenFor(const PenObject& pen) {
    Qt::PenStyle style = Qt::SolidLine;
    if (pen.style == PS_DASH) {
        style = Qt::DashLine;
    } else if (pen.style == PS_DOT) {
        style = Qt::DotLine;
    }
    // Width 1 is drawn as a cosmetic pen: exactly one pixel, the end point left out.
    return QPen(ColorOf(pen.color), pen.width <= 1 ? 0 : pen.width, style, Qt::FlatCap, Qt::MiterJoin);
}

void ApplyMix(QPainter& painter, int mixMode) {
    if (mixMode == R2_XORPEN) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    } else if (mixMode == R2_NOT) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    }
}

QString TextOf(LPCWSTR text, int count) {
    if (text == nullptr) {
        return QString();
    }
    return count < 0 ? QString::fromWCharArray(text) : QString::fromWCharArray(text, count);
}

QString WithoutPrefixes(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                result += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        result += text[i];
    }
    return result;
}

QString Elided(const QString& line, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(line) <= width) {
        return line;
    }
    const QString dots = QStringLiteral("...");
    for (int length = static_cast<int>(line.size()) - 1; length > 0; --length) {
        const QString candidate = line.left(length) + dots;
        if (metrics.horizontalAdvance(candidate) <= width) {
            return candidate;
        }
    }
    return dots;
}

std::vector<QString> LayoutLines(QString text, const QFont& font, int width, UINT format) {
    std::vector<QString> lines;
    if ((format & DT_EXPANDTABS) != 0) {
        text.replace(QLatin1Char('\t'), QStringLiteral("        "));
    }
    if ((format & DT_SINGLELINE) != 0) {
        text.remove(QLatin1Char('\r'));
        text.remove(QLatin1Char('\n'));
        lines.push_back(text);
        return lines;
    }
    for (QString paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.endsWith(QLatin1Char('\r'))) {
            paragraph.chop(1);
        }
        if ((format & DT_WORDBREAK) == 0 || width <= 0 || paragraph.isEmpty()) {
            lines.push_back(paragraph);
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (!part.isEmpty() && part.back().isSpace()) {
                part.chop(1);
            }
            lines.push_back(part);
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace

namespace uiimpl {

HDC CreatePainterDC(QPainter* painter, HWND window) {
    auto dc = std::make_shared<DeviceContext>();
    dc->target = DeviceContext::Target::Painter;
    dc->painter = painter;
    dc->window = window;
    return AddDC(dc);
}

bool PaintOnDC(HDC dc, const std::function<void(QPainter&)>& draw) {
    const std::shared_ptr<DeviceContext> found = FindDC(dc);
    if (found == nullptr) {
        return false;
    }
    Canvas canvas(*found);
    if (!canvas.Valid()) {
        return false;
    }
    draw(canvas.Painter());
    canvas.Touched(canvas.Clip().boundingRect());
    return true;
}

} // namespace uiimpl

HDC CreateCompatibleDC(HDC) {
    auto dc = std::make_shared<DeviceContext>();
    dc->target = DeviceContext::Target::Memory;
    return AddDC(dc);
}

BOOL DeleteDC(HDC dc) {
    return RemoveDC(dc) ? TRUE : FALSE;
}

HDC GetDC(HWND window) {
    auto dc = std::make_shared<DeviceContext>();
    if (window == nullptr) {
        dc->target = DeviceContext::Target::Screen;
        return AddDC(dc);
    }
    if (!OnGuiThread() || !IsLive(window)) {
        return nullptr;
    }
    dc->target = DeviceContext::Target::Window;
    dc->window = window;
    return AddDC(dc);
}

int ReleaseDC(HWND, HDC dc) {
    return RemoveDC(dc) ? 1 : 0;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    Window* record = Lookup(window);
    if (record == nullptr || record->host == nullptr || !record->widget || paint == nullptr) {
        return nullptr;
    }
    const QRegion region = record->invalid & QRegion(QRect(QPoint(0, 0), record->widget->size()));
    const bool erase = record->eraseNeeded;
    record->invalid = QRegion();
    record->eraseNeeded = false;

    auto dc = std::make_shared<DeviceContext>();
    dc->window = window;
    dc->hasBaseClip = true;
    dc->baseClip = region;
    dc->target = DeviceContext::Target::Window;
    if (!record->host->PaintsSurface() && record->nativePaint != nullptr) {
        NativePaint& native = *record->nativePaint;
        if (!native.painter) {
            native.painter = std::make_unique<QPainter>(native.receiver);
            native.painter->translate(-native.offset);
        }
        native.validated = true;
        dc->target = DeviceContext::Target::Painter;
        dc->painter = native.painter.get();
    }
    const HDC handle = AddDC(dc);
    *paint = PAINTSTRUCT();
    paint->hdc = handle;
    ToRect(region.boundingRect(), &paint->rcPaint);
    if (erase && Dispatch(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(handle), 0) == 0) {
        paint->fErase = TRUE;
    }
    return handle;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
    return paint != nullptr && RemoveDC(paint->hdc) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    const std::shared_ptr<DeviceContext> context = FindDC(dc);
    const std::shared_ptr<GdiObject> found = FindObject(object);
    if (context == nullptr || found == nullptr) {
        return nullptr;
    }
    const auto swap = [object](auto& slot) {
        HGDIOBJ previous = slot;
        if (previous != object) {
            Select(object, 1);
            Select(previous, -1);
            slot = static_cast<std::remove_reference_t<decltype(slot)>>(object);
        }
        return previous;
    };
    switch (found->kind) {
    case GdiKind::Bitmap:
        // A bitmap goes into one memory DC at a time.
        if (context->target != DeviceContext::Target::Memory ||
            (found->selections > 0 && !found->stock && context->bitmap != object)) {
            return nullptr;
        }
        return swap(context->bitmap);
    case GdiKind::Pen:
        return swap(context->pen);
    case GdiKind::Brush:
        return swap(context->brush);
    case GdiKind::Font:
        return swap(context->font);
    case GdiKind::Region:
        return reinterpret_cast<HGDIOBJ>(
            static_cast<ULONG_PTR>(SelectClipRgn(dc, static_cast<HRGN>(object))));
    default:
        return nullptr;
    }
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(context->textColor, color & 0xFFFFFF);
}

COLORREF GetTextColor(HDC dc) {
    const auto context = FindDC(dc);
    return context == nullptr ? CLR_INVALID : context->textColor;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(context->backgroundColor, color & 0xFFFFFF);
}

COLORREF GetBkColor(HDC dc) {
    const auto context = FindDC(dc);
    return context == nullptr ? CLR_INVALID : context->backgroundColor;
}

int SetBkMode(HDC dc, int mode) {
    const auto context = FindDC(dc);
    if (context == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    return std::exchange(context->backgroundMode, mode);
}

int GetBkMode(HDC dc) {
    const auto context = FindDC(dc);
    return context == nullptr ? 0 : context->backgroundMode;
}

int SetStretchBltMode(HDC dc, int mode) {
    const auto context = FindDC(dc);
    if (context == nullptr || mode < BLACKONWHITE || mode > HALFTONE) {
        return 0;
    }
    return std::exchange(context->stretchMode, mode);
}

int GetStretchBltMode(HDC dc) {
    const auto context = FindDC(dc);
    return context == nullptr ? 0 : context->stretchMode;
}

int SetROP2(HDC dc, int mode) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return 0;
    }
    return std::exchange(context->mixMode, mode);
}

int GetDeviceCaps(HDC, int index) {
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return LogicalDpi;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case HORZRES:
    case VERTRES: {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return 0;
        }
        return index == HORZRES ? screen->geometry().width() : screen->geometry().height();
    }
    default:
        return 0;
    }
}

int SelectClipRgn(HDC dc, HRGN region) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return ERROR;
    }
    if (region == nullptr) {
        context->hasClip = false;
        context->clip = QRegion();
        return SIMPLEREGION;
    }
    QRegion area;
    if (!RegionOf(region, &area)) {
        return ERROR;
    }
    context->clip = area;
    context->hasClip = true;
    return Complexity(EffectiveClip(*context));
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return ERROR;
    }
    const QRegion base = context->hasClip ? context->clip : QRegion(TargetBounds(*context));
    context->clip = base - QRegion(FromCorners(left, top, right, bottom));
    context->hasClip = true;
    return Complexity(EffectiveClip(*context));
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return ERROR;
    }
    const QRegion base = context->hasClip ? context->clip : QRegion(TargetBounds(*context));
    context->clip = base & QRegion(FromCorners(left, top, right, bottom));
    context->hasClip = true;
    return Complexity(EffectiveClip(*context));
}

int GetClipBox(HDC dc, RECT* box) {
    const auto context = FindDC(dc);
    if (context == nullptr || box == nullptr) {
        return ERROR;
    }
    const QRegion clip = EffectiveClip(*context);
    ToRect(clip.boundingRect(), box);
    return Complexity(clip);
}

BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop) {
    const auto to = FindDC(target);
    const auto from = FindDC(source);
    if (rop != SRCCOPY || to == nullptr || from == nullptr) {
        return FALSE;
    }
    if (width <= 0 || height <= 0) {
        return TRUE;
    }
    std::shared_ptr<BitmapObject> keep;
    const QImage* image = SourceImage(*from, keep);
    if (image == nullptr) {
        return FALSE;
    }
    const QRect wanted(sourceX, sourceY, width, height);
    const QRect available = wanted & image->rect();
    if (available.isEmpty()) {
        return TRUE;
    }
    const QImage part = image->copy(available);
    const QPoint at(x + available.left() - sourceX, y + available.top() - sourceY);
    Canvas canvas(*to);
    if (!canvas.Valid()) {
        return to->target != DeviceContext::Target::Screen ? TRUE : FALSE;
    }
    canvas.Painter().setCompositionMode(QPainter::CompositionMode_Source);
    canvas.Painter().drawImage(at, part);
    canvas.Touched(QRect(at, part.size()));
    return TRUE;
}

BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop) {
    const auto to = FindDC(target);
    const auto from = FindDC(source);
    if (rop != SRCCOPY || to == nullptr || from == nullptr) {
        return FALSE;
    }
    if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) {
        return TRUE;
    }
    std::shared_ptr<BitmapObject> keep;
    const QImage* image = SourceImage(*from, keep);
    if (image == nullptr) {
        return FALSE;
    }
    // A negative extent runs back from the origin, which stays included: (origin + extent, origin].
    const auto start = [](int origin, int extent) { return extent < 0 ? origin + extent + 1 : origin; };
    const QRect sourceRect(start(sourceX, sourceWidth), start(sourceY, sourceHeight), std::abs(sourceWidth),
                           std::abs(sourceHeight));
    const QRect targetRect(start(x, width), start(y, height), std::abs(width), std::abs(height));
    QImage part = image->copy(sourceRect);
    const bool mirrorX = (width < 0) != (sourceWidth < 0);
    const bool mirrorY = (height < 0) != (sourceHeight < 0);
    if (mirrorX || mirrorY) {
        part = part.mirrored(mirrorX, mirrorY);
    }
    const Qt::TransformationMode mode =
        to->stretchMode == HALFTONE ? Qt::SmoothTransformation : Qt::FastTransformation;
    part = part.scaled(targetRect.size(), Qt::IgnoreAspectRatio, mode);
    Canvas canvas(*to);
    if (!canvas.Valid()) {
        return to->target != DeviceContext::Target::Screen ? TRUE : FALSE;
    }
    canvas.Painter().setCompositionMode(QPainter::CompositionMode_Source);
    canvas.Painter().drawImage(targetRect.topLeft(), part);
    canvas.Touched(targetRect);
    return TRUE;
}

BOOL TransparentBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, UINT keyColor) {
    const auto to = FindDC(target);
    const auto from = FindDC(source);
    if (to == nullptr || from == nullptr || width <= 0 || height <= 0 || sourceWidth <= 0 ||
        sourceHeight <= 0) {
        return FALSE;
    }
    std::shared_ptr<BitmapObject> keep;
    const QImage* image = SourceImage(*from, keep);
    const QRect sourceRect(sourceX, sourceY, sourceWidth, sourceHeight);
    if (image == nullptr || !image->rect().contains(sourceRect)) {
        return FALSE;
    }
    QImage part = image->copy(sourceRect).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(GetRValue(keyColor), GetGValue(keyColor), GetBValue(keyColor)) & 0xFFFFFF;
    for (int row = 0; row < part.height(); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(part.scanLine(row));
        for (int column = 0; column < part.width(); ++column) {
            pixels[column] = (pixels[column] & 0xFFFFFF) == key ? 0 : (pixels[column] | 0xFF000000u);
        }
    }
    if (part.size() != QSize(width, height)) {
        part = part.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    Canvas canvas(*to);
    if (!canvas.Valid()) {
        return to->target != DeviceContext::Target::Screen ? TRUE : FALSE;
    }
    canvas.Painter().setCompositionMode(QPainter::CompositionMode_SourceOver);
    canvas.Painter().drawImage(QPoint(x, y), part);
    canvas.Touched(QRect(x, y, width, height));
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    const auto context = FindDC(dc);
    QColor color;
    if (context == nullptr || rect == nullptr || !BrushColor(brush, &color)) {
        return 0;
    }
    const QRect area = FromRect(*rect);
    if (area.isEmpty()) {
        return 1;
    }
    Canvas canvas(*context);
    if (canvas.Valid()) {
        canvas.Painter().setCompositionMode(QPainter::CompositionMode_Source);
        canvas.Painter().fillRect(area, color);
        canvas.Touched(area);
    }
    return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return FALSE;
    }
    const QRect area = FromCorners(left, top, right, bottom);
    if (area.isEmpty()) {
        return TRUE;
    }
    QColor fill;
    const bool filled = BrushColor(context->brush, &fill);
    const auto pen = Find<PenObject>(context->pen, GdiKind::Pen);
    const bool outlined = pen != nullptr && pen->style != PS_NULL;
    Canvas canvas(*context);
    if (!canvas.Valid()) {
        return TRUE;
    }
    QPainter& painter = canvas.Painter();
    if (filled) {
        const QRect inside = outlined ? area.adjusted(1, 1, -1, -1) : area.adjusted(0, 0, -1, -1);
        painter.fillRect(inside, fill);
    }
    if (outlined) {
        ApplyMix(painter, context->mixMode);
        painter.setPen(PenFor(*pen));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
    canvas.Touched(area);
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return FALSE;
    }
    if (previous != nullptr) {
        previous->x = context->position.x();
        previous->y = context->position.y();
    }
    context->position = QPoint(x, y);
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return FALSE;
    }
    const QPoint from = context->position;
    const QPoint to(x, y);
    context->position = to;
    const auto pen = Find<PenObject>(context->pen, GdiKind::Pen);
    if (pen == nullptr || pen->style == PS_NULL) {
        return TRUE;
    }
    Canvas canvas(*context);
    if (canvas.Valid()) {
        ApplyMix(canvas.Painter(), context->mixMode);
        canvas.Painter().setPen(PenFor(*pen));
        canvas.Painter().drawLine(from, to);
        const int margin = std::max(1, pen->width);
        canvas.Touched(QRect(from, to).normalized().adjusted(-margin, -margin, margin, margin));
    }
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    const auto context = FindDC(dc);
    if (context == nullptr || points == nullptr || count < 2) {
        return FALSE;
    }
    const auto pen = Find<PenObject>(context->pen, GdiKind::Pen);
    if (pen == nullptr || pen->style == PS_NULL) {
        return TRUE;
    }
    QPolygon polygon(count);
    for (int i = 0; i < count; ++i) {
        polygon.setPoint(i, points[i].x, points[i].y);
    }
    Canvas canvas(*context);
    if (canvas.Valid()) {
        ApplyMix(canvas.Painter(), context->mixMode);
        canvas.Painter().setPen(PenFor(*pen));
        canvas.Painter().drawPolyline(polygon);
        const int margin = std::max(1, pen->width);
        canvas.Touched(polygon.boundingRect().adjusted(-margin, -margin, margin, margin));
    }
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    Canvas canvas(*context);
    if (!canvas.Valid() || !canvas.Clip().contains(QPoint(x, y))) {
        return CLR_INVALID;
    }
    canvas.Painter().setCompositionMode(QPainter::CompositionMode_Source);
    canvas.Painter().fillRect(QRect(x, y, 1, 1), ColorOf(color));
    canvas.Touched(QRect(x, y, 1, 1));
    return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    const auto context = FindDC(dc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    std::shared_ptr<BitmapObject> keep;
    const QImage* image = SourceImage(*context, keep);
    if (image == nullptr || !image->rect().contains(x, y) ||
        !EffectiveClip(*context).contains(QPoint(x, y))) {
        return CLR_INVALID;
    }
    return ColorRefOf(image->pixel(x, y));
}

int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
    const auto context = FindDC(dc);
    if (context == nullptr || text == nullptr || rect == nullptr) {
        return 0;
    }
    QString content = TextOf(text, count);
    if ((format & DT_NOPREFIX) == 0) {
        content = WithoutPrefixes(content);
    }
    const QFont font = FontOf(context->font);
    const QFontMetrics metrics(font);
    const int width = rect->right - rect->left;
    std::vector<QString> lines = LayoutLines(content, font, width, format);
    int widest = 0;
    for (QString& line : lines) {
        if ((format & DT_END_ELLIPSIS) != 0 && (format & DT_CALCRECT) == 0) {
            line = Elided(line, metrics, width);
        }
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const int lineHeight = metrics.height();
    const int textHeight = lineHeight * static_cast<int>(lines.size());
    if ((format & DT_CALCRECT) != 0) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }
    int top = rect->top;
    const bool single = (format & DT_SINGLELINE) != 0;
    if (single && (format & DT_VCENTER) != 0) {
        top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    } else if (single && (format & DT_BOTTOM) != 0) {
        top = rect->bottom - lineHeight;
    }
    Canvas canvas(*context);
    if (canvas.Valid()) {
        QPainter& painter = canvas.Painter();
        if ((format & DT_NOCLIP) == 0) {
            painter.setClipRect(FromRect(*rect), Qt::IntersectClip);
        }
        painter.setFont(font);
        painter.setPen(ColorOf(context->textColor));
        int y = top;
        for (const QString& line : lines) {
            const int lineWidth = metrics.horizontalAdvance(line);
            int x = rect->left;
            if ((format & DT_CENTER) != 0) {
                x = rect->left + (width - lineWidth) / 2;
            } else if ((format & DT_RIGHT) != 0) {
                x = rect->right - lineWidth;
            }
            const QRect box(x, y, lineWidth, lineHeight);
            if (context->backgroundMode == OPAQUE) {
                painter.fillRect(box, ColorOf(context->backgroundColor));
            }
            painter.drawText(QPoint(x, y + metrics.ascent()), line);
            canvas.Touched(box);
            y += lineHeight;
        }
    }
    return single && (format & (DT_VCENTER | DT_BOTTOM)) != 0 ? top - rect->top + textHeight : textHeight;
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    const auto context = FindDC(dc);
    if (context == nullptr || text == nullptr) {
        return FALSE;
    }
    const QString content = TextOf(text, count);
    const QFont font = FontOf(context->font);
    const QFontMetrics metrics(font);
    Canvas canvas(*context);
    if (canvas.Valid()) {
        QPainter& painter = canvas.Painter();
        const QRect box(x, y, metrics.horizontalAdvance(content), metrics.height());
        if (context->backgroundMode == OPAQUE) {
            painter.fillRect(box, ColorOf(context->backgroundColor));
        }
        painter.setFont(font);
        painter.setPen(ColorOf(context->textColor));
        painter.drawText(QPoint(x, y + metrics.ascent()), content);
        canvas.Touched(box);
    }
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size) {
    const auto context = FindDC(dc);
    if (context == nullptr || text == nullptr || size == nullptr) {
        return FALSE;
    }
    const QFontMetrics metrics(FontOf(context->font));
    size->cx = metrics.horizontalAdvance(TextOf(text, count));
    size->cy = metrics.height();
    return TRUE;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* textMetrics) {
    const auto context = FindDC(dc);
    if (context == nullptr || textMetrics == nullptr) {
        return FALSE;
    }
    const QFont font = FontOf(context->font);
    const QFontMetrics metrics(font);
    *textMetrics = TEXTMETRICW();
    textMetrics->tmHeight = metrics.height();
    textMetrics->tmAscent = metrics.ascent();
    textMetrics->tmDescent = metrics.descent();
    textMetrics->tmInternalLeading = std::max(0, metrics.height() - font.pixelSize());
    textMetrics->tmExternalLeading = std::max(0, metrics.leading());
    textMetrics->tmAveCharWidth = metrics.averageCharWidth();
    textMetrics->tmMaxCharWidth = metrics.maxWidth();
    textMetrics->tmWeight = font.weight();
    return TRUE;
}

// The class library's DC object

class CDCAccess {
  public:
    static void MakeTemporary(CDC& dc) { dc.m_temporary = true; }
};

CDC::~CDC() {
    if (m_hDC != nullptr && !m_temporary) {
        ::DeleteDC(m_hDC);
    }
}

CDC* CDC::FromHandle(HDC dc) {
    if (FindDC(dc) == nullptr) {
        return nullptr;
    }
    Temporaries& temporaries = TemporaryDCs();
    std::lock_guard<std::mutex> lock(temporaries.mutex);
    std::unique_ptr<CDC>& object = temporaries.objects[dc];
    if (!object) {
        object = std::make_unique<CDC>();
        CDCAccess::MakeTemporary(*object);
        object->m_hDC = dc;
    }
    return object.get();
}

BOOL CDC::CreateCompatibleDC(CDC* reference) {
    if (m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = ::CreateCompatibleDC(reference != nullptr ? reference->m_hDC : nullptr);
    return m_hDC != nullptr ? TRUE : FALSE;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    m_wrappers.clear();
    return ::DeleteDC(Detach());
}

BOOL CDC::Attach(HDC dc) {
    if (m_hDC != nullptr || dc == nullptr) {
        return FALSE;
    }
    m_hDC = dc;
    return TRUE;
}

HDC CDC::Detach() {
    const HDC dc = m_hDC;
    m_hDC = nullptr;
    return dc;
}

template <typename T> T* CDC::Wrap(HGDIOBJ object) {
    if (object == nullptr) {
        return nullptr;
    }
    for (const std::unique_ptr<CGdiObject>& wrapper : m_wrappers) {
        if (wrapper->m_hObject == object) {
            if (auto* typed = dynamic_cast<T*>(wrapper.get())) {
                return typed;
            }
        }
    }
    auto wrapper = std::make_unique<T>();
    wrapper->m_hObject = object;
    wrapper->m_temporary = true;
    T* result = wrapper.get();
    m_wrappers.push_back(std::move(wrapper));
    return result;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return Wrap<CBitmap>(::SelectObject(m_hDC, bitmap != nullptr ? bitmap->m_hObject : nullptr));
}

CFont* CDC::SelectObject(CFont* font) {
    return Wrap<CFont>(::SelectObject(m_hDC, font != nullptr ? font->m_hObject : nullptr));
}

CPen* CDC::SelectObject(CPen* pen) {
    return Wrap<CPen>(::SelectObject(m_hDC, pen != nullptr ? pen->m_hObject : nullptr));
}

CBrush* CDC::SelectObject(CBrush* brush) {
    return Wrap<CBrush>(::SelectObject(m_hDC, brush != nullptr ? brush->m_hObject : nullptr));
}

int CDC::SelectObject(CRgn* region) {
    return ::SelectClipRgn(m_hDC, region != nullptr ? static_cast<HRGN>(region->m_hObject) : nullptr);
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    return ::SelectObject(m_hDC, object);
}

CGdiObject* CDC::SelectStockObject(int index) {
    HGDIOBJ previous = ::SelectObject(m_hDC, GetStockObject(index));
    const std::shared_ptr<GdiObject> found = FindObject(previous);
    if (found == nullptr) {
        return nullptr;
    }
    switch (found->kind) {
    case GdiKind::Pen:
        return Wrap<CPen>(previous);
    case GdiKind::Brush:
        return Wrap<CBrush>(previous);
    case GdiKind::Font:
        return Wrap<CFont>(previous);
    default:
        return Wrap<CGdiObject>(previous);
    }
}

int CDC::SelectClipRgn(CRgn* region) {
    return ::SelectClipRgn(m_hDC, region != nullptr ? static_cast<HRGN>(region->m_hObject) : nullptr);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source != nullptr ? source->m_hDC : nullptr, sourceX, sourceY,
                    rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, width, height, source != nullptr ? source->m_hDC : nullptr, sourceX,
                        sourceY, sourceWidth, sourceHeight, rop);
}

BOOL CDC::TransparentBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY,
                         int sourceWidth, int sourceHeight, UINT keyColor) {
    return ::TransparentBlt(m_hDC, x, y, width, height, source != nullptr ? source->m_hDC : nullptr, sourceX,
                            sourceY, sourceWidth, sourceHeight, keyColor);
}

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
    ::FillRect(m_hDC, rect, brush != nullptr ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    SetBkColor(color);
    const QRect area = FromRect(*rect);
    const auto context = FindDC(m_hDC);
    if (context == nullptr || area.isEmpty()) {
        return;
    }
    Canvas canvas(*context);
    if (canvas.Valid()) {
        canvas.Painter().setCompositionMode(QPainter::CompositionMode_Source);
        canvas.Painter().fillRect(area, ColorOf(color));
        canvas.Touched(area);
    }
}

void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF color) {
    const CRect rect(x, y, x + width, y + height);
    FillSolidRect(&rect, color);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT previous;
    ::MoveToEx(m_hDC, x, y, &previous);
    return CPoint(previous);
}

CSize CDC::GetTextExtent(LPCWSTR text, int count) const {
    SIZE size;
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return CSize(size);
}

CPaintDC::CPaintDC(CWnd* window) : m_window(window != nullptr ? window->m_hWnd : nullptr) {
    m_hDC = ::BeginPaint(m_window, &m_ps);
}

CPaintDC::~CPaintDC() {
    m_wrappers.clear();
    if (m_hDC != nullptr) {
        ::EndPaint(m_window, &m_ps);
        m_hDC = nullptr;
    }
}

CClientDC::CClientDC(CWnd* window) : m_window(window != nullptr ? window->m_hWnd : nullptr) {
    m_hDC = ::GetDC(m_window);
}

CClientDC::~CClientDC() {
    m_wrappers.clear();
    if (m_hDC != nullptr) {
        ::ReleaseDC(m_window, m_hDC);
        m_hDC = nullptr;
    }
}
