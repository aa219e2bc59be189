#include "viewer/ui/playbackcontrolrules.h"

CRect PlaybackControlRules::OnPrimaryScreen(int screenWidth, int screenHeight, CSize bar) {
    return CRect(CPoint((screenWidth - bar.cx) / 2, screenHeight - bar.cy), bar);
}

CRect PlaybackControlRules::AtBottom(int monitorLeft, int monitorTop, int monitorWidth, int monitorHeight,
                                     CSize bar) {
    return CRect(CPoint(monitorLeft + (monitorWidth - bar.cx) / 2, monitorTop + monitorHeight - bar.cy), bar);
}

bool PlaybackControlRules::HidesWithCursorAt(int cursorY, int monitorTop, int monitorHeight) {
    return monitorTop + monitorHeight - kBottomReach > cursorY;
}

bool PlaybackControlRules::Forwards(Slider slider, UINT code, HWND viewSlider) {
    if (viewSlider == nullptr) {
        return false;
    }
    return code == SB_ENDSCROLL || (slider == SPEED && code == SB_THUMBTRACK);
}

std::wstring PlaybackControlRules::SpeedText(int speed) {
    return speed < 0 ? L"    ---" : L"    " + std::to_wstring(speed);
}
