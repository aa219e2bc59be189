#pragma once
// The model picker: one radio button for each recorder model, which sets the process-wide model
// index the moment it is clicked. Its start-up sets model 0 and checks that button; cancelling
// keeps the index of the last click. The program starts with SetDefaultModelIndex instead.

#include "platform/ui/dialog.h"

class CSelectModelDialog : public CDialog {
  public:
    enum { IDD = 187 };
    // The radio buttons of models 0 to 3 ("T550", "T310", "T330", "R310 / R330").
    static constexpr UINT kFirstModelButton = 20030;
    static constexpr UINT kLastModelButton = 20033;

    explicit CSelectModelDialog(CWnd* parent = nullptr);

    // The model index a button stands for; -1 for any other id.
    static int ModelIndexOfCommand(UINT id);

  protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};
