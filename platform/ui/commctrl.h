#pragma once
// Messages, styles, notifications and structures of the common controls the program uses: the
// report list view with its header, the combo box and its list, with the platform's values.

#include "platform/ui/gdidefs.h"

inline const LPCWSTR WC_LISTVIEWW = L"SysListView32";
inline const LPCWSTR WC_HEADERW = L"SysHeader32";
inline const LPCWSTR WC_COMBOBOXW = L"ComboBox";

constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// Notifications (WM_NOTIFY codes)
constexpr UINT NM_CLICK = static_cast<UINT>(-2);
constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
constexpr UINT NM_CUSTOMDRAW = static_cast<UINT>(-12);
constexpr UINT HDN_BEGINTRACKA = static_cast<UINT>(-306);
constexpr UINT HDN_BEGINDRAG = static_cast<UINT>(-310);
constexpr UINT HDN_BEGINTRACKW = static_cast<UINT>(-326);

// Custom drawing
constexpr DWORD CDDS_PREPAINT = 0x00000001;
constexpr DWORD CDDS_POSTPAINT = 0x00000002;
constexpr DWORD CDDS_ITEM = 0x00010000;
constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
constexpr DWORD CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;
constexpr LRESULT CDRF_DODEFAULT = 0x00000000;
constexpr LRESULT CDRF_NEWFONT = 0x00000002;
constexpr LRESULT CDRF_SKIPDEFAULT = 0x00000004;
constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x00000010;
constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x00000020;
constexpr LRESULT CDRF_NOTIFYPOSTERASE = 0x00000040;
constexpr UINT CDIS_SELECTED = 0x0001;
constexpr UINT CDIS_FOCUS = 0x0010;

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage = 0;
    HDC hdc = nullptr;
    RECT rc;
    DWORD_PTR dwItemSpec = 0;
    UINT uItemState = 0;
    LPARAM lItemlParam = 0;
};

struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText = 0;
    COLORREF clrTextBk = 0;
    int iSubItem = 0;
};

// List view
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;
constexpr DWORD LVS_EX_GRIDLINES = 0x00000001;
constexpr DWORD LVS_EX_HEADERDRAGDROP = 0x00000010;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;

constexpr UINT LVM_GETBKCOLOR = 0x1000;
constexpr UINT LVM_SETBKCOLOR = 0x1001;
constexpr UINT LVM_GETITEMCOUNT = 0x1004;
constexpr UINT LVM_DELETEITEM = 0x1008;
constexpr UINT LVM_DELETEALLITEMS = 0x1009;
constexpr UINT LVM_GETNEXTITEM = 0x100C;
constexpr UINT LVM_GETITEMRECT = 0x100E;
constexpr UINT LVM_HITTEST = 0x1012;
constexpr UINT LVM_ENSUREVISIBLE = 0x1013;
constexpr UINT LVM_SCROLL = 0x1014;
constexpr UINT LVM_DELETECOLUMN = 0x101C;
constexpr UINT LVM_GETCOLUMNWIDTH = 0x101D;
constexpr UINT LVM_SETCOLUMNWIDTH = 0x101E;
constexpr UINT LVM_GETHEADER = 0x101F;
constexpr UINT LVM_GETTEXTCOLOR = 0x1023;
constexpr UINT LVM_SETTEXTCOLOR = 0x1024;
constexpr UINT LVM_GETTEXTBKCOLOR = 0x1025;
constexpr UINT LVM_SETTEXTBKCOLOR = 0x1026;
constexpr UINT LVM_GETTOPINDEX = 0x1027;
constexpr UINT LVM_GETCOUNTPERPAGE = 0x1028;
constexpr UINT LVM_SETITEMSTATE = 0x102B;
constexpr UINT LVM_GETITEMSTATE = 0x102C;
constexpr UINT LVM_GETSELECTEDCOUNT = 0x1032;
constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = 0x1036;
constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = 0x1037;
constexpr UINT LVM_GETITEMW = 0x104B;
constexpr UINT LVM_SETITEMW = 0x104C;
constexpr UINT LVM_INSERTITEMW = 0x104D;
constexpr UINT LVM_INSERTCOLUMNW = 0x1061;
constexpr UINT LVM_GETITEMTEXTW = 0x1073;
constexpr UINT LVM_SETITEMTEXTW = 0x1074;

constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;
constexpr int LVIR_BOUNDS = 0;
constexpr int LVIR_ICON = 1;
constexpr int LVIR_LABEL = 2;
constexpr int LVIR_SELECTBOUNDS = 3;
constexpr UINT LVHT_NOWHERE = 0x0001;
constexpr UINT LVHT_ONITEMLABEL = 0x0004;
constexpr UINT LVHT_ABOVE = 0x0008;
constexpr UINT LVHT_BELOW = 0x0010;
constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;

struct LVITEMW {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    LPWSTR pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
};

struct LVCOLUMNW {
    UINT mask = 0;
    int fmt = 0;
    int cx = 0;
    LPWSTR pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
};

struct LVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
    UINT uKeyFlags = 0;
};

// Header
constexpr UINT HDM_GETITEMCOUNT = 0x1200;
constexpr UINT HDM_GETITEMRECT = 0x1207;
constexpr UINT HDM_GETITEMW = 0x120B;
constexpr UINT HDM_SETITEMW = 0x120C;
constexpr UINT HDI_WIDTH = 0x0001;
constexpr UINT HDI_TEXT = 0x0002;
constexpr UINT HDI_FORMAT = 0x0004;
constexpr UINT HDI_LPARAM = 0x0008;
constexpr UINT HDI_ORDER = 0x0080;
constexpr int HDF_LEFT = 0x0000;
constexpr int HDF_RIGHT = 0x0001;
constexpr int HDF_CENTER = 0x0002;
constexpr int HDF_JUSTIFYMASK = 0x0003;
constexpr int HDF_STRING = 0x4000;

struct HDITEMW {
    UINT mask = 0;
    int cxy = 0;
    LPWSTR pszText = nullptr;
    HBITMAP hbm = nullptr;
    int cchTextMax = 0;
    int fmt = 0;
    LPARAM lParam = 0;
    int iImage = 0;
    int iOrder = 0;
};

struct NMHEADERW {
    NMHDR hdr;
    int iItem = 0;
    int iButton = 0;
    HDITEMW* pitem = nullptr;
};

// Combo box and list box
constexpr DWORD CBS_SIMPLE = 0x0001;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD CBS_HASSTRINGS = 0x0200;

constexpr int CB_ERR = -1;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;

constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;

constexpr int LB_ERR = -1;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
