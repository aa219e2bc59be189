#pragma once
// The bookkeeping of showing one channel alone over its monitor, apart from the windows: where
// the main window stood and how large it was, which panels were visible, and the rectangles the
// main window takes in either mode.

#include "platform/ui/rect.h"

#include <array>

class FullScreenState {
  public:
    // The windows beside the main window that full screen hides and brings back.
    enum Panel { MAP, GSENSOR, DEFOG, PLAYLIST, SETTINGS, PANEL_COUNT };
    using PanelFlags = std::array<bool, PANEL_COUNT>;

    static bool IsChannel(int channel) { return channel >= 0 && channel <= 3; }

    // Where the main window starts, at the size of the skin's main window.
    void SetNormalPosition(CPoint position) { m_normalPosition = position; }
    void SetBaseSize(CSize size) { m_baseSize = size; }
    CPoint GetNormalPosition() const { return m_normalPosition; }
    CSize GetBaseSize() const { return m_baseSize; }

    // Entering: the main window's place to come back to.
    void RememberNormal(const CRect& windowRect);
    // The place to come back to: the remembered position and size.
    CRect NormalRect() const;
    // The place without a channel to show: the remembered position at the skin's size.
    CRect BaseRect() const;
    // Over the whole monitor: from the work area's left edge and the monitor's top.
    static CRect EnlargedRect(int monitorLeft, int monitorTop, int monitorWidth, int monitorHeight);

    // Hiding: which panels were visible; restoring answers them.
    void RememberPanels(const PanelFlags& visible) { m_panels = visible; }
    const PanelFlags& RememberedPanels() const { return m_panels; }

  private:
    CPoint m_normalPosition{0, 0};
    CRect m_normalRect{0, 0, 0, 0};
    CSize m_baseSize{0, 0};
    PanelFlags m_panels{};
};
