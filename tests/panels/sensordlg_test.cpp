#include "panelsfixture.h"
#include "platform/ui/qtaccess.h"
#include "viewer/app/globals.h"
#include "viewer/ui/sensordlg.h"

#include <QImage>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class SensorTest : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        ASSERT_TRUE(panel.Create(SensorDlg::IDD, &view));
        panel.SetResStorage(&Skin());
        panel.CreateControls();
        panel.ShowWindow(SW_SHOW);
    }

    CRect ChildRect(CWnd& child) {
        CRect rect;
        child.GetWindowRect(&rect);
        panel.ScreenToClient(&rect);
        return rect;
    }

    std::vector<COLORREF> Colors() {
        std::vector<COLORREF> colors;
        for (UINT line = 0; line < 3; ++line) {
            colors.push_back(panel.GetGraph().GetLineColor(line));
        }
        return colors;
    }

    SensorDlg panel;
};

} // namespace

TEST_F(SensorTest, TheBuilderLaysThePanelOutFromTheSkin) {
    CRect rect;
    panel.GetWindowRect(&rect);
    EXPECT_EQ(rect.Size(), Skin().GetComponentRect(CID_SENSOR_PANEL, CRect()).Size());
    CPushGraph& graph = panel.GetGraph();
    EXPECT_EQ(ChildRect(graph), Skin().GetComponentRect(CID_SENSOR_GRAPH, CRect()));
    EXPECT_EQ(graph.GetPlotRect(),
              Skin().GetComponentRect(CID_SENSOR_PLOT, Skin().GetComponentRect(CID_SENSOR_GRAPH, CRect())));
    EXPECT_EQ(graph.GetMinValue(), 2000000);
    EXPECT_EQ(graph.GetMaxValue(), 6000000);
    CWnd* close = panel.GetDlgItem(SensorDlg::kCloseId);
    ASSERT_NE(close, nullptr);
    EXPECT_FALSE(close->IsWindowVisible());
    EXPECT_NE(panel.GetDlgItem(SensorDlg::kBackgroundId), nullptr);
}

TEST_F(SensorTest, LinesChangeColourAtTheFirstResetAndSamplesStandAtTheirHeight) {
    // Colours as 0x00BBGGRR: x starts blue and turns green, z the reverse.
    EXPECT_EQ(Colors(), (std::vector<COLORREF>{0xFF0000, 0x0000FF, 0x00FF00}));
    panel.SetCursor(40);
    panel.ResetGraph();
    EXPECT_EQ(Colors(), (std::vector<COLORREF>{0x00FF00, 0x0000FF, 0xFF0000}));
    EXPECT_EQ(panel.GetGraph().GetCursor(), 0);
    for (const auto& line : panel.GetGraph().GetLines()) {
        EXPECT_TRUE(line.values.empty());
    }

    for (int i = 0; i < 2; ++i) {
        panel.AddSample(4000000, 5000000, 2500000);
    }
    panel.SetCursor(0);
    Pump();
    const CRect plot = panel.GetGraph().GetPlotRect();
    const QImage picture = WindowPicture(panel.GetGraph().m_hWnd);
    const int x = plot.left + plot.Width() / 4;
    const struct {
        int numerator;
        int denominator;
        QRgb color;
    } heights[] = {{1, 2, qRgb(0, 255, 0)}, {3, 4, qRgb(255, 0, 0)}, {1, 8, qRgb(0, 0, 255)}};
    for (const auto& h : heights) {
        const int y = plot.bottom - plot.Height() * h.numerator / h.denominator;
        EXPECT_EQ(picture.pixel(x, y), h.color) << h.numerator << "/" << h.denominator;
    }
}

TEST_F(SensorTest, TheGraphShowsTheCurrentValuesWithTwoDecimals) {
    panel.SetCurrentValues(0.25, -1.5, 1.0);
    panel.SetCursor(10);
    Pump();
    const QImage picture = WindowPicture(panel.GetGraph().m_hWnd);
    for (int axis = 0; axis < 3; ++axis) {
        const CRect rect =
            Skin().GetComponentRect(static_cast<eComponentID>(CID_SENSOR_VALUE_X + axis), CRect());
        const QRgb text =
            qRgb(GetRValue(CPushGraph::kValueColors[axis]), GetGValue(CPushGraph::kValueColors[axis]),
                 GetBValue(CPushGraph::kValueColors[axis]));
        int found = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                found += picture.pixel(x, y) == text ? 1 : 0;
            }
        }
        EXPECT_GT(found, 0) << axis;
    }
}

TEST_F(SensorTest, DroppedFoldersAndFilesGoToTheViewInDropOrder) {
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "sensor_drop";
    std::filesystem::create_directories(folder / "card");
    std::ofstream(folder / "a.mp4") << "a";
    std::ofstream(folder / "b.avi") << "b";
    const std::wstring card = (folder / "card").wstring();
    const std::wstring a = (folder / "a.mp4").wstring();
    const std::wstring b = (folder / "b.avi").wstring();
    std::vector<std::wstring> opened;
    view.handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (message == WM_OPEN_FOLDER || message == WM_OPEN_FILE) {
            opened.push_back((message == WM_OPEN_FOLDER ? L"folder " : L"file ") +
                             std::wstring(reinterpret_cast<const wchar_t*>(lParam)));
        }
        return false;
    };
    const std::wstring tooLong = (folder / std::wstring(1100, L'x')).wstring();
    DropPaths(panel.m_hWnd, {card, (folder / "missing.mp4").wstring(), a, tooLong, b});
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"folder " + card, L"file " + a, L"file " + b}));
    view.handler = nullptr;
    std::filesystem::remove_all(folder);
}

TEST_F(SensorTest, KeysOfThePanel) {
    const struct {
        UINT message;
        UINT key;
        BOOL swallowed;
        size_t toggles;
    } cases[] = {
        {WM_KEYDOWN, VK_ESCAPE, TRUE, 0}, {WM_KEYDOWN, VK_RETURN, TRUE, 0}, {WM_KEYDOWN, VK_SPACE, TRUE, 0},
        {WM_KEYDOWN, 0x03, TRUE, 0},      {WM_KEYUP, VK_SPACE, FALSE, 1},   {WM_KEYUP, VK_ESCAPE, FALSE, 0},
        {WM_KEYDOWN, 'A', FALSE, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << " " << c.key);
        view.log.clear();
        MSG message{};
        message.hwnd = panel.GetGraph().m_hWnd;
        message.message = c.message;
        message.wParam = c.key;
        EXPECT_EQ(CWnd::WalkPreTranslateTree(&message), c.swallowed);
        EXPECT_EQ(ViewReceived(WM_TOGGLE_PLAY), c.toggles);
        EXPECT_TRUE(panel.IsWindowVisible());
    }
}

TEST_F(SensorTest, ItsCommandsHideThePanelAndItDocksBelowTheMainWindow) {
    const struct {
        UINT id;
        bool hides;
    } cases[] = {{23570, false}, {23571, true}, {SensorDlg::kCloseId, true}, {23580, true}, {23581, false}};
    for (const auto& c : cases) {
        panel.ShowWindow(SW_SHOW);
        panel.SendMessage(WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED), 0);
        EXPECT_EQ(!panel.IsWindowVisible(), c.hides) << c.id;
    }

    panel.ShowWindow(SW_SHOW);
    panel.DockToParent();
    CRect mainRect;
    main.GetWindowRect(&mainRect);
    CRect rect;
    EXPECT_TRUE(WaitFor([&] {
        panel.GetWindowRect(&rect);
        return rect.TopLeft() == CPoint(mainRect.left + 191, mainRect.top + 641);
    })) << rect.left
        << "," << rect.top;
}
