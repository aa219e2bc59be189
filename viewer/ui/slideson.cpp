#include "viewer/ui/slideson.h"

#include "platform/ui/window.h"

#include <utility>

CSlideSon::CSlideSon(UINT templateId, CWnd* parent) : CDialog(templateId, parent), m_dockParent(parent) {}

CSlideSon::~CSlideSon() = default;

BOOL CSlideSon::Create(UINT templateId, CWnd* parent) {
    m_dockParent = parent != nullptr ? parent->GetParent() : nullptr;
    m_slideDelay = 0;
    m_dockMode = SlideRules::DOCK_RIGHT;
    return CDialog::Create(templateId, parent);
}

void CSlideSon::SetDockMode(int mode, int alignment, int) {
    m_dockMode = mode;
    m_alignment = alignment;
}

bool CSlideSon::MeasureRects() {
    if (m_hWnd == nullptr || m_dockParent == nullptr || m_dockParent->m_hWnd == nullptr) {
        return false;
    }
    m_dockParent->GetWindowRect(&m_parentRect);
    GetWindowRect(&m_ownRect);
    return true;
}

BOOL CSlideSon::DockToParent() {
    if (MeasureRects()) {
        Run(SlideRules::DockToParent(m_parentRect, m_ownRect, m_dockMode, m_alignment));
    }
    return TRUE;
}

BOOL CSlideSon::BeginSlide(CRect size) {
    if (MeasureRects()) {
        Run(SlideRules::BeginSlide(m_parentRect, m_ownRect, size, m_dockMode, m_alignment));
    }
    return TRUE;
}

BOOL CSlideSon::Slide() {
    if (MeasureRects()) {
        Run(SlideRules::Slide(m_parentRect, m_ownRect, m_dockMode, m_alignment, m_slideDelay));
    }
    return TRUE;
}

void CSlideSon::Run(std::vector<SlideStep> steps) {
    KillTimer(kSlideStepTimer);
    m_stepsParent = m_dockParent != nullptr ? m_dockParent->m_hWnd : nullptr;
    m_steps = std::move(steps);
    m_nextStep = 0;
    Continue();
}

void CSlideSon::Continue() {
    while (m_nextStep < m_steps.size() && m_hWnd != nullptr) {
        const SlideStep step = m_steps[m_nextStep++];
        if (step.kind == SlideStep::Wait) {
            if (step.milliseconds > 0) {
                SetTimer(kSlideStepTimer, static_cast<UINT>(step.milliseconds));
                return;
            }
            continue;
        }
        Apply(step);
    }
    m_steps.clear();
    m_nextStep = 0;
}

void CSlideSon::Apply(const SlideStep& step) {
    switch (step.kind) {
    case SlideStep::RaiseDockParent:
        ::SetWindowPos(m_stepsParent, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        break;
    case SlideStep::Place:
        if (step.order == SlideStep::BehindDockParent && !::IsWindow(m_stepsParent)) {
            break;
        }
        SetWindowPos(step.order == SlideStep::Top ? HWND_TOP : m_stepsParent, step.x, step.y, step.width,
                     step.height, step.flags);
        break;
    case SlideStep::Show:
        ShowWindow(SW_SHOW);
        break;
    case SlideStep::Wait:
        break;
    }
}

void CSlideSon::OnTimer(UINT_PTR id) {
    if (id == kSlideStepTimer) {
        KillTimer(kSlideStepTimer);
        Continue();
        return;
    }
    CDialog::OnTimer(id);
}
