// Draws every component of a skin archive with the control that shows it in the program and
// writes each picture to <folder>/<id>_<type>.png. Usage: trevo_skingallery ResStorage.dat folder

#include "platform/base/unicode.h"
#include "platform/ui/app.h"
#include "platform/ui/cursor.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/window.h"
#include "platform/ui/windowsnapshot.h"
#include "skintable.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/resstorage.h"
#include "viewer/skin/skincombobox.h"
#include "viewer/skin/skinlistctrl.h"
#include "viewer/skin/sliderctrlex.h"
#include "viewer/skin/staticex.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

LPCWSTR StageClass() {
    static const LPCWSTR name = L"TrevoSkinGalleryStage";
    WNDCLASSW windowClass;
    if (!GetClassInfoW(nullptr, name, &windowClass)) {
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = CreateSolidBrush(RGB(40, 40, 40));
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
    }
    return name;
}

// A top-level window a little larger than the component, on which its control is placed.
class Stage : public CWnd {
  public:
    bool Open(int width, int height) {
        return CreateEx(0, StageClass(), L"gallery", WS_POPUP | WS_VISIBLE, 0, 0, width + 8, height + 8,
                        nullptr, nullptr) != FALSE;
    }
};

std::wstring FileName(const std::wstring& folder, const SkinComponent& component) {
    char name[64];
    std::snprintf(name, sizeof(name), "/%08x_%s.png", component.id, component.type.c_str());
    return folder + WideFromUtf8(name);
}

bool Draw(ResStorage& store, const SkinComponent& component, const std::wstring& path) {
    const auto id = static_cast<eComponentID>(component.id);
    const ComponentImages images = store.GetComponentInfo(id);
    const CRect rect(4, 4, 4 + std::max(component.width, 1), 4 + std::max(component.height, 1));
    Stage stage;
    if (!stage.Open(rect.Width(), rect.Height())) {
        return false;
    }
    std::unique_ptr<CWnd> control;
    if (component.type == "button") {
        auto button = std::make_unique<CButtonEx>();
        button->SetImages(images[0], images[1], images[2], images[3], images[4], 0, CRect());
        button->ModifyOptions(CBaseWnd::OPTION_TRANSPARENT, CButtonEx::OPTION_MASK_REGION);
        button->Create(&stage, rect, 1, WS_CHILD | WS_VISIBLE);
        control = std::move(button);
    } else if (component.type == "slider") {
        auto slider = std::make_unique<CSliderCtrlEx>();
        slider->SetBitmaps(images[0], images[1], images[2], images[3], images[4]);
        slider->Create(&stage, rect, 1, WS_CHILD | WS_VISIBLE);
        slider->SetPos(40);
        control = std::move(slider);
    } else if (component.type == "static" || component.type == "dummy") {
        auto label = std::make_unique<CStaticEx>();
        if (images[1] != nullptr || images[2] != nullptr) {
            label->ModifyOptions(0, CStaticEx::OPTION_THREE_PIECES);
        }
        label->SetBitmaps(images[0], images[1], images[2]);
        label->Create(&stage, rect, 1, WS_CHILD | WS_VISIBLE);
        control = std::move(label);
    } else if (component.type == "list") {
        auto list = std::make_unique<CSkinListCtrl>();
        list->Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, rect, &stage, 1);
        list->InsertColumn(0, L"Recording", LVCFMT_LEFT, rect.Width() - 20);
        for (int i = 0; i < 12; ++i) {
            list->InsertItem(i, (L"REC_2026_12_10_" + std::to_wstring(10 + i) + L".mp4").c_str());
        }
        static const int playingRow = 2;
        list->InitSkinScrollBars(&playingRow);
        list->SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
        list->SetBitmaps(images.images);
        control = std::move(list);
    } else if (component.type == "combobox") {
        auto combo = std::make_unique<CSkinComboBox>();
        combo->Create(WS_CHILD | WS_VISIBLE, CRect(rect.left, rect.top, rect.right, rect.bottom + 100),
                      &stage, 1);
        combo->SetBitmaps(images.images);
        combo->SetHighlightColors(store.GetComboHighlightColor(id, 1), store.GetComboHighlightColor(id, 0));
        combo->SetNormalColors(store.GetComboNormalColor(id, 1), store.GetComboNormalColor(id, 0));
        combo->AddString(L"UTC+09:00 Seoul");
        combo->SetCurSel(0);
        control = std::move(combo);
    } else {
        return true;
    }
    return SaveWindowPicture(stage.m_hWnd, path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ResStorage.dat folder\n", argv[0]);
        return 2;
    }
    CWinApp application(L"TREVO_SKINGALLERY");
    ResStorage store;
    if (store.LoadSkin(WideFromUtf8(argv[1]), nullptr) == 0) {
        std::fprintf(stderr, "%s: the skin archive does not load\n", argv[1]);
        return 1;
    }
    const std::wstring folder = WideFromUtf8(argv[2]);
    int failures = 0;
    for (const SkinComponent& component : SkinComponents()) {
        if (!Draw(store, component, FileName(folder, component))) {
            std::fprintf(stderr, "component %08x (%s) was not drawn\n", component.id, component.type.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
