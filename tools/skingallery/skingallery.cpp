// Draws every component of a skin archive with the control that shows it in the program and
// writes each picture to <folder>/<id>_<type>.png; then the program's panels built from the skin:
// the playlist holding rows (playlist.png, and in Korean playlist_ko.png) and the full-screen
// control bar (controlbar.png); then the program's own main window, made as the application makes
// it, with the skin and string library beside this program: the frame as it starts (mainwindow.png), with its
// playlist panel holding rows over it (mainwindow_playlist.png), and showing a made recording, paused, full
// screen with the control bar up (mainwindow_fullscreen.png). The panels are windows of their own, drawn
// where they lie over the frame. The view starts with model 3 and picks its background for it, so
// the main window shows model 3's background; the other models' backgrounds are components above.
// Usage: trevo_skingallery ResStorage.dat folder

#include "platform/base/registry.h"
#include "platform/base/resourcemodule.h"
#include "platform/base/unicode.h"
#include "platform/ui/app.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/cursor.h"
#include "platform/ui/dc.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/picturedecoder.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "platform/ui/windowsnapshot.h"
#include "platform/video/presentationtarget.h"
#include "skintable.h"
#include "tools/fixtures/avimaker.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/skin/borrowedbitmap.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/painter.h"
#include "viewer/skin/resstorage.h"
#include "viewer/skin/skincombobox.h"
#include "viewer/skin/skinlistctrl.h"
#include "viewer/skin/sliderctrlex.h"
#include "viewer/skin/staticex.h"
#include "viewer/ui/controlbarview.h"
#include "viewer/ui/mainframe.h"
#include "viewer/ui/playbackcontroldialog.h"
#include "viewer/ui/playlistdlg.h"
#include "viewer/ui/playlistview.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kStageColor = RGB(40, 40, 40);

LPCWSTR StageClass() {
    static const LPCWSTR name = L"TrevoSkinGalleryStage";
    WNDCLASSW windowClass;
    if (!GetClassInfoW(nullptr, name, &windowClass)) {
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = CreateSolidBrush(kStageColor);
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
    }
    return name;
}

// A top-level window a little larger than the component, on which its control is placed. A
// component that is only an area of its window, where another window goes, is shown as its image
// repeated over that area.
class Stage : public CWnd {
  public:
    bool Open(int width, int height) {
        return CreateEx(0, StageClass(), L"gallery", WS_POPUP | WS_VISIBLE, 0, 0, width + 8, height + 8,
                        nullptr, nullptr) != FALSE;
    }
    void ShowArea(HBITMAP tile, const CRect& area) {
        m_tile.Borrow(tile);
        m_area = area;
        Invalidate();
    }

  protected:
    // Transparent controls ask their parent for what lies under them: the stage's plain colour.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_SKIN_DRAWBKGND) {
            return CWnd::WindowProc(message, wParam, lParam);
        }
        auto* request = reinterpret_cast<SkinBackgroundRequest*>(lParam);
        if (request != nullptr && request->dc != nullptr) {
            CBrush stage(kStageColor);
            request->dc->FillRect(&request->rect, &stage);
        }
        return 0;
    }
    void OnPaint() override {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        CBrush stage(kStageColor);
        dc.FillRect(&client, &stage);
        const CSize piece = m_tile.Size();
        if (piece.cx <= 0 || piece.cy <= 0) {
            return;
        }
        CPainter painter(&dc);
        for (int y = m_area.top; y < m_area.bottom; y += piece.cy) {
            const int height = std::min<int>(piece.cy, m_area.bottom - y);
            painter.TileHorizontal(&m_tile, CRect(m_area.left, y, m_area.right, y + height),
                                   CRect(0, 0, piece.cx, height), CBaseWnd::GetBaseColor(2));
        }
    }

  private:
    CBorrowedBitmap m_tile;
    CRect m_area;
};

// The label that lies under a slider in its window and carries its groove: the one the skin
// names, else the last label before it in its window that covers it. Null when there is none, and
// for a slider at the window's corner: a model that the program places itself.
const SkinComponent* SliderHost(const SkinComponent& slider) {
    if (slider.x == 0 && slider.y == 0) {
        return nullptr;
    }
    for (const GrooveHost& host : GrooveHosts()) {
        if (std::find(host.sliderIds.begin(), host.sliderIds.end(), slider.id) != host.sliderIds.end()) {
            return FindSkinComponent(host.hostId);
        }
    }
    const std::vector<SkinComponent>& table = SkinComponents();
    const auto at = std::find_if(table.begin(), table.end(), [&slider](const SkinComponent& component) {
        return component.id == slider.id;
    });
    for (auto below = std::make_reverse_iterator(at); below != table.rend(); ++below) {
        // Each window's table starts with the area of the whole window.
        if (below->type == "dummy" && below->x == 0 && below->y == 0) {
            break;
        }
        if (below->type == "static" && below->x <= slider.x && below->y <= slider.y &&
            below->x + below->width >= slider.x + slider.width &&
            below->y + below->height >= slider.y + slider.height) {
            return &*below;
        }
    }
    return nullptr;
}

std::unique_ptr<CStaticEx> MakeLabel(const ComponentImages& images, CWnd* parent, const CRect& rect,
                                     DWORD options) {
    auto label = std::make_unique<CStaticEx>();
    if (images[1] != nullptr || images[2] != nullptr) {
        options |= CStaticEx::OPTION_THREE_PIECES;
    }
    label->ModifyOptions(0, options);
    label->SetBitmaps(images[0], images[1], images[2]);
    label->Create(parent, rect, 1, WS_CHILD | WS_VISIBLE);
    return label;
}

// Rows as the view fills the playlist: type, date and time, and whether the front and rear files
// are there; enough to scroll.
void FillRows(CSkinListCtrl& list) {
    const LPCWSTR types[] = {L"Always", L"Event", L"Always", L"Manual", L"Parking Event", L"Motion Event"};
    for (int row = 0; row < 60; ++row) {
        const LPCWSTR type = types[row % 6];
        wchar_t date[32];
        std::swprintf(date, 32, L"2026-12-10 08:%02d:00", row);
        list.InsertItem(row, type);
        list.SetItemText(row, 1, type);
        list.SetItemText(row, 2, date);
        list.SetItemText(row, 3, L"O");
        list.SetItemText(row, 4, row % 4 == 3 ? L"X" : L"O");
    }
}

// Filled and set up as the playlist panel sets its list up: its colours and font, its seven
// columns, full-row selection; enough rows to scroll, one of them playing and one selected.
std::unique_ptr<CSkinListCtrl> MakePlaylist(const ComponentImages& images, CWnd* parent, const CRect& rect,
                                            CFont& font) {
    auto list = std::make_unique<CSkinListCtrl>();
    list->Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, rect, parent, 1);
    static const int playingRow = 2;
    list->InitSkinScrollBars(&playingRow);
    list->SetBitmaps(images.images);
    list->SetBkColor(0x171717);
    list->SetTextColor(0x8B8B8B);
    font.CreateFont(13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"NanumGothic");
    list->SetFont(&font, TRUE);
    const struct {
        LPCWSTR heading;
        int width;
        int format;
    } columns[] = {
        {L"", 0, LVCFMT_LEFT},          {L"Type", 50, LVCFMT_CENTER},   {L"Date&Time", 145, LVCFMT_CENTER},
        {L"\u25B3", 20, LVCFMT_CENTER}, {L"\u25BD", 20, LVCFMT_CENTER}, {L"\u25C1", 20, LVCFMT_CENTER},
        {L"\u25B7", 20, LVCFMT_CENTER}};
    for (int column = 0; column < 7; ++column) {
        list->InsertColumn(column, columns[column].heading, columns[column].format, columns[column].width);
    }
    FillRows(*list);
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    list->SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
    return list;
}

std::wstring FileName(const std::wstring& folder, const SkinComponent& component) {
    char name[64];
    std::snprintf(name, sizeof(name), "/%08x_%s.png", component.id, component.type.c_str());
    return folder + WideFromUtf8(name);
}

bool Draw(ResStorage& store, const SkinComponent& component, const std::wstring& path) {
    const auto id = static_cast<eComponentID>(component.id);
    const ComponentImages images = store.GetComponentInfo(id);
    const CRect rect(4, 4, 4 + std::max(component.width, 1), 4 + std::max(component.height, 1));
    // The list's font outlives the list, and the windows beneath the control outlive the control.
    CFont listFont;
    Stage stage;
    if (!stage.Open(rect.Width(), rect.Height())) {
        return false;
    }
    std::unique_ptr<CStaticEx> beneath;
    std::unique_ptr<CWnd> control;
    if (component.type == "button") {
        auto button = std::make_unique<CButtonEx>();
        button->SetImages(images[0], images[1], images[2], images[3], images[4], 0, CRect());
        button->ModifyOptions(CBaseWnd::OPTION_TRANSPARENT, CButtonEx::OPTION_MASK_REGION);
        button->Create(&stage, rect, 1, WS_CHILD | WS_VISIBLE);
        control = std::move(button);
    } else if (component.type == "slider") {
        // As in its window, the slider shows the label beneath it, with the groove, around its thumb.
        auto slider = std::make_unique<CSliderCtrlEx>();
        if (const SkinComponent* host = SliderHost(component); host != nullptr) {
            const CRect hostRect(CPoint(rect.left + host->x - component.x, rect.top + host->y - component.y),
                                 CSize(host->width, host->height));
            auto label = MakeLabel(store.GetComponentInfo(static_cast<eComponentID>(host->id)), &stage,
                                   hostRect, CBaseWnd::OPTION_BACK_BUFFER);
            label->UpdateWindow();
            slider->SetBackgroundWnd(label->m_hWnd);
            beneath = std::move(label);
        }
        slider->ModifyOptions(0, CBaseWnd::OPTION_TRANSPARENT);
        slider->SetBitmaps(images[0], images[1], images[2], images[3], images[4]);
        slider->Create(&stage, rect, 1, WS_CHILD | WS_VISIBLE);
        slider->SetPos(40);
        control = std::move(slider);
    } else if (component.type == "static") {
        control = MakeLabel(images, &stage, rect, 0);
    } else if (component.type == "dummy") {
        stage.ShowArea(images[0], rect);
    } else if (component.type == "list") {
        control = MakePlaylist(images, &stage, rect, listFont);
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

// The main view as far as the panels need one to be drawn: the playing row, and a window.
class GalleryView : public IPlaylistView, public IControlBarView {
  public:
    int OpenAndPlay(int) override { return 1; }
    void DeleteSelectedRecordings() override {}
    const int* GetPlayingRowPointer() override { return &m_playingRow; }
    void PlayPrevFile() override {}
    void Play() override {}
    void Pause() override {}
    void Stop(int, int) override {}
    void Step() override {}
    void PlayNextFile() override {}
    void ShowCaptureMenu() override {}
    void DefogCurrentFrame(int) override {}
    void SetScreenMode(int, int) override {}
    HWND GetViewWindow() override { return m_window; }

    void SetWindow(HWND window) { m_window = window; }

  private:
    int m_playingRow = 2;
    HWND m_window = nullptr;
};

// The playlist panel docked in the main window, holding rows; one row playing and one selected.
bool DrawPlaylist(ResStorage& store, const std::wstring& path) {
    Stage main;
    if (!main.Open(1280, 800)) {
        return false;
    }
    CWnd view;
    if (!view.Create(StageClass(), L"view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1280, 800), &main, 0xE900)) {
        return false;
    }
    GalleryView galleryView;
    PlaylistDlg playlist;
    if (!playlist.Create(PlaylistDlg::IDD, &view)) {
        return false;
    }
    playlist.SetView(&galleryView);
    playlist.SetResStorage(&store);
    playlist.CreateControls();
    playlist.ShowWindow(SW_SHOW);
    // At its size from the skin, where the view keeps it.
    playlist.DockToParent();
    CSkinListCtrl& list = playlist.GetListCtrl();
    FillRows(list);
    list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
    return SaveWindowPicture(playlist.m_hWnd, path);
}

bool DrawControlBar(ResStorage& store, const std::wstring& path) {
    Stage main;
    if (!main.Open(1280, 800)) {
        return false;
    }
    CWnd view;
    if (!view.Create(StageClass(), L"view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1280, 800), &main, 0xE900)) {
        return false;
    }
    GalleryView galleryView;
    galleryView.SetWindow(view.m_hWnd);
    PlaybackControlDialog bar;
    if (!bar.Create(PlaybackControlDialog::IDD, &view)) {
        return false;
    }
    bar.SetView(&galleryView);
    bar.SetResStorage(&store);
    bar.CreateControls();
    bar.ShowWindow(SW_SHOW);
    return SaveWindowPicture(bar.m_hWnd, path);
}

void RemovePicture(const std::wstring& path) {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(Utf8FromWide(path)), ignored);
}

// A picture file as a bitmap of its own; null when it cannot be read.
HBITMAP LoadPicture(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(Utf8FromWide(path)), std::ios::binary);
    const std::vector<char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return data.empty() ? nullptr : DecodePictureData(data.data(), data.size(), RGB(255, 0, 255));
}

// Top-level windows as they lie on the screen over the first one, which gives the size, each
// above those before it. The panels are windows of their own over the frame, so the frame's
// picture alone leaves them out.
class ScreenPicture : public CWnd {
  public:
    // No file is left behind when the whole is not drawn.
    bool Save(const std::vector<HWND>& windows, const std::wstring& path) {
        if (Compose(windows, path)) {
            return true;
        }
        RemovePicture(path);
        return false;
    }

  protected:
    void OnPaint() override {
        CPaintDC dc(this);
        CDC memory;
        memory.CreateCompatibleDC(&dc);
        for (const Piece& piece : m_pieces) {
            BITMAP size;
            piece.bitmap->GetBitmap(&size);
            CBitmap* previous = memory.SelectObject(piece.bitmap.get());
            dc.BitBlt(piece.at.x, piece.at.y, size.bmWidth, size.bmHeight, &memory, 0, 0, SRCCOPY);
            memory.SelectObject(previous);
        }
    }

  private:
    struct Piece {
        std::unique_ptr<CBitmap> bitmap;
        CPoint at;
    };

    // Each window's own picture passes through the file, which then takes the whole.
    bool Compose(const std::vector<HWND>& windows, const std::wstring& path) {
        CRect area;
        ::GetWindowRect(windows.front(), &area);
        for (const HWND window : windows) {
            CRect rect;
            ::GetWindowRect(window, &rect);
            if (!SaveWindowPicture(window, path)) {
                return false;
            }
            const HBITMAP picture = LoadPicture(path);
            if (picture == nullptr) {
                return false;
            }
            auto piece = std::make_unique<CBitmap>();
            piece->Attach(picture);
            m_pieces.push_back({std::move(piece), CPoint(rect.left - area.left, rect.top - area.top)});
        }
        return CreateEx(0, StageClass(), L"screen", WS_POPUP | WS_VISIBLE, 0, 0, area.Width(), area.Height(),
                        nullptr, nullptr) != FALSE &&
               SaveWindowPicture(m_hWnd, path);
    }

    std::vector<Piece> m_pieces;
};

// Whether the picture file shows the video picture with its corner at the point, on a grid over
// the picture's upper three quarters (the control bar may cover the rest).
bool ShowsVideo(const std::wstring& path, const PresentedPicture& video, const CPoint& at) {
    CBitmap picture;
    if (video.IsNull() || !picture.Attach(LoadPicture(path))) {
        return false;
    }
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap* previous = memory.SelectObject(&picture);
    bool same = true;
    for (int row = 0; row < 4 && same; ++row) {
        for (int column = 0; column < 4 && same; ++column) {
            const int x = video.Width() * (2 * column + 1) / 8;
            const int y = video.Height() * 3 * (2 * row + 1) / 32;
            const DWORD shown = video.Pixel(x, y);
            same = memory.GetPixel(at.x + x, at.y + y) ==
                   RGB((shown >> 16) & 0xFF, (shown >> 8) & 0xFF, shown & 0xFF);
        }
    }
    memory.SelectObject(previous);
    return same;
}

constexpr UINT WM_TOUR_START = WM_APP + 1;
constexpr UINT WM_TOUR_PICTURE_SHOWN = WM_APP + 2;

// Stands between channel 0's window and the pictures presented for it: the window shows each as
// before, and the tour hears of it, so that it waits for pictures rather than for time.
class PresentationWatch : public IPresentationTarget {
  public:
    PresentationWatch(std::shared_ptr<IPresentationTarget> window, HWND listener)
        : m_window(std::move(window)), m_listener(listener) {}
    SIZE ClientSize() const override { return m_window->ClientSize(); }
    void Present(const PresentedPicture& picture) override {
        m_window->Present(picture);
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_last = picture;
        }
        PostMessageW(m_listener, WM_TOUR_PICTURE_SHOWN, 0, 0);
    }
    PresentedPicture Last() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_last;
    }

  private:
    const std::shared_ptr<IPresentationTarget> m_window;
    const HWND m_listener;
    mutable std::mutex m_lock;
    PresentedPicture m_last;
};

// Takes the program's main window through what its pictures need, one event at a time, inside
// the program's own message loop; closing the main window at the end ends the loop.
class MainWindowTour : public CWnd {
  public:
    MainWindowTour(CMainFrame& frame, const std::wstring& folder)
        : m_frame(frame), m_view(frame.GetView()), m_folder(folder) {}

    bool Start() {
        if (CreateEx(0, StageClass(), L"tour", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr) == FALSE) {
            return false;
        }
        const HWND channel = m_view.GetChannelWindow(0).m_hWnd;
        m_windowTarget = FindPresentationTarget(channel);
        if (m_windowTarget == nullptr) {
            return false;
        }
        m_watch = std::make_shared<PresentationWatch>(m_windowTarget, m_hWnd);
        RegisterPresentationTarget(channel, m_watch);
        // Only against a hang: every step waits for an event of its own.
        SetTimer(kWatchdogTimer, 60000);
        // After whatever the main window's creation left queued.
        return PostMessage(WM_TOUR_START) != FALSE;
    }
    int Failures() const { return m_failures; }
    std::wstring RecordingFolder() const { return m_folder + L"/recording"; }

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TOUR_START) {
            DrawStartUp();
            return 0;
        }
        if (message == WM_TOUR_PICTURE_SHOWN) {
            PictureShown();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void OnTimer(UINT_PTR id) override {
        if (id == kWatchdogTimer && m_step != Step::Done) {
            Fail("mainwindow_fullscreen.png", "no picture of the recording came");
            Finish();
        }
    }

  private:
    enum class Step { StartUp, FirstPicture, FullScreenPicture, Done };
    static constexpr UINT_PTR kWatchdogTimer = 1;
    // Pictures looked at before giving up on one that shows the video full screen.
    static constexpr int kFullScreenTries = 8;

    void Fail(const char* picture, const char* why) {
        std::fprintf(stderr, "%s was not drawn: %s\n", picture, why);
        ++m_failures;
    }

    void DrawStartUp() {
        if (!SaveWindowPicture(m_frame.m_hWnd, m_folder + L"/mainwindow.png")) {
            Fail("mainwindow.png", "the frame's picture was not written");
        }
        PlaylistDlg& playlist = m_view.GetPlaylist();
        CSkinListCtrl& list = playlist.GetListCtrl();
        FillRows(list);
        list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
        if (!playlist.IsWindowVisible()) {
            Fail("mainwindow_playlist.png", "the playlist is not showing");
        } else if (!ScreenPicture().Save({m_frame.m_hWnd, playlist.m_hWnd},
                                         m_folder + L"/mainwindow_playlist.png")) {
            Fail("mainwindow_playlist.png", "the picture was not written");
        }
        if (const char* why = OpenRecording()) {
            Fail("mainwindow_fullscreen.png", why);
            Finish();
            return;
        }
        m_step = Step::FirstPicture;
    }

    // One made recording of the start-up model, through the catalogue and the view; null once it
    // plays on channel 0, else why not.
    const char* OpenRecording() {
        const std::wstring path = RecordingFolder() + L"/2023_05_24_12_30_01_F_N.avi";
        try {
            fixtures::QuietCodecLogs();
            fixtures::AviOptions options;
            options.video.codec = fixtures::VideoCodec::H264;
            options.video.frameCount = 60;
            options.textChunks = false;
            std::filesystem::create_directories(std::filesystem::path(Utf8FromWide(RecordingFolder())));
            fixtures::MakeAviRecording(std::filesystem::path(Utf8FromWide(path)), options);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return "the recording was not made";
        }
        if (m_view.GetCatalogue().AddFile(path, &m_view.GetList()) == 0) {
            return "the catalogue did not take the recording";
        }
        m_view.GetCatalogue().FillListByType(&m_view.GetList(), 9, 1);
        if (m_view.OpenAndPlay(0) != 1 || m_view.GetPlayer(0) == nullptr) {
            return "the recording did not open";
        }
        return nullptr;
    }

    void PictureShown() {
        if (m_step == Step::FirstPicture) {
            // Paused, the picture stays still and every repaint presents it again.
            m_view.Pause();
            m_view.SetScreenMode(0, 1);
            // The cursor near the bottom of the monitor brings the bar up, and keeps it there.
            const CPoint nearBottom(20, g_monitorHeight - 10);
            SetCursorPos(g_monitorLeft + nearBottom.x, g_monitorTop + nearBottom.y);
            m_view.GetChannelWindow(0).SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(nearBottom.x, nearBottom.y));
            if (!m_view.GetControlBar().IsWindowVisible()) {
                Fail("mainwindow_fullscreen.png", "the control bar did not come up");
                Finish();
                return;
            }
            m_step = Step::FullScreenPicture;
            return;
        }
        if (m_step != Step::FullScreenPicture) {
            return;
        }
        CRect channel;
        m_view.GetChannelWindow(0).GetWindowRect(&channel);
        const PresentedPicture shown = m_watch->Last();
        if (shown.Width() != channel.Width() || shown.Height() != channel.Height()) {
            return;
        }
        CRect frame;
        m_frame.GetWindowRect(&frame);
        const std::wstring path = m_folder + L"/mainwindow_fullscreen.png";
        if (!ScreenPicture().Save({m_frame.m_hWnd, m_view.GetControlBar().m_hWnd}, path)) {
            Fail("mainwindow_fullscreen.png", "the picture was not written");
            Finish();
        } else if (ShowsVideo(path, shown, CPoint(channel.left - frame.left, channel.top - frame.top))) {
            Finish();
        } else if (++m_fullScreenTries == kFullScreenTries) {
            // Taking the picture repaints the channel, which presents the paused picture again.
            RemovePicture(path);
            Fail("mainwindow_fullscreen.png", "the video did not show in the picture");
            Finish();
        }
    }

    void Finish() {
        m_step = Step::Done;
        KillTimer(kWatchdogTimer);
        RegisterPresentationTarget(m_view.GetChannelWindow(0).m_hWnd, m_windowTarget);
        m_frame.PostMessage(WM_CLOSE);
    }

    CMainFrame& m_frame;
    CChildView& m_view;
    const std::wstring m_folder;
    std::shared_ptr<IPresentationTarget> m_windowTarget;
    std::shared_ptr<PresentationWatch> m_watch;
    Step m_step = Step::StartUp;
    int m_fullScreenTries = 0;
    int m_failures = 0;
};

// The main window made as the application makes it, driven through the program's message loop;
// answers the pictures that were not drawn.
int DrawMainWindow(CWinApp& application, const std::wstring& folder) {
    // What the application object records before the frame exists.
    g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
    g_monitorLeft = 0;
    g_layoutWidth = 1920;
    g_layoutHeight = 1080;
    constexpr int kPictures = 3;
    CMainFrame frame;
    application.m_pMainWnd = &frame;
    if (!frame.LoadFrame(CMainFrame::kResourceId, CMainFrame::kFrameStyle)) {
        application.m_pMainWnd = nullptr;
        std::fprintf(stderr, "the main window was not made\n");
        return kPictures;
    }
    frame.ShowWindow(SW_SHOW);
    frame.UpdateWindow();
    MainWindowTour tour(frame, folder);
    if (!tour.Start()) {
        std::fprintf(stderr, "the main window's tour did not start\n");
        frame.SendMessage(WM_CLOSE);
        return kPictures;
    }
    application.Run();
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(Utf8FromWide(tour.RecordingFolder())), ignored);
    return tour.Failures();
}

// The playlist in Korean, the language a user picks with the settings value "LanguageID" 0. The
// value is taken away again, so that the main window starts in the default language.
bool DrawKoreanPlaylist(const std::wstring& archive, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const wchar_t korean[] = L"0";
    RegSetValueExW(key, L"LanguageID", 0, REG_SZ, reinterpret_cast<const BYTE*>(korean), sizeof(korean));
    bool drawn = false;
    {
        ResStorage store;
        drawn = store.GetLanguageId() == 1042 && store.LoadSkin(archive, nullptr) != 0 &&
                DrawPlaylist(store, path);
    }
    RegDeleteValueW(key, L"LanguageID");
    RegCloseKey(key);
    return drawn;
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
    // The panels' headings come from the string library beside the program.
    g_hResourceDll = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!DrawPlaylist(store, folder + L"/playlist.png")) {
        std::fprintf(stderr, "the playlist was not drawn\n");
        ++failures;
    }
    if (!DrawControlBar(store, folder + L"/controlbar.png")) {
        std::fprintf(stderr, "the control bar was not drawn\n");
        ++failures;
    }
    if (!DrawKoreanPlaylist(WideFromUtf8(argv[1]), folder + L"/playlist_ko.png")) {
        std::fprintf(stderr, "the Korean playlist was not drawn\n");
        ++failures;
    }
    failures += DrawMainWindow(application, folder);
    FreeLibrary(g_hResourceDll);
    g_hResourceDll = nullptr;
    return failures == 0 ? 0 : 1;
}
