#include "platform/ui/font.h"

#include "platform/ui/gdiimpl.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>

using namespace uiimpl;

namespace {

constexpr int LogicalDpi = 96;
constexpr int DefaultPixelSize = 12;

// Faces of the platform's own dialogs stand for the desktop's sans-serif face.
QString FamilyFor(const LOGFONTW& logFont) {
    const QString face = QString::fromWCharArray(logFont.lfFaceName,
                                                 static_cast<int>(wcsnlen(logFont.lfFaceName, LF_FACESIZE)));
    if (face.isEmpty() || face.compare(QLatin1String("MS Shell Dlg"), Qt::CaseInsensitive) == 0 ||
        face.compare(QLatin1String("MS Shell Dlg 2"), Qt::CaseInsensitive) == 0 ||
        face.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Sans Serif");
    }
    return face;
}

} // namespace

namespace uiimpl {

QFont FontFromLogFont(const LOGFONTW& logFont) {
    QFont font(FamilyFor(logFont));
    font.setStyleHint(QFont::SansSerif);
    int pixels = DefaultPixelSize;
    if (logFont.lfHeight < 0) {
        pixels = -logFont.lfHeight;
    } else if (logFont.lfHeight > 0) {
        // A cell height: find the character height whose ascent and descent fill it.
        QFont probe = font;
        probe.setPixelSize(100);
        const qreal cell = QFontMetricsF(probe).height();
        pixels = cell > 0 ? static_cast<int>(std::lround(logFont.lfHeight * 100.0 / cell)) : logFont.lfHeight;
    }
    font.setPixelSize(std::max(1, pixels));
    const int weight = logFont.lfWeight == FW_DONTCARE ? FW_NORMAL : static_cast<int>(logFont.lfWeight);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);
    if (logFont.lfQuality == NONANTIALIASED_QUALITY) {
        font.setStyleStrategy(QFont::NoAntialias);
    }
    return font;
}

QFont FontOf(HFONT font) {
    std::shared_ptr<FontObject> found = Find<FontObject>(font, GdiKind::Font);
    if (found == nullptr) {
        found = Find<FontObject>(GetStockObject(DEFAULT_GUI_FONT), GdiKind::Font);
    }
    return found != nullptr ? found->font : QFont();
}

} // namespace uiimpl

HFONT CreateFontIndirectW(const LOGFONTW* logFont) {
    if (logFont == nullptr) {
        return nullptr;
    }
    auto font = std::make_shared<FontObject>();
    font->logFont = *logFont;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = L'\0';
    font->font = FontFromLogFont(font->logFont);
    return static_cast<HFONT>(AddObject(font));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outputPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCWSTR faceName) {
    LOGFONTW logFont;
    logFont.lfHeight = height;
    logFont.lfWidth = width;
    logFont.lfEscapement = escapement;
    logFont.lfOrientation = orientation;
    logFont.lfWeight = weight;
    logFont.lfItalic = static_cast<BYTE>(italic);
    logFont.lfUnderline = static_cast<BYTE>(underline);
    logFont.lfStrikeOut = static_cast<BYTE>(strikeOut);
    logFont.lfCharSet = static_cast<BYTE>(charSet);
    logFont.lfOutPrecision = static_cast<BYTE>(outputPrecision);
    logFont.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    logFont.lfQuality = static_cast<BYTE>(quality);
    logFont.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName != nullptr) {
        std::wcsncpy(logFont.lfFaceName, faceName, LF_FACESIZE - 1);
    }
    return CreateFontIndirectW(&logFont);
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont) {
    return Attach(CreateFontIndirectW(logFont));
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outputPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, LPCWSTR faceName) {
    return Attach(CreateFontW(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                              charSet, outputPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}

BOOL CFont::CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc) {
    LOGFONTW logFont;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = pointSize;
    if (faceName != nullptr) {
        std::wcsncpy(logFont.lfFaceName, faceName, LF_FACESIZE - 1);
    }
    return CreatePointFontIndirect(&logFont, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* logFont, CDC*) {
    if (logFont == nullptr) {
        return FALSE;
    }
    LOGFONTW pixels = *logFont;
    // Tenths of a point to pixels, truncated as the class library does.
    const LONG height = LogicalDpi * logFont->lfHeight / 720;
    pixels.lfHeight = -(height < 0 ? -height : height);
    return CreateFontIndirect(&pixels);
}
