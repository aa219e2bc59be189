#include "openingfixture.h"

#include "platform/base/drivetable.h"
#include "platform/base/resourcemodule.h"
#include "tools/fixtures/cardmaker.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <algorithm>
#include <cstdio>

namespace {

// The view's window as the catalogue addresses it; only the window system below receives it.
HWND const kViewWindow = reinterpret_cast<HWND>(0x7E00);

std::string Letter(char letter) {
    return std::string(1, letter);
}

} // namespace

std::unique_ptr<ResStorage> OpeningTest::skin;

UINT_PTR FakeOpeningView::SetTimer(UINT_PTR id, UINT milliseconds) {
    char text[64];
    std::snprintf(text, sizeof(text), "SetTimer(0x%lX,%u)", static_cast<unsigned long>(id), milliseconds);
    log.push_back(text);
    return id;
}

void FakeOpeningView::ShowWaitingBox(const std::wstring& text) {
    log.push_back("ShowWaitingBox(" + Narrow(text) + ")");
}

void FakeOpeningView::CloseWaitingBox() {
    log.push_back("CloseWaitingBox");
}

void FakeOpeningView::ShowLoadingBox() {
    log.push_back("ShowLoadingBox");
}

void FakeOpeningView::SetLoadingMessage(const std::wstring& text) {
    log.push_back("SetLoadingMessage(" + Narrow(text) + ")");
}

void FakeOpeningView::ShowMainWindow(int show) {
    log.push_back("ShowMainWindow(" + std::to_string(show) + ")");
}

void FakeOpeningView::ReadConfig() {
    log.push_back("ReadConfig");
}

bool FakeOpeningView::BrowseForFolder(const std::wstring& title, std::wstring& chosen) {
    log.push_back("BrowseForFolder(" + Narrow(title) + ")");
    if (!folder)
        return false;
    chosen = *folder;
    return true;
}

bool FakeOpeningView::ChooseFiles(const FileDialogSettings& settings, std::vector<std::wstring>& paths) {
    log.push_back("ChooseFiles");
    fileDialog = settings;
    if (!files)
        return false;
    paths = *files;
    return true;
}

void FakeOpeningView::SetPopupDriveLetter(char letter) {
    popupLetter = letter;
    log.push_back("SetPopupDriveLetter(" + Letter(letter) + ")");
}

void FakeOpeningView::ShowPopup(const std::wstring& text, DWORD timeToShow, DWORD timeToStay,
                                DWORD timeToHide) {
    popupText = text;
    log.push_back("ShowPopup(" + Narrow(text) + "," + std::to_string(timeToShow) + "," +
                  std::to_string(timeToStay) + "," + std::to_string(timeToHide) + ")");
}

void FakeOpeningView::HidePopup() {
    log.push_back("HidePopup");
}

int FakeOpeningView::PickRecorderDrive(const DWORD* vids, const DWORD* pids) {
    log.push_back("PickRecorderDrive");
    pickedFrom.clear();
    for (int drive = 0; drive < 26; ++drive)
        pickedFrom.emplace_back(vids[drive], pids[drive]);
    return pickedDrive;
}

OpeningWindowSystem::OpeningWindowSystem(Log& calls, ViewCommands& commands)
    : m_log(calls), m_commands(commands), m_previous(SetWindowSystem(this)) {}

OpeningWindowSystem::~OpeningWindowSystem() {
    SetWindowSystem(m_previous);
}

LRESULT OpeningWindowSystem::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != kViewWindow)
        return 0;
    m_log.push_back("Send(" + std::to_string(message) + ")");
    m_commands.OnViewMessage(message, wParam, lParam);
    return 0;
}

int OpeningWindowSystem::ShowMessageBox(HWND, const std::wstring& text, const std::wstring&, UINT) {
    m_log.push_back("MessageBox(" + Narrow(text) + ")");
    return IDOK;
}

void OpeningTest::SetUpTestSuite() {
    g_hResourceDll = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(g_hResourceDll, nullptr);
    skin = std::make_unique<ResStorage>();
    ASSERT_EQ(skin->LoadSkin(L".\\ResStorage.dat", nullptr), 1);
}

void OpeningTest::TearDownTestSuite() {
    skin.reset();
    FreeLibrary(g_hResourceDll);
    g_hResourceDll = nullptr;
}

void OpeningTest::SetUp() {
    SetDefaultModelIndex();
    m_previousView = g_hViewWnd;
    g_hViewWnd = kViewWindow;
    DriveTable::Instance().Clear();
}

void OpeningTest::TearDown() {
    DriveTable::Instance().Clear();
    g_hViewWnd = m_previousView;
    SetDefaultModelIndex();
}

int OpeningTest::MakeCard(const std::filesystem::path& root, int model, int recordingsPerKind) {
    fixtures::CardOptions options;
    options.model = model;
    options.namesOnly = true;
    options.recordingsPerKind = recordingsPerKind;
    return fixtures::MakeCard(root, options).recordings;
}

int OpeningTest::PlaylistSlides() const {
    return static_cast<int>(Only(calls, {"BeginPanelSlide(playlist"}).size());
}

std::string Mp4Name(int second, char camera) {
    char name[64];
    std::snprintf(name, sizeof(name), "2023_05_24_12_30_%02d_%c_normal.mp4", second, camera);
    return name;
}

std::string AviName(int second, char camera) {
    char name[64];
    std::snprintf(name, sizeof(name), "2023_05_24_12_30_%02d_%c_N.avi", second, camera);
    return name;
}
