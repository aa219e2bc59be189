#pragma once
// What the panel tests share: the built skin and string library, a main window with the view's
// window inside it (g_hViewWnd), stand-ins for the view's operations, the engine's enlarged
// channel, and the debugger output.

#include "platform/ui/app.h"
#include "uitest.h"
#include "viewer/skin/resstorage.h"
#include "viewer/ui/controlbarview.h"
#include "viewer/ui/playlistview.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Rectangles in failure messages as left, top, right, bottom.
void PrintTo(const CRect& rect, std::ostream* out);

class FakePlaylistView : public IPlaylistView {
  public:
    int OpenAndPlay(int row) override {
        opened.push_back(row);
        return openResult;
    }
    void DeleteSelectedRecordings() override { ++deletions; }
    const int* GetPlayingRowPointer() override { return &playingRow; }

    std::vector<int> opened;
    int openResult = 1;
    int deletions = 0;
    int playingRow = -1;
};

// Records each operation by name; the hook runs first, so a test can look at the bar as the
// operation finds it.
class FakeControlBarView : public IControlBarView {
  public:
    void PlayPrevFile() override { Call("PlayPrevFile"); }
    void Play() override { Call("Play"); }
    void Pause() override { Call("Pause"); }
    void Stop(int keepIndex, int force) override {
        Call("Stop(" + std::to_string(keepIndex) + "," + std::to_string(force) + ")");
    }
    void Step() override { Call("Step"); }
    void PlayNextFile() override { Call("PlayNextFile"); }
    void ShowCaptureMenu() override { Call("ShowCaptureMenu"); }
    void DefogCurrentFrame(int channels) override {
        Call("DefogCurrentFrame(" + std::to_string(channels) + ")");
    }
    void SetScreenMode(int channel, int enlarged) override {
        Call("SetScreenMode(" + std::to_string(channel) + "," + std::to_string(enlarged) + ")");
    }
    HWND GetViewWindow() override { return window; }

    std::vector<std::string> calls;
    std::function<void(const std::string&)> beforeCall;
    HWND window = nullptr;

  private:
    void Call(const std::string& name) {
        if (beforeCall) {
            beforeCall(name);
        }
        calls.push_back(name);
    }
};

// Keeps the lines written to the debugger output while it lives.
class TraceLog {
  public:
    TraceLog();
    ~TraceLog();
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    std::vector<std::wstring> lines;
};

// An application object whose main window is the given one, as the frame is the program's. It
// refers to the window through a second object, so that the window's end does not end the test
// program's event handling as it ends the program's.
class MainWindowOfTheProgram {
  public:
    explicit MainWindowOfTheProgram(CWnd& window);
    ~MainWindowOfTheProgram();
    MainWindowOfTheProgram(const MainWindowOfTheProgram&) = delete;
    MainWindowOfTheProgram& operator=(const MainWindowOfTheProgram&) = delete;

  private:
    CWinApp m_application;
    CWnd m_alias;
};

class PanelTest : public testing::Test {
  protected:
    static constexpr int kMainLeft = 200;
    static constexpr int kMainTop = 100;

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The skin as the program loads it, in the language of the registry.
    static ResStorage& Skin() { return *skin; }
    // Marks a channel as shown enlarged in the engine (65535: none).
    static void SelectChannel(int channel);
    // The messages the view's window was sent, of one kind.
    size_t ViewReceived(UINT message) const { return view.Only({message}).size(); }

    TestWindow main;
    TestWindow view;

  private:
    static std::unique_ptr<ResStorage> skin;
};
