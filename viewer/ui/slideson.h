#pragma once
// The base of the panels beside the main window (playlist, G-sensor panel, map panel): a modeless
// pop-up dialog placed on the screen relative to the main window, its dock parent, either at its
// final place or sliding out from behind it. The steps come from SlideRules; a slide with a delay
// runs its steps on a timer of the panel, so the user interface keeps running meanwhile.

#include "platform/ui/dialog.h"
#include "viewer/ui/sliderules.h"

#include <cstddef>
#include <vector>

class CSlideSon : public CDialog {
  public:
    // The dock parent is the parent given here until Create.
    CSlideSon(UINT templateId, CWnd* parent);
    ~CSlideSon() override;

    // The dock parent becomes the given parent's parent (the view is passed, so the main window),
    // and the dock mode and delay go back to right of it without delay: set them after Create.
    BOOL Create(UINT templateId, CWnd* parent);

    void SetSlideDelay(int milliseconds) { m_slideDelay = milliseconds; }
    // The third value is accepted for the callers' sake and has no use.
    void SetDockMode(int mode, int alignment, int unused);
    int GetDockMode() const { return m_dockMode; }
    int GetSlideDelay() const { return m_slideDelay; }
    CWnd* GetDockParent() const { return m_dockParent; }

    // The panel's final place beside the dock parent.
    virtual BOOL DockToParent();
    // The start of an opening; the size is the one a panel docked below opens to.
    virtual BOOL BeginSlide(CRect size);
    // The movement itself; with a delay it goes on after the call returns, one step per expiry of
    // this timer of the panel.
    BOOL Slide();
    static constexpr UINT_PTR kSlideStepTimer = 0x51DE;

  protected:
    // The screen rectangles of the dock parent (P) and of the panel (S), measured again; false
    // while either window is missing.
    bool MeasureRects();
    // Carries out the steps, in place of any still pending from an earlier operation.
    void Run(std::vector<SlideStep> steps);

    void OnTimer(UINT_PTR id) override;

    CRect m_parentRect;
    CRect m_ownRect;

  private:
    void Continue();
    void Apply(const SlideStep& step);

    int m_dockMode = SlideRules::DOCK_RIGHT;
    CWnd* m_dockParent = nullptr;
    int m_slideDelay = 0;
    int m_alignment = SlideRules::ALIGN_LEFT;
    // The dock parent's window when the steps were worked out: a later step must not reach a
    // window that has gone meanwhile.
    HWND m_stepsParent = nullptr;
    std::vector<SlideStep> m_steps;
    size_t m_nextStep = 0;
};
