#include "platform/ui/messagebox.h"

#include "platform/ui/app.h"
#include "platform/ui/guithread.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"
#include "platform/ui/wnd.h"

#include <QMessageBox>

#include <atomic>
#include <vector>

using namespace uiimpl;

namespace {

std::atomic<MessageBoxHandler*> installedHandler{nullptr};

struct Choice {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<Choice> ChoicesFor(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {
            {QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconFor(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowQtBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    const std::vector<Choice> choices = ChoicesFor(type);
    QMessageBox::StandardButtons buttons;
    for (const Choice& choice : choices) {
        buttons |= choice.button;
    }
    const Window* record = Lookup(TopLevelOf(owner));
    QMessageBox box(IconFor(type), QString::fromStdWString(caption), QString::fromStdWString(text), buttons,
                    record != nullptr ? record->widget.data() : nullptr);
    const size_t defaultIndex = static_cast<size_t>((type & MB_DEFMASK) >> 8);
    if (defaultIndex < choices.size()) {
        box.setDefaultButton(choices[defaultIndex].button);
    }
    if ((type & MB_TOPMOST) != 0) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Choice& choice : choices) {
        if (choice.button == pressed) {
            return choice.result;
        }
    }
    // Closed without a button: the platform answers Cancel, or OK for a box with OK alone.
    return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

int ShowOnGuiThread(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    if (const HWND capture = GetCapture()) {
        SendMessageW(capture, WM_CANCELMODE, 0, 0);
    }
    if (MessageBoxHandler* handler = installedHandler.load()) {
        return handler->Show(owner, text, caption, type);
    }
    return ShowQtBox(owner, text, caption, type);
}

} // namespace

MessageBoxHandler* SetMessageBoxHandler(MessageBoxHandler* handler) {
    return installedHandler.exchange(handler);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    const std::wstring message = text != nullptr ? text : L"";
    const std::wstring title = caption != nullptr ? caption : L"Error";
    if (OnGuiThread()) {
        return ShowOnGuiThread(owner, message, title, type);
    }
    // When the GUI thread cannot take the question (no application object, or it is waiting for
    // this thread) no one could answer.
    int result = IDCANCEL;
    RunOnGuiThread([&] { result = ShowOnGuiThread(owner, message, title, type); }, true);
    return result;
}

int AfxMessageBox(LPCWSTR text, UINT type, UINT) {
    CWnd* main = AfxGetMainWnd();
    const CWinApp* app = AfxGetApp();
    return MessageBoxW(main != nullptr ? main->m_hWnd : nullptr, text,
                       app != nullptr ? static_cast<LPCWSTR>(app->m_strAppName) : L"", type);
}
