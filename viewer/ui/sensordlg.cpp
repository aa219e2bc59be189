#include "viewer/ui/sensordlg.h"

#include "platform/base/filesystem.h"
#include "platform/base/resourcemodule.h"
#include "platform/ui/app.h"
#include "platform/ui/drop.h"
#include "platform/ui/guithread.h"
#include "platform/ui/window.h"
#include "viewer/app/globals.h"
#include "viewer/skin/resstorage.h"
#include "viewer/ui/panelkeys.h"

#include <string>

namespace {

constexpr DWORD kChildStyle = 0x56000000; // child, visible, clip siblings and children
constexpr DWORD kCloseOptions = CButtonEx::OPTION_MASK_REGION | CBaseWnd::OPTION_HOVER;
constexpr COLORREF kImageKey = RGB(255, 0, 255);
constexpr UINT kCloseTipText = 198;
constexpr int kMaxTipWidth = 200;

} // namespace

SensorDlg::SensorDlg(CWnd* parent) : CSlideSon(IDD, parent) {
    m_templateStyle = WS_POPUP | WS_CLIPCHILDREN;
    m_templateExStyle = WS_EX_ACCEPTFILES;
}

SensorDlg::~SensorDlg() {
    // The controls go with the window, before the objects they are drawn by.
    DestroyWindow();
}

BOOL SensorDlg::OnInitDialog() {
    CSlideSon::OnInitDialog();
    m_graph.Create(this, CRect(), kGraphId, kChildStyle);
    m_graph.ShowGrid(false);
    m_graph.ShowLabels(false);
    m_graph.SetMinValue(kGraphMinimum);
    m_graph.SetMaxValue(kGraphMaximum);
    for (UINT line = 0; line < 3; ++line) {
        m_graph.AddLine(line, kStartColors[line]);
    }
    DragAcceptFiles(TRUE);
    return TRUE;
}

void SensorDlg::SetResStorage(ResStorage* store) {
    if (store == nullptr) {
        return;
    }
    m_store = store;
    m_languageId = store->GetLanguageId();
}

void SensorDlg::CreateControls() {
    if (m_store == nullptr || m_graph.m_hWnd == nullptr) {
        return;
    }
    const CRect panel = m_store->GetComponentRect(CID_SENSOR_PANEL, CRect());
    SetWindowPos(HWND_TOP, panel.left, panel.top, panel.Width(), panel.Height(), 0);

    const CRect graph = m_store->GetComponentRect(CID_SENSOR_GRAPH, CRect());
    m_graph.MoveWindow(&graph, TRUE);
    m_graph.SetBackgroundBitmap(m_store->GetComponentInfo(CID_SENSOR_GRAPH)[0]);
    m_graph.SetPlotRect(m_store->GetComponentRect(CID_SENSOR_PLOT, graph));
    m_graph.SetValueRects(m_store->GetComponentRect(CID_SENSOR_VALUE_X, CRect()),
                          m_store->GetComponentRect(CID_SENSOR_VALUE_Y, CRect()),
                          m_store->GetComponentRect(CID_SENSOR_VALUE_Z, CRect()));

    // Below the graph; where the graph leaves the panel bare it moves the panel.
    m_background.Create(this, CRect(0, 0, panel.Width(), panel.Height()), kBackgroundId, kChildStyle);
    m_background.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_background.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    m_background.SetSizingEdges(CStaticEx::OPTION_GRIP, m_hWnd);

    m_close.Create(this, m_store->GetComponentRect(CID_SENSOR_CLOSE, graph), kCloseId, kChildStyle);
    m_close.ModifyOptions(0, kCloseOptions);
    const ComponentImages images = m_store->GetComponentInfo(CID_SENSOR_CLOSE);
    m_close.SetImages(images[0], images[1], images[2], images[3], images[4], kImageKey, CRect());
    m_close.ShowWindow(SW_HIDE);

    if (m_toolTip.m_hWnd == nullptr) {
        m_toolTip.Create(this);
    }
    m_toolTip.SetMaxTipWidth(kMaxTipWidth);
    m_toolTip.AddTool(&m_close, LoadStringLang(g_hResourceDll, kCloseTipText, m_languageId).c_str());
}

void SensorDlg::ResetGraph() {
    m_graph.SetCursor(0);
    for (UINT line = 0; line < 3; ++line) {
        m_graph.RemoveLine(line);
        m_graph.AddLine(line, kResetColors[line]);
    }
    m_graph.SetCurrentValues(0.0, 0.0, 0.0);
    if (m_graph.m_hWnd != nullptr) {
        m_graph.Invalidate(FALSE);
    }
}

void SensorDlg::AddSample(int x, int y, int z) {
    m_graph.PushValue(0, x);
    m_graph.PushValue(1, y);
    m_graph.PushValue(2, z);
}

void SensorDlg::SetCursor(int percent) {
    m_graph.SetCursor(percent);
    m_graph.Update();
}

void SensorDlg::SetCurrentValues(double x, double y, double z) {
    m_graph.SetCurrentValues(x, y, z);
}

BOOL SensorDlg::DockToParent() {
    if (MeasureRects()) {
        Run({SlideRules::Place(m_parentRect.left + kDockOffsetX, m_parentRect.top + kDockOffsetY,
                               m_ownRect.Width(), m_ownRect.Height(), SlideStep::Top, 0)});
    }
    return TRUE;
}

BOOL SensorDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (id >= kFirstHidingCommand && id <= kLastHidingCommand) {
        ShowWindow(SW_HIDE);
        return TRUE;
    }
    return CSlideSon::OnCommand(wParam, lParam);
}

void SensorDlg::OnDropFiles(HDROP drop) {
    for (const std::wstring& path : DroppedFiles(drop)) {
        FileSystem::Status status;
        if (path.size() > kMaxDroppedPath || !FileSystem::GetStatus(path, status) || g_hViewWnd == nullptr) {
            continue;
        }
        ::SendMessageW(g_hViewWnd, status.isDirectory ? WM_OPEN_FOLDER : WM_OPEN_FILE, 0,
                       reinterpret_cast<LPARAM>(path.c_str()));
    }
    CSlideSon::OnDropFiles(drop);
}

BOOL SensorDlg::PreTranslateMessage(MSG* message) {
    if (TranslateSidePanelKey(*message)) {
        return TRUE;
    }
    if (m_toolTip.m_hWnd != nullptr) {
        m_toolTip.RelayEvent(message);
    }
    return CSlideSon::PreTranslateMessage(message);
}
