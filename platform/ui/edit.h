#pragma once
// The single-line edit control ("Edit") on Qt's line edit. A border comes with WS_BORDER or
// WS_EX_CLIENTEDGE. Typing goes through the edit's key messages (its default handling is Qt's);
// ES_NUMBER takes digits only from the keyboard; ES_PASSWORD shows '*' for every character until
// EM_SETPASSWORDCHAR chooses another (0 shows the text). The length limit (EM_LIMITTEXT) holds for
// texts set by the program too. Focus changes reach the parent as EN_SETFOCUS and EN_KILLFOCUS.

#include "platform/ui/wnd.h"

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
// wParam the number of characters; 0 is the largest limit there is.
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;

constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;

class CEdit : public CWnd {
  public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    void LimitText(int characters = 0);
    void SetLimitText(UINT characters) { LimitText(static_cast<int>(characters)); }
    UINT GetLimitText() const;
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    void SetPasswordChar(wchar_t character);
    wchar_t GetPasswordChar() const;
    // end -1 selects to the end of the text.
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
};
