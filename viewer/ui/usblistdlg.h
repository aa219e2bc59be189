#pragma once
// The USB device list of the start-up: the drives that carry a known recorder in a sorted list,
// and the first of them chosen at once. Run modally with the scan's ids and the skin store, it ends
// before it is ever shown, so no one is asked. Without them it waits, empty, for the user to close it.

#include "platform/ui/combobox.h"
#include "platform/ui/dialog.h"

class ResStorage;

class CUSBListDlg : public CDialog {
  public:
    enum { IDD = 175 };
    static constexpr int kDriveList = 1026;
    // "Open": it has no action of its own.
    static constexpr int kOpen = 1000;

    explicit CUSBListDlg(CWnd* parent = nullptr);

    // The caller keeps the 26 vendor and 26 product ids (by drive letter minus 'A') and the skin
    // store alive while the dialog runs.
    void SetDriveIds(const DWORD* vids, const DWORD* pids);
    void SetResStorage(const ResStorage* skin) { m_skin = skin; }
    // The chosen drive letter minus 'A'; -1 when there is none.
    int GetSelectedDrive() const { return m_selectedDrive; }

  protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;

  private:
    CComboBox m_driveList;
    const DWORD* m_vids = nullptr;
    const DWORD* m_pids = nullptr;
    const ResStorage* m_skin = nullptr;
    int m_selectedDrive = -1;
};
