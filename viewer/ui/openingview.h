#pragma once
// The main view as the opening of cards, folders and files sees it: the boxes it shows while a
// card is read, the folder browser and the file dialog, the taskbar pop-up that offers an arrived
// card, and the USB device list of the start-up. The view implements it over its windows; the
// opener never owns it.

#include "platform/base/wintypes.h"

#include <string>
#include <vector>

// What the file dialog is asked for: a filter in the class library's form, the default extension
// and name, and the OFN_ flags.
struct FileDialogSettings {
    std::wstring filter;
    std::wstring defaultExtension;
    std::wstring fileName;
    DWORD flags = 0;

    bool operator==(const FileDialogSettings& other) const {
        return filter == other.filter && defaultExtension == other.defaultExtension &&
               fileName == other.fileName && flags == other.flags;
    }
};

class IOpeningView {
  public:
    // The string library's text in the view's language.
    virtual std::wstring LoadText(UINT id) = 0;
    // The view window's timer; answers the id it started, 0 on failure.
    virtual UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) = 0;

    // The wait box (template 189) with the text, drawn before the caller blocks the thread on a
    // folder; closed and destroyed again.
    virtual void ShowWaitingBox(const std::wstring& text) = 0;
    virtual void CloseWaitingBox() = 0;
    // The loading box shown; its text follows with SetLoadingMessage.
    virtual void ShowLoadingBox() = 0;
    virtual void SetLoadingMessage(const std::wstring& text) = 0;
    // 1 shows the main window and the side panels that were visible; 0 hides them.
    virtual void ShowMainWindow(int show) = 0;
    // The settings editor reads the catalogue's settings again.
    virtual void ReadConfig() = 0;

    // The folder browser owned by the view; false, leaving the folder alone, when cancelled.
    virtual bool BrowseForFolder(const std::wstring& title, std::wstring& folder) = 0;
    // The open dialog owned by the view; false when cancelled. Paths in the dialog's order.
    virtual bool ChooseFiles(const FileDialogSettings& settings, std::vector<std::wstring>& paths) = 0;

    // The taskbar pop-up: the drive it offers, shown with the times in ms to appear, stay and hide.
    virtual void SetPopupDriveLetter(char letter) = 0;
    virtual char GetPopupDriveLetter() = 0;
    virtual void ShowPopup(const std::wstring& text, DWORD timeToShow, DWORD timeToStay,
                           DWORD timeToHide) = 0;
    virtual void HidePopup() = 0;

    // Runs the USB device list over the start-up scan's ids (26 each, by drive letter): the drive
    // it chose as letter minus 'A', or -1.
    virtual int PickRecorderDrive(const DWORD* vids, const DWORD* pids) = 0;

  protected:
    ~IOpeningView() = default;
};
