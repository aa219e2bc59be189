#include "panelsfixture.h"
#include "platform/ui/qtaccess.h"
#include "viewer/skin/pushgraph.h"

#include <QColor>
#include <QImage>

#include <utility>
#include <vector>

namespace {

QRgb Rgb(COLORREF color) {
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

using Points = std::vector<std::vector<std::pair<int, int>>>;

Points Lines(const CRect& plot, int range, const std::vector<std::vector<int>>& values) {
    std::vector<PushGraphLine> lines;
    for (const std::vector<int>& line : values) {
        PushGraphLine graphLine;
        graphLine.values = line;
        lines.push_back(graphLine);
    }
    Points points;
    for (const std::vector<POINT>& polyline : CPushGraph::BuildPolylines(plot, range, lines)) {
        points.emplace_back();
        for (const POINT& point : polyline) {
            points.back().emplace_back(point.x, point.y);
        }
    }
    return points;
}

} // namespace

TEST(PushGraph, ValuesAreClampedStoredAboveTheMinimumAndGoToTheLastLineOfTheirId) {
    CPushGraph graph;
    graph.SetMinValue(2000000);
    graph.SetMaxValue(6000000);
    graph.AddLine(0, 0x1);
    graph.AddLine(1, 0x2);
    graph.AddLine(0, 0x3);
    const struct {
        UINT id;
        int value;
        bool known;
    } pushes[] = {
        {0, 1000000, true}, {0, 7000000, true}, {0, 4000000, true}, {1, 2000000, true}, {9, 4000000, false}};
    for (const auto& push : pushes) {
        EXPECT_EQ(graph.PushValue(push.id, push.value), push.known) << push.id << " " << push.value;
    }
    ASSERT_EQ(graph.GetLines().size(), 3u);
    EXPECT_TRUE(graph.GetLines()[0].values.empty()) << "a shared id fills the line added last";
    EXPECT_EQ(graph.GetLines()[1].values, std::vector<int>{0});
    EXPECT_EQ(graph.GetLines()[2].values, (std::vector<int>{0, 4000000, 2000000}));

    EXPECT_EQ(graph.GetLineColor(0), 0x1u);
    EXPECT_TRUE(graph.SetLineColor(0, 0x7));
    EXPECT_EQ(graph.GetLines()[2].color, 0x7u);
    EXPECT_FALSE(graph.SetLineColor(9, 0x7));
    graph.RemoveLine(0);
    ASSERT_EQ(graph.GetLines().size(), 1u);
    EXPECT_EQ(graph.GetLines()[0].id, 1u);
    EXPECT_FALSE(graph.PushValue(0, 3000000));
    EXPECT_EQ(graph.GetLineColor(0), 0u);

    graph.SetGridSpacing(1);
    EXPECT_EQ(graph.GetGridSpacing(), 3);
    graph.SetGridSpacing(20);
    EXPECT_EQ(graph.GetGridSpacing(), 20);
}

TEST(PushGraph, PolylinesPadShortLinesAndKeepTheFirstValueOnEachX) {
    const CRect plot(10, 20, 110, 120); // W = H = 100
    const struct {
        const char* what;
        int range;
        std::vector<std::vector<int>> values;
        Points expected;
    } cases[] = {
        {"no values draw nothing", 100, {{}, {}}, {}},
        {"a range of zero draws nothing", 0, {{50}}, {}},
        {"a negative range draws nothing", -5, {{50}}, {}},
        {"one value is one point", 100, {{25}}, {{{10, 95}}}},
        {"a short line repeats its last value, an empty one lies at 0",
         100,
         {{0, 100, 50, 50}, {30}, {}},
         {{{10, 120}, {35, 20}, {60, 70}, {85, 70}},
          {{10, 90}, {35, 90}, {60, 90}, {85, 90}},
          {{10, 120}, {35, 120}, {60, 120}, {85, 120}}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Lines(plot, c.range, c.values), c.expected) << c.what;
    }

    // 300 values over 100 pixels: x = 10 + int(i / 3); the first value of every pixel stays.
    std::vector<int> many;
    for (int i = 0; i < 300; ++i) {
        many.push_back(i % 3 == 0 ? 100 : 0);
    }
    const Points dense = Lines(plot, 100, {many});
    ASSERT_EQ(dense.size(), 1u);
    ASSERT_EQ(dense[0].size(), 100u);
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(dense[0][x], std::make_pair(10 + x, 20)) << x;
    }
}

TEST(PushGraph, ATallPlotWithTheSensorsRangeDoesNotOverflow) {
    // H * v reaches 2.4e9 here, beyond 32 bits.
    const CRect plot(0, 10, 100, 610);
    const struct {
        long long value;
        int y;
    } cases[] = {{0, 610}, {1000000, 460}, {3000000, 160}, {4000000, 10}};
    for (const auto& c : cases) {
        EXPECT_EQ(CPushGraph::ValueY(plot, c.value, 4000000), c.y) << c.value;
    }
    EXPECT_EQ(Lines(plot, 4000000, {{4000000, 3999999}}), (Points{{{0, 10}, {50, 11}}}));
}

TEST(PushGraph, AClickMapsToTenThousandthsOfThePlotWidth) {
    const CRect plot(40, 30, 240, 130); // W = 200
    const struct {
        CPoint at;
        bool inside;
        LPARAM position;
    } cases[] = {
        {{40, 30}, true, 0},   {{239, 129}, true, 9950}, {{140, 80}, true, 5000}, {{39, 80}, false, 0},
        {{240, 80}, false, 0}, {{100, 29}, false, 0},    {{100, 130}, false, 0},
    };
    for (const auto& c : cases) {
        LPARAM position = -1;
        EXPECT_EQ(CPushGraph::ClickPosition(plot, c.at, &position), c.inside) << c.at.x << "," << c.at.y;
        if (c.inside) {
            EXPECT_EQ(position, c.position) << c.at.x;
        }
    }
    LPARAM untouched = -1;
    EXPECT_FALSE(CPushGraph::ClickPosition(CRect(5, 5, 5, 50), CPoint(5, 10), &untouched));
}

class PushGraphWindow : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        ASSERT_TRUE(graph.Create(&view, CRect(0, 0, 200, 100), 1012, WS_CHILD | WS_VISIBLE));
        graph.ShowGrid(false);
        graph.ShowLabels(false);
        graph.SetMinValue(0);
        graph.SetMaxValue(100);
        graph.SetPlotRect(CRect(20, 10, 180, 90));
    }

    QImage Picture() {
        graph.Update();
        Pump();
        return WindowPicture(graph.m_hWnd);
    }

    CPushGraph graph;
};

TEST_F(PushGraphWindow, WithoutValuesOnlyTheBackgroundTheCursorAndTheValuesAreDrawn) {
    graph.AddLine(0, 0x0000FF);
    graph.SetCursor(50);
    graph.SetValueRects(CRect(100, 0, 160, 10), CRect(), CRect());
    const QImage picture = Picture();
    EXPECT_EQ(picture.pixel(100, 50), Rgb(CPushGraph::kCursorColor)) << "cursor at 20 + 160 * 50 / 100";
    int red = 0;
    int valueText = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            red += picture.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
            valueText += picture.pixel(x, y) != qRgb(0, 0, 0) && y < 10 && x >= 100 ? 1 : 0;
        }
    }
    EXPECT_EQ(red, 0) << "an empty line draws nothing";
    EXPECT_GT(valueText, 0) << "the value 0.00";
    EXPECT_EQ(picture.pixel(5, 50), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(60, 50), qRgb(0, 0, 0));
}

TEST_F(PushGraphWindow, LinesStandAtTheirValuesAndAClickInThePlotSeeks) {
    graph.AddLine(0, 0x0000FF);
    graph.AddLine(1, 0x00FF00);
    for (int i = 0; i < 2; ++i) {
        graph.PushValue(0, 50);
        graph.PushValue(1, 75);
    }
    graph.SetCursor(100);
    const QImage picture = Picture();
    // H = 80: 50 lies at 10 + 80 - 40 and 75 at 10 + 80 - 60.
    EXPECT_EQ(picture.pixel(60, 50), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(60, 30), qRgb(0, 255, 0));
    EXPECT_EQ(picture.pixel(60, 70), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(180, 60), Rgb(CPushGraph::kCursorColor))
        << "the cursor at 100 % is the plot's right";

    Click(graph.m_hWnd, QPoint(60, 50));
    Click(graph.m_hWnd, QPoint(5, 50));
    const std::vector<LoggedMessage> seeks = view.Only({CPushGraph::WM_GRAPH_SEEK});
    ASSERT_EQ(seeks.size(), 1u) << "a click beside the plot sends nothing";
    EXPECT_EQ(seeks[0].lParam, 2500);
}
