#pragma once
// The open and save dialogs, on Qt's file dialog. The filter is written as the class library writes
// it ("MP4 File (*.mp4)|*.mp4|INI File (*.ini)|*.ini||", patterns of one entry separated by ';').
// Every chosen path is returned whole: there is no name buffer whose size could refuse a selection.

#include "platform/base/cstring.h"
#include "platform/ui/wnd.h"

#include <vector>

constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOVALIDATE = 0x00000100;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
constexpr DWORD OFN_LONGNAMES = 0x00200000;

// Where GetNextPathName goes on; null after the last path.
struct PositionTag;
using POSITION = PositionTag*;

class CFileDialog {
  public:
    // A default name with wildcards ("*.mov") picks the filter entry of that pattern instead of
    // naming a file. The default extension ("mov", ".mov" or "*.mov") is added to a typed name
    // without one. Only OFN_ALLOWMULTISELECT and, for a save dialog, OFN_OVERWRITEPROMPT change
    // Qt's dialog: it never offers read-only opening, and an open dialog only returns files that exist.
    explicit CFileDialog(BOOL openFileDialog, LPCWSTR defaultExtension = nullptr, LPCWSTR fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr,
                         CWnd* parent = nullptr);

    // IDOK with at least one path, else IDCANCEL. Modal over the parent's top-level window (the
    // main window without a parent).
    INT_PTR DoModal();

    // The chosen paths, in the dialog's order.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& position) const;
    // The first chosen path; empty after a cancel.
    CString GetPathName() const;
    // The filter entry chosen last, counted from 1 in the filter's order; 0 without a filter.
    int GetFilterIndex() const { return m_filterIndex; }

  private:
    bool m_open;
    CString m_defaultExtension;
    CString m_fileName;
    DWORD m_flags;
    CString m_filter;
    CWnd* m_parent;
    std::vector<CString> m_paths;
    int m_filterIndex = 0;
};
