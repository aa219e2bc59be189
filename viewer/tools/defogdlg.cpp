#include "viewer/tools/defogdlg.h"

#include "platform/base/resourcemodule.h"
#include "platform/ui/dc.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/filedialog.h"
#include "platform/ui/image.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/resources.h"
#include "platform/ui/static.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/skin/mymemdc.h"
#include "viewer/skin/resstorage.h"
#include "viewer/tools/defogpicture.h"
#include "viewer/ui/imagesavename.h"
#include "viewer/ui/printbitmap.h"

namespace {

constexpr DWORD kButtonStyle = 0x56010000; // child, visible, clip siblings and children, tab stop
constexpr DWORD kLabelStyle = 0x56000000;  // the same without tab stop
constexpr DWORD kSliderStyle = 0x50000000; // child, visible
constexpr COLORREF kImageKey = RGB(255, 0, 255);
constexpr COLORREF kValueColor = 0x30BBF2;
constexpr int kValuePointSize = 100;
// An edge set that names no edge: dragging the piece moves the window.
constexpr DWORD kMoveOnlyEdges = 0x100000;
constexpr UINT kToolTipDelay = 200;

constexpr UINT kStringZoomIn = 194;
constexpr UINT kStringZoomOut = 195;
constexpr UINT kStringFit = 196;
constexpr UINT kStringClose = 198;
constexpr UINT kStringSave = 199;
constexpr UINT kStringPrint = 200;
constexpr UINT kStringFileExists = 205;

constexpr DWORD kAreaStyle = WS_VISIBLE | SS_GRAYFRAME;

const DialogResource kTemplate(DefogDlg::IDD,
                               DialogTemplate{WS_POPUP | WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_FIXEDSYS,
                                              0,
                                              0,
                                              0,
                                              585,
                                              418,
                                              L"",
                                              L"MS Shell Dlg",
                                              8,
                                              {
                                                  {L"Static", L"", kAreaStyle, 0, 18, 30, 266, 135, 1024},
                                                  {L"Static", L"", kAreaStyle, 0, 292, 30, 266, 135, 1025},
                                                  {L"Static", L"", kAreaStyle, 0, 18, 201, 266, 135, 32820},
                                                  {L"Static", L"", kAreaStyle, 0, 292, 201, 266, 135, 32821},
                                              }});

constexpr std::array<eComponentID, 4> kAreaComponents = {CID_DEFOG_PICTURE_1, CID_DEFOG_PICTURE_2,
                                                         CID_DEFOG_PICTURE_3, CID_DEFOG_PICTURE_4};
constexpr std::array<std::array<eComponentID, 3>, 4> kChannelButtonComponents = {{
    {CID_DEFOG_ZOOM_IN_1, CID_DEFOG_ZOOM_OUT_1, CID_DEFOG_FIT_1},
    {CID_DEFOG_ZOOM_IN_2, CID_DEFOG_ZOOM_OUT_2, CID_DEFOG_FIT_2},
    {CID_DEFOG_ZOOM_IN_3, CID_DEFOG_ZOOM_OUT_3, CID_DEFOG_FIT_3},
    {CID_DEFOG_ZOOM_IN_4, CID_DEFOG_ZOOM_OUT_4, CID_DEFOG_FIT_4},
}};
constexpr std::array<eComponentID, 4> kSliderComponents = {CID_DEFOG_STRENGTH_1, CID_DEFOG_STRENGTH_2,
                                                           CID_DEFOG_STRENGTH_3, CID_DEFOG_STRENGTH_4};
constexpr std::array<eComponentID, 4> kLabelComponents = {CID_DEFOG_VALUE_1, CID_DEFOG_VALUE_2,
                                                          CID_DEFOG_VALUE_3, CID_DEFOG_VALUE_4};
constexpr std::array<eComponentID, 4> kCaptionComponents = {CID_DEFOG_CAPTION_1, CID_DEFOG_CAPTION_2,
                                                            CID_DEFOG_CAPTION_3, CID_DEFOG_CAPTION_4};
constexpr std::array<eComponentID, 4> kEmptyCaptionComponents = {
    CID_DEFOG_CAPTION_EMPTY_1, CID_DEFOG_CAPTION_EMPTY_2, CID_DEFOG_CAPTION_EMPTY_3,
    CID_DEFOG_CAPTION_EMPTY_4};
constexpr std::array<UINT, 4> kCaptionIds = {32788, 32789, 32790, 32791};
constexpr UINT kPanelId = 32813;
constexpr size_t kPanel = 2;

} // namespace

DefogDlg::DefogDlg() : CDialog(IDD, nullptr) {}

DefogDlg::~DefogDlg() {
    // The controls go with the window, before the objects they are drawn by.
    DestroyWindow();
}

CWnd* DefogDlg::GetPictureArea(int channel) const {
    return m_hWnd != nullptr ? GetDlgItem(static_cast<int>(kPictureAreas[static_cast<size_t>(channel)]))
                             : nullptr;
}

std::wstring DefogDlg::LoadText(UINT id) const {
    return LoadStringLang(g_hResourceDll, id, m_languageId);
}

BOOL DefogDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        FitChannel(channel);
    }
    CreateControls();
    return TRUE;
}

void DefogDlg::CreateButton(CButtonEx& button, eComponentID component, UINT id) {
    button.Create(this, m_store->GetComponentRect(component, CRect()), id, kButtonStyle);
    button.ModifyOptions(0, CButtonEx::OPTION_MASK_REGION | CBaseWnd::OPTION_HOVER);
    const ComponentImages images = m_store->GetComponentInfo(component);
    button.SetImages(images[0], images[1], images[2], images[3], images[4], kImageKey, CRect());
    button.SetNotifyWnd(m_hWnd);
}

void DefogDlg::CreateFramePiece(CStaticEx& piece, eComponentID component, UINT id, bool movesWindow) {
    piece.Create(this, m_store->GetComponentRect(component, CRect()), id, kLabelStyle);
    // The buttons, made before it, lie on top of it.
    piece.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    piece.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    piece.SetBitmaps(m_store->GetComponentInfo(component)[0]);
    if (movesWindow) {
        piece.SetSizingEdges(kMoveOnlyEdges, m_hWnd);
    }
}

void DefogDlg::CreateControls() {
    if (m_store == nullptr || m_hWnd == nullptr) {
        return;
    }
    const CRect window = m_store->GetComponentRect(CID_DEFOG_WINDOW, CRect());
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height(), SWP_NOMOVE | SWP_NOZORDER);

    CreateButton(m_saveButton, CID_DEFOG_SAVE, ID_SAVE);
    CreateButton(m_printButton, CID_DEFOG_PRINT, ID_PRINT);
    CreateButton(m_closeButton, CID_DEFOG_CLOSE, ID_CLOSE);
    for (size_t channel = 0; channel < kChannelCount; ++channel) {
        for (size_t button = 0; button < 3; ++button) {
            CreateButton(m_channelButtons[channel][button], kChannelButtonComponents[channel][button],
                         kChannelCommands[channel][button]);
        }
    }
    CreateFramePiece(m_frame[0], CID_DEFOG_FRAME_1, 32811, true);
    CreateFramePiece(m_frame[1], CID_DEFOG_FRAME_2, 32812, true);
    CreateFramePiece(m_frame[kPanel], CID_DEFOG_PANEL, kPanelId, false);
    CreateFramePiece(m_frame[3], CID_DEFOG_FRAME_3, 32814, true);
    CreateFramePiece(m_frame[4], CID_DEFOG_FRAME_4, 32815, true);

    CStaticEx& panel = m_frame[kPanel];
    const CRect panelRect = m_store->GetComponentRect(CID_DEFOG_PANEL, CRect());
    const ComponentImages sliderImages = m_store->GetComponentInfo(CID_DEFOG_STRENGTH_1);
    const ComponentImages labelImages = m_store->GetComponentInfo(CID_DEFOG_VALUE_1);
    for (size_t channel = 0; channel < kChannelCount; ++channel) {
        CSliderCtrlEx& slider = m_sliders[channel];
        slider.Create(&panel, m_store->GetComponentRect(kSliderComponents[channel], panelRect),
                      kSliderIds[channel], kSliderStyle);
        slider.ModifyOptions(0, CBaseWnd::OPTION_TRANSPARENT | CBaseWnd::OPTION_BACK_BUFFER);
        slider.SetBitmaps(sliderImages[0], sliderImages[1], sliderImages[2], sliderImages[3],
                          sliderImages[4]);
        slider.SetBackgroundWnd(panel.m_hWnd);
        slider.SetRange(0, DefogState::kMaxStrength, FALSE);
        slider.SetMargins(CRect(), CRect());
        slider.SetPos(0);
        slider.SetNotifyWnd(m_hWnd);
        slider.ShowWindow(SW_HIDE);

        CStaticEx& label = m_valueLabels[channel];
        label.Create(&panel, m_store->GetComponentRect(kLabelComponents[channel], panelRect),
                     kLabelIds[channel], kLabelStyle);
        label.ModifyOptions(0, CStaticEx::OPTION_TEXT | CBaseWnd::OPTION_TRANSPARENT);
        label.SetBitmaps(labelImages[0]);
        label.SetTextStyle(kValuePointSize, L"NanumGothic", kValueColor,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        label.SetWindowText(L"0");
        label.ShowWindow(SW_HIDE);
    }
    for (size_t channel = 0; channel < kChannelCount; ++channel) {
        if (CWnd* area = GetPictureArea(static_cast<int>(channel))) {
            const CRect rect = m_store->GetComponentRect(kAreaComponents[channel], CRect());
            area->MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
        }
        CStaticEx& caption = m_captions[channel];
        caption.Create(&panel, m_store->GetComponentRect(kCaptionComponents[channel], panelRect),
                       kCaptionIds[channel], kLabelStyle);
        caption.ModifyOptions(0, CStaticEx::OPTION_TEXT | CBaseWnd::OPTION_TRANSPARENT);
        SetCaptionLook(static_cast<int>(channel), m_state.HasPicture(static_cast<int>(channel)));
    }

    AddTooltip(&m_saveButton, kStringSave);
    AddTooltip(&m_printButton, kStringPrint);
    AddTooltip(&m_closeButton, kStringClose);
    for (auto& buttons : m_channelButtons) {
        AddTooltip(&buttons[0], kStringZoomIn);
        AddTooltip(&buttons[1], kStringZoomOut);
        AddTooltip(&buttons[2], kStringFit);
    }
    m_toolTip.SetDelayTime(kToolTipDelay);
}

void DefogDlg::AddTooltip(CWnd* control, UINT stringId) {
    if (m_toolTip.m_hWnd == nullptr) {
        m_toolTip.Create(this, TTS_ALWAYSTIP);
    }
    m_toolTip.AddTool(control, LoadText(stringId).c_str());
}

void DefogDlg::SetCaptionLook(int channel, bool hasPicture) {
    const auto index = static_cast<size_t>(channel);
    CStaticEx& caption = m_captions[index];
    const int look = hasPicture ? 1 : 0;
    if (m_store == nullptr || caption.m_hWnd == nullptr || m_captionLooks[index] == look) {
        return;
    }
    m_captionLooks[index] = look;
    caption.SetBitmaps(m_store->GetComponentInfo(hasPicture ? kCaptionComponents[index]
                                                            : kEmptyCaptionComponents[index])[0]);
    caption.Invalidate(FALSE);
}

BOOL DefogDlg::PreTranslateMessage(MSG* message) {
    if (m_toolTip.m_hWnd != nullptr) {
        m_toolTip.RelayEvent(message);
    }
    return CDialog::PreTranslateMessage(message);
}

void DefogDlg::SetImages(HBITMAP front, HBITMAP rear, HBITMAP left, HBITMAP right) {
    const std::array<HBITMAP, kChannelCount> handed = {front, rear, left, right};
    std::array<SIZE, kChannelCount> sizes{};
    for (size_t channel = 0; channel < kChannelCount; ++channel) {
        Pictures& pictures = m_pictures[channel];
        pictures.source.DeleteObject();
        pictures.working.DeleteObject();
        if (m_pendingTimers[channel] != 0) {
            KillTimer(m_pendingTimers[channel]);
            m_pendingTimers[channel] = 0;
        }
        if (handed[channel] == nullptr) {
            continue;
        }
        pictures.source.Attach(handed[channel]);
        pictures.working.Attach(CopyImage(handed[channel], IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        BITMAP info;
        if (pictures.working.m_hObject != nullptr && pictures.working.GetBitmap(&info) != 0) {
            sizes[channel] = SIZE{info.bmWidth, info.bmHeight};
        }
    }
    m_state.SetPictures(sizes);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (m_sliders[static_cast<size_t>(channel)].m_hWnd != nullptr) {
            m_sliders[static_cast<size_t>(channel)].SetPos(0);
        }
        ShowLabel(channel);
        FitChannel(channel);
    }
}

void DefogDlg::ShowLabel(int channel) {
    CStaticEx& label = m_valueLabels[static_cast<size_t>(channel)];
    if (label.m_hWnd != nullptr) {
        label.SetWindowText(m_state.LabelText(channel).c_str());
        label.Invalidate(FALSE);
    }
}

void DefogDlg::FitChannel(int channel) {
    CWnd* area = GetPictureArea(channel);
    if (area == nullptr || !m_state.HasPicture(channel)) {
        return;
    }
    CRect client;
    area->GetClientRect(&client);
    m_state.Fit(channel, client.Width(), client.Height());
    Invalidate(FALSE);
    ShowLabel(channel);
}

void DefogDlg::ZoomIn(int channel) {
    if (m_state.ZoomIn(channel)) {
        Invalidate(FALSE);
    }
}

void DefogDlg::ZoomOut(int channel) {
    if (m_state.ZoomOut(channel)) {
        Invalidate(FALSE);
    }
}

BOOL DefogDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (id < ID_FIRST_COMMAND || id > ID_LAST_COMMAND) {
        return CDialog::OnCommand(wParam, lParam);
    }
    switch (id) {
    case ID_SAVE:
        SaveImage();
        break;
    case ID_PRINT:
        PrintImages();
        break;
    case ID_CLOSE:
        OnOK();
        break;
    default:
        OnChannelCommand(id);
        break;
    }
    return TRUE;
}

void DefogDlg::OnChannelCommand(UINT id) {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const auto& commands = kChannelCommands[static_cast<size_t>(channel)];
        if (id == commands[0]) {
            ZoomIn(channel);
        } else if (id == commands[1]) {
            ZoomOut(channel);
        } else if (id == commands[2]) {
            FitChannel(channel);
        }
    }
}

void DefogDlg::OnHScroll(UINT code, UINT position, CWnd* scrollBar) {
    for (int channel = 0; scrollBar != nullptr && channel < kChannelCount; ++channel) {
        if (scrollBar->m_hWnd != m_sliders[static_cast<size_t>(channel)].m_hWnd) {
            continue;
        }
        if (code == SB_THUMBTRACK) {
            m_state.Track(channel, static_cast<int>(position));
            ShowLabel(channel);
        } else if (code == SB_ENDSCROLL) {
            const DefogState::Release release = m_state.EndScroll(channel, static_cast<int>(position));
            if (release != DefogState::Release::Nothing) {
                ShowLabel(channel);
            }
            if (release == DefogState::Release::Restore) {
                RestoreSource(channel);
            } else if (release == DefogState::Release::Filter) {
                m_pendingTimers[static_cast<size_t>(channel)] = SetTimer(DefogState::FilterTimer(channel), 0);
            }
        }
    }
    CDialog::OnHScroll(code, position, scrollBar);
}

void DefogDlg::RestoreSource(int channel) {
    Pictures& pictures = m_pictures[static_cast<size_t>(channel)];
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(pictures.source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (copy == nullptr) {
        return;
    }
    pictures.working.DeleteObject();
    pictures.working.Attach(copy);
    FitChannel(channel);
}

void DefogDlg::OnTimer(UINT_PTR id) {
    const int channel = DefogState::ChannelOfTimer(id);
    if (channel >= 0) {
        KillTimer(id);
        m_pendingTimers[static_cast<size_t>(channel)] = 0;
        Filter(channel);
    }
    CDialog::OnTimer(id);
}

void DefogDlg::Filter(int channel) {
    Pictures& pictures = m_pictures[static_cast<size_t>(channel)];
    if (!m_state.HasPicture(channel) || m_state.Get(channel).strength == 0) {
        return;
    }
    HBITMAP filtered = DefogPicture::Filter(pictures.source, m_state.Get(channel).strength);
    if (filtered == nullptr) {
        return;
    }
    pictures.working.DeleteObject();
    pictures.working.Attach(filtered);
    Invalidate(FALSE);
}

void DefogDlg::OnPaint() {
    CPaintDC dc(this);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        PaintChannel(channel);
    }
}

void DefogDlg::PaintChannel(int channel) {
    const auto index = static_cast<size_t>(channel);
    CWnd* area = GetPictureArea(channel);
    if (area == nullptr) {
        return;
    }
    CRect client;
    area->GetClientRect(&client);
    const bool hasPicture = m_state.HasPicture(channel);
    {
        CClientDC areaDc(area);
        if (!hasPicture) {
            areaDc.FillSolidRect(&client, RGB(0, 0, 0));
        } else {
            CMyMemDC memory(&areaDc, client);
            memory.SetStretchBltMode(HALFTONE);
            CDC pictureDc;
            pictureDc.CreateCompatibleDC(&memory);
            CBitmap* previous = pictureDc.SelectObject(&m_pictures[index].working);
            const SIZE size = m_state.Get(channel).picture;
            const RECT target = m_state.Destination(channel);
            memory.StretchBlt(target.left, target.top, target.right - target.left, target.bottom - target.top,
                              &pictureDc, 0, 0, size.cx, size.cy, SRCCOPY);
            pictureDc.SelectObject(previous);
        }
    }
    // The area's own paint would clear what was just drawn into it.
    area->ValidateRect(nullptr);
    SetCaptionLook(channel, hasPicture);
    const int show = hasPicture ? SW_SHOW : SW_HIDE;
    for (CWnd* control : {static_cast<CWnd*>(&m_sliders[index]), static_cast<CWnd*>(&m_valueLabels[index])}) {
        if (control->m_hWnd != nullptr && (control->IsWindowVisible() != FALSE) != hasPicture) {
            control->ShowWindow(show);
        }
    }
}

int DefogDlg::HitChannel(CPoint point) const {
    std::array<RECT, kChannelCount> areas{};
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (CWnd* area = GetPictureArea(channel)) {
            area->GetWindowRect(&areas[static_cast<size_t>(channel)]);
        }
    }
    POINT screen = point;
    ClientToScreen(&screen);
    return DefogState::HitChannel(areas, screen);
}

void DefogDlg::OnLButtonDown(UINT flags, CPoint point) {
    if (m_state.BeginDrag(HitChannel(point), point)) {
        SetCapture();
    }
    CDialog::OnLButtonDown(flags, point);
}

void DefogDlg::OnMouseMove(UINT flags, CPoint point) {
    if (m_state.IsDragging() && m_state.DragTo(HitChannel(point), point)) {
        Invalidate(FALSE);
    }
    CDialog::OnMouseMove(flags, point);
}

void DefogDlg::OnLButtonUp(UINT flags, CPoint point) {
    if (m_state.IsDragging() && m_state.EndDrag(HitChannel(point), point)) {
        Invalidate(FALSE);
    }
    if (GetCapture() == this) {
        ReleaseCapture();
    }
    CDialog::OnLButtonUp(flags, point);
}

bool DefogDlg::ChooseSaveName(std::wstring& path, int& filterIndex) {
    CFileDialog dialog(FALSE, ImageSaveName::kDefaultExtension, ImageSaveName::kInitialName,
                       OFN_HIDEREADONLY | OFN_NOREADONLYRETURN, ImageSaveName::kFilter, this);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    path = static_cast<const std::wstring&>(dialog.GetPathName());
    filterIndex = dialog.GetFilterIndex();
    return true;
}

void DefogDlg::Report(const std::wstring& problems) {
    if (!problems.empty()) {
        MessageBoxW(m_hWnd, problems.c_str(), L"", MB_OK | MB_ICONWARNING);
    }
}

void DefogDlg::SaveImage() {
    for (;;) {
        std::wstring chosen;
        int filterIndex = 0;
        if (!ChooseSaveName(chosen, filterIndex)) {
            return;
        }
        const DefogState::SavePlan plan = m_state.PlanSave(chosen, filterIndex);
        if (!plan.existing.empty()) {
            MessageBoxW(m_hWnd, (LoadText(kStringFileExists) + L" (" + plan.existing + L")").c_str(), L"",
                        MB_OK);
            continue;
        }
        std::wstring problems;
        for (const auto& [channel, path] : plan.files) {
            CImage image;
            image.Attach(m_pictures[static_cast<size_t>(channel)].working);
            const bool saved = image.Save(path.c_str(), plan.format) == S_OK;
            image.Detach();
            if (!saved) {
                problems += L"The picture could not be saved as " + path + L".\n";
            }
        }
        Report(problems);
        return;
    }
}

void DefogDlg::PrintImages() {
    std::wstring problems;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (!m_state.HasPicture(channel)) {
            continue;
        }
        CBitmap& working = m_pictures[static_cast<size_t>(channel)].working;
        BITMAP info;
        if (working.GetBitmap(&info) != 0 && PrintBitmap(this, &working, &info) == PrintOutcome::Failed) {
            problems +=
                L"The picture of channel " + std::to_wstring(channel + 1) + L" could not be printed.\n";
        }
    }
    Report(problems);
}
