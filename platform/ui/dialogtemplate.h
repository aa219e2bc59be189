#pragma once
// Dialog templates: the program's dialog resources, written in code as small tables in dialog
// units. CDialog makes a dialog from the template of its id (or one given directly): the frame,
// then the controls in the template's order (the first lies lowest), each with the dialog's font,
// all before WM_INITDIALOG, so that GetDlgItem, SetDlgItemText and SubclassDlgItem work there.
//
// Dialog units become pixels with the base units of the template's font, as the platform converts
// them: x and widths times baseX / 4, y and heights times baseY / 8, each rounded. "MS Shell Dlg"
// (and "MS Shell Dlg 2") at 8 points, the font every template of the program names, has the base
// units the platform gives it at 96 dots per inch: 6 x 13 pixels. Other fonts are measured: the
// average width of the 52 Latin letters, and the height. A template without DS_SETFONT has the
// system font's 8 x 16.

#include "platform/ui/gdidefs.h"

#include <vector>

struct DialogItemTemplate {
    // "Static", "Edit", "Button", "ComboBox", "SysListView32" or a registered class.
    const wchar_t* className = L"Static";
    // An SS_BITMAP picture's text "#<id>" names its bitmap resource.
    const wchar_t* text = L"";
    // A control is always a child; WS_VISIBLE shows it.
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    UINT id = 0;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    // A pop-up's place is relative to its owner's client area (DS_CENTER centres it instead), a
    // child dialog's to its parent's; cx and cy are the client area's size.
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    const wchar_t* caption = L"";
    // With DS_SETFONT.
    const wchar_t* fontFace = L"MS Shell Dlg";
    WORD pointSize = 8;
    std::vector<DialogItemTemplate> items;
};

// Registers the program's dialog resource of that id, at static initialisation; an id given twice
// keeps its first template (and is traced).
class DialogResource {
  public:
    DialogResource(UINT id, DialogTemplate dialog);
};
// Null when the program has no such dialog resource.
const DialogTemplate* FindDialogTemplate(UINT id);

SIZE DialogBaseUnits(const DialogTemplate& dialog);
// The font of a template's dialog and its controls: made once for each face and size, kept for the
// run.
HFONT DialogFont(const DialogTemplate& dialog);
RECT DialogUnitsToPixels(const DialogTemplate& dialog, short x, short y, short cx, short cy);
// Dialog units of a dialog made from a template to its pixels; FALSE for any other window.
BOOL MapDialogRect(HWND dialog, RECT* rect);
