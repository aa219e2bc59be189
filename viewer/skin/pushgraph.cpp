#include "viewer/skin/pushgraph.h"

#include "platform/ui/window.h"
#include "viewer/app/globals.h"

#include <algorithm>

namespace {

constexpr int kLinePenWidth = 2;
constexpr int kFontHeight = 15;

} // namespace

CPushGraph::CPushGraph() {
    m_className = L"CPushGraph";
    m_font.CreateFont(kFontHeight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
}

CPushGraph::~CPushGraph() {
    DestroyWindow();
}

void CPushGraph::SetGridSpacing(int spacing) {
    m_gridSpacing = std::max(spacing, kMinimumGridSpacing);
}

void CPushGraph::SetLabelTexts(const CString& top, const CString& bottom) {
    m_topLabel = top;
    m_bottomLabel = bottom;
}

void CPushGraph::SetBackgroundBitmap(HBITMAP bitmap) {
    m_background.Borrow(bitmap);
}

void CPushGraph::SetCurrentValues(double x, double y, double z) {
    m_values[0] = x;
    m_values[1] = y;
    m_values[2] = z;
}

void CPushGraph::SetValueRects(const CRect& x, const CRect& y, const CRect& z) {
    m_valueRects[0] = x;
    m_valueRects[1] = y;
    m_valueRects[2] = z;
}

void CPushGraph::AddLine(UINT id, COLORREF color, bool bar) {
    PushGraphLine line;
    line.color = color;
    line.id = id;
    line.bar = bar;
    m_lines.push_back(std::move(line));
}

void CPushGraph::RemoveLine(UINT id) {
    m_lines.erase(std::remove_if(m_lines.begin(), m_lines.end(),
                                 [id](const PushGraphLine& line) { return line.id == id; }),
                  m_lines.end());
}

bool CPushGraph::PushValue(UINT id, int value) {
    for (auto line = m_lines.rbegin(); line != m_lines.rend(); ++line) {
        if (line->id == id) {
            const int clamped = std::min(std::max(value, m_minimum), m_maximum);
            line->values.push_back(clamped - m_minimum);
            return true;
        }
    }
    return false;
}

bool CPushGraph::SetLineColor(UINT id, COLORREF color) {
    bool found = false;
    for (PushGraphLine& line : m_lines) {
        if (line.id == id) {
            line.color = color;
            found = true;
        }
    }
    return found;
}

COLORREF CPushGraph::GetLineColor(UINT id) const {
    for (const PushGraphLine& line : m_lines) {
        if (line.id == id) {
            return line.color;
        }
    }
    return 0;
}

void CPushGraph::Update() {
    if (m_hWnd != nullptr) {
        InvalidateRect(nullptr, FALSE);
        UpdateWindow();
    }
}

int CPushGraph::ValueY(const CRect& plot, long long value, int range) {
    const long long height = plot.Height();
    return static_cast<int>(plot.top + height - height * value / range);
}

std::vector<std::vector<POINT>> CPushGraph::BuildPolylines(const CRect& plot, int range,
                                                           const std::vector<PushGraphLine>& lines) {
    std::vector<std::vector<POINT>> polylines;
    size_t count = 0;
    for (const PushGraphLine& line : lines) {
        count = std::max(count, line.values.size());
    }
    if (count == 0 || range <= 0) {
        return polylines;
    }
    const double width = plot.Width();
    for (const PushGraphLine& line : lines) {
        std::vector<POINT> points;
        int value = 0;
        int lastX = 0;
        for (size_t i = 0; i < count; ++i) {
            if (i < line.values.size()) {
                value = line.values[i];
            }
            const int x =
                plot.left + static_cast<int>(static_cast<double>(i) * width / static_cast<double>(count));
            if (!points.empty() && x == lastX) {
                continue;
            }
            lastX = x;
            points.push_back(POINT{x, ValueY(plot, value, range)});
        }
        polylines.push_back(std::move(points));
    }
    return polylines;
}

bool CPushGraph::ClickPosition(const CRect& plot, CPoint point, LPARAM* position) {
    if (!plot.PtInRect(point) || plot.Width() <= 0) {
        return false;
    }
    *position = static_cast<LPARAM>(point.x - plot.left) * 10000 / plot.Width();
    return true;
}

void CPushGraph::DrawSkin(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    if (m_background.IsSet()) {
        CDC source;
        source.CreateCompatibleDC(dc);
        CBitmap* previous = source.SelectObject(&m_background);
        const CSize size = m_background.Size();
        dc->BitBlt(0, 0, size.cx, size.cy, &source, 0, 0, SRCCOPY);
        source.SelectObject(previous);
    } else {
        dc->FillSolidRect(&client, m_backgroundColor);
    }
    if (m_showGrid) {
        DrawGrid(dc);
    }
    if (m_showLabels) {
        DrawLabels(dc);
    }

    const std::vector<std::vector<POINT>> polylines = BuildPolylines(m_plot, m_maximum - m_minimum, m_lines);
    for (size_t i = 0; i < polylines.size(); ++i) {
        const std::vector<POINT>& points = polylines[i];
        CPen pen(PS_SOLID, kLinePenWidth, m_lines[i].color);
        CPen* previous = dc->SelectObject(&pen);
        dc->Polyline(points.data(), static_cast<int>(points.size()));
        dc->SelectObject(previous);
    }

    CPen cursor(PS_SOLID, 1, kCursorColor);
    CPen* previous = dc->SelectObject(&cursor);
    const int x = m_plot.left + m_plot.Width() * m_cursor / 100;
    dc->MoveTo(x, m_plot.top);
    dc->LineTo(x, m_plot.bottom);
    dc->SelectObject(previous);

    DrawValues(dc);
}

void CPushGraph::DrawGrid(CDC* dc) const {
    CPen pen(PS_SOLID, 1, m_gridColor);
    CPen* previous = dc->SelectObject(&pen);
    for (int x = m_plot.left; x < m_plot.right; x += m_gridSpacing) {
        dc->MoveTo(x, m_plot.top);
        dc->LineTo(x, m_plot.bottom);
    }
    for (int y = m_plot.top; y < m_plot.bottom; y += m_gridSpacing) {
        dc->MoveTo(m_plot.left, y);
        dc->LineTo(m_plot.right, y);
    }
    dc->SelectObject(previous);
}

void CPushGraph::DrawLabels(CDC* dc) {
    CFont* previous = dc->SelectObject(&m_font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(m_labelColor);
    const CSize top = dc->GetTextExtent(m_topLabel);
    const CSize bottom = dc->GetTextExtent(m_bottomLabel);
    CRect topRect(m_plot.left - top.cx, m_plot.top, m_plot.left, m_plot.top + top.cy);
    CRect bottomRect(m_plot.left - bottom.cx, m_plot.bottom - bottom.cy, m_plot.left, m_plot.bottom);
    dc->DrawText(m_topLabel, &topRect, DT_LEFT | DT_TOP);
    dc->DrawText(m_bottomLabel, &bottomRect, DT_LEFT | DT_TOP);
    dc->SelectObject(previous);
}

void CPushGraph::DrawValues(CDC* dc) {
    CFont* previous = dc->SelectObject(&m_font);
    dc->SetBkMode(TRANSPARENT);
    for (int i = 0; i < 3; ++i) {
        CString text;
        text.Format(L"%.2f", m_values[i]);
        dc->SetTextColor(kValueColors[i]);
        CRect rect = m_valueRects[i];
        dc->DrawText(text, &rect, DT_LEFT | DT_TOP);
    }
    dc->SelectObject(previous);
}

void CPushGraph::OnLButtonDown(UINT flags, CPoint point) {
    LPARAM position = 0;
    if (ClickPosition(m_plot, point, &position) && g_hViewWnd != nullptr) {
        ::SendMessageW(g_hViewWnd, WM_GRAPH_SEEK, 0, position);
    }
    CBaseWnd::OnLButtonDown(flags, point);
}
