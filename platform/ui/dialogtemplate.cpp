#include "platform/ui/dialogtemplate.h"

#include "platform/base/trace.h"
#include "platform/ui/dc.h"
#include "platform/ui/font.h"
#include "platform/ui/guithread.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"

#include <QString>

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace {

constexpr SIZE ShellDialogUnits{6, 13};
constexpr SIZE SystemFontUnits{8, 16};
constexpr WORD ShellDialogPoints = 8;
constexpr int LogicalDpi = 96;

struct TemplateTable {
    std::mutex mutex;
    std::map<UINT, std::unique_ptr<const DialogTemplate>> templates;
};

TemplateTable& Templates() {
    static TemplateTable table;
    return table;
}

// value * numerator / denominator, rounded half away from zero as the platform rounds.
int Scale(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

bool IsShellDialogFont(const wchar_t* face) {
    const QString name = QString::fromWCharArray(face != nullptr ? face : L"");
    return name.compare(QLatin1String("MS Shell Dlg"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("MS Shell Dlg 2"), Qt::CaseInsensitive) == 0;
}

SIZE MeasuredUnits(const DialogTemplate& dialog) {
    const HFONT font = DialogFont(dialog);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    static const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent;
    TEXTMETRICW metrics;
    const bool measured = GetTextExtentPoint32W(dc, letters, 52, &extent) && GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    if (!measured || extent.cx <= 0 || metrics.tmHeight <= 0) {
        return SystemFontUnits;
    }
    return SIZE{(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

} // namespace

DialogResource::DialogResource(UINT id, DialogTemplate dialog) {
    TemplateTable& table = Templates();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (!table.templates.emplace(id, std::make_unique<const DialogTemplate>(std::move(dialog))).second) {
        TraceLine("dialog resource " + std::to_string(id) + " is defined twice; the first one holds");
    }
}

const DialogTemplate* FindDialogTemplate(UINT id) {
    TemplateTable& table = Templates();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.templates.find(id);
    return found == table.templates.end() ? nullptr : found->second.get();
}

HFONT DialogFont(const DialogTemplate& dialog) {
    static std::mutex mutex;
    static std::map<std::pair<std::wstring, WORD>, HFONT> fonts;
    const std::wstring face = dialog.fontFace != nullptr ? dialog.fontFace : L"";
    std::lock_guard<std::mutex> lock(mutex);
    HFONT& font = fonts[std::make_pair(face, dialog.pointSize)];
    if (font == nullptr) {
        font = CreateFontW(-Scale(dialog.pointSize, LogicalDpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY, 0, face.c_str());
    }
    return font;
}

SIZE DialogBaseUnits(const DialogTemplate& dialog) {
    if ((dialog.style & DS_SETFONT) == 0) {
        return SystemFontUnits;
    }
    if (IsShellDialogFont(dialog.fontFace) && dialog.pointSize == ShellDialogPoints) {
        return ShellDialogUnits;
    }
    return MeasuredUnits(dialog);
}

RECT DialogUnitsToPixels(const DialogTemplate& dialog, short x, short y, short cx, short cy) {
    const SIZE units = DialogBaseUnits(dialog);
    const int left = Scale(x, units.cx, 4);
    const int top = Scale(y, units.cy, 8);
    return RECT{left, top, left + Scale(cx, units.cx, 4), top + Scale(cy, units.cy, 8)};
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    if (!uiimpl::OnGuiThread()) {
        BOOL mapped = FALSE;
        RunOnGuiThread([&mapped, dialog, rect] { mapped = MapDialogRect(dialog, rect); }, true);
        return mapped;
    }
    const uiimpl::Window* window = uiimpl::Lookup(dialog);
    if (window == nullptr || rect == nullptr || window->dialogBaseUnits.cx <= 0) {
        return FALSE;
    }
    const SIZE units = window->dialogBaseUnits;
    rect->left = Scale(rect->left, units.cx, 4);
    rect->right = Scale(rect->right, units.cx, 4);
    rect->top = Scale(rect->top, units.cy, 8);
    rect->bottom = Scale(rect->bottom, units.cy, 8);
    return TRUE;
}
