#include "viewer/ui/fullscreenstate.h"

void FullScreenState::RememberNormal(const CRect& windowRect) {
    m_normalRect = windowRect;
    m_normalPosition = windowRect.TopLeft();
}

CRect FullScreenState::NormalRect() const {
    return CRect(m_normalPosition, m_normalRect.Size());
}

CRect FullScreenState::BaseRect() const {
    return CRect(m_normalPosition, m_baseSize);
}

CRect FullScreenState::EnlargedRect(int monitorLeft, int monitorTop, int monitorWidth, int monitorHeight) {
    return CRect(CPoint(monitorLeft, monitorTop), CSize(monitorWidth, monitorHeight));
}
