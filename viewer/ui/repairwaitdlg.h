#pragma once
// The box with an animated picture shown while a broken recording is repaired. The view creates it
// hidden; the repair worker shows it centred over the view and hides it before every message. The
// worker never touches the window itself: showing and hiding run on the GUI thread while it waits.

#include "platform/ui/dialog.h"
#include "platform/ui/rect.h"
#include "viewer/skin/animatedpicture.h"

class RepairWaitDlg : public CDialog {
  public:
    enum { IDD = 326 };
    static constexpr int kText = 1006;
    static constexpr int kPicture = 1007;
    static constexpr UINT kAnimation = 327;

    explicit RepairWaitDlg(CWnd* parent = nullptr);
    ~RepairWaitDlg() override;

    // The box's top-left corner that centres it over the reference (integer halves).
    static CPoint CentredOrigin(const CRect& box, const CRect& reference);

    // Any thread: centred over the reference, on top, repainted and shown.
    void ShowCentred(const CRect& reference);
    // Any thread.
    void Hide();

    CAnimatedPicture& GetPicture() { return m_picture; }

  protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;

  private:
    void Centre(const CRect& reference);

    CAnimatedPicture m_picture;
};
