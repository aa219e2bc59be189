#pragma once
// A scrolling line graph: values pushed into lines by id, drawn over a background picture in a
// plot rectangle, with a cursor line and three current values as text. A click in the plot tells
// the main view where, in 1/10000 of the plot's width.

#include "platform/ui/font.h"
#include "viewer/skin/basewnd.h"
#include "viewer/skin/borrowedbitmap.h"

#include <vector>

struct PushGraphLine {
    COLORREF color = 0;
    UINT id = 0;
    bool bar = false;
    // Stored as value - minimum.
    std::vector<int> values;
};

class CPushGraph : public CBaseWnd {
  public:
    static constexpr UINT WM_GRAPH_SEEK = 10010;
    static constexpr int kMinimumGridSpacing = 3;
    static constexpr COLORREF kCursorColor = 0x7D7D7D;
    static constexpr COLORREF kValueColors[3] = {0x03C7A9, 0x022AF5, 0xFF9600};

    CPushGraph();
    ~CPushGraph() override;

    using CBaseWnd::Create;

    void SetMinValue(int value) { m_minimum = value; }
    void SetMaxValue(int value) { m_maximum = value; }
    int GetMinValue() const { return m_minimum; }
    int GetMaxValue() const { return m_maximum; }
    void SetGridSpacing(int spacing);
    int GetGridSpacing() const { return m_gridSpacing; }
    void ShowGrid(bool show) { m_showGrid = show; }
    void ShowLabels(bool show) { m_showLabels = show; }
    void SetLabelTexts(const CString& top, const CString& bottom);
    void SetPlotRect(const CRect& rect) { m_plot = rect; }
    CRect GetPlotRect() const { return m_plot; }
    // The picture stays the caller's; it is drawn unscaled at the corner.
    void SetBackgroundBitmap(HBITMAP bitmap);
    void SetCursor(int percent) { m_cursor = percent; }
    int GetCursor() const { return m_cursor; }
    void SetCurrentValues(double x, double y, double z);
    void SetValueRects(const CRect& x, const CRect& y, const CRect& z);

    void AddLine(UINT id, COLORREF color, bool bar = false);
    // Every line with the id goes.
    void RemoveLine(UINT id);
    // Clamped to the range and appended to the last line added with the id; false for an unknown id.
    bool PushValue(UINT id, int value);
    bool SetLineColor(UINT id, COLORREF color);
    // 0 for an unknown id.
    COLORREF GetLineColor(UINT id) const;
    const std::vector<PushGraphLine>& GetLines() const { return m_lines; }
    // Repaints at once.
    void Update();

    // The y of a stored value: plot top + H - H * value / range, the product taken in 64 bits so
    // that a tall plot with a wide range does not overflow.
    static int ValueY(const CRect& plot, long long value, int range);
    // The points each line is drawn through: every line padded to the longest (an empty one as 0,
    // the others repeating their last value), one point per x, the first value that lands on it.
    // Nothing when no line holds a value or the range is not positive.
    static std::vector<std::vector<POINT>> BuildPolylines(const CRect& plot, int range,
                                                          const std::vector<PushGraphLine>& lines);
    // The place of a click in 1/10000 of the plot's width; false outside the plot.
    static bool ClickPosition(const CRect& plot, CPoint point, LPARAM* position);

  protected:
    void DrawSkin(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;

  private:
    void DrawGrid(CDC* dc) const;
    void DrawLabels(CDC* dc);
    void DrawValues(CDC* dc);

    std::vector<PushGraphLine> m_lines;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_gridSpacing = 15;
    bool m_showGrid = true;
    bool m_showLabels = true;
    CRect m_plot;
    int m_cursor = 0;
    double m_values[3] = {};
    CRect m_valueRects[3];
    CString m_topLabel = L"100%";
    CString m_bottomLabel = L"0%";
    COLORREF m_labelColor = 65535;
    COLORREF m_backgroundColor = 0;
    COLORREF m_gridColor = 0x009600;
    CBorrowedBitmap m_background;
    CFont m_font;
};
