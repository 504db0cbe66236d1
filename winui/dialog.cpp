#include "winui/dialog.h"

#include "winui/exception_box.h"
#include "winui/win_app.h"

namespace {

// Messages whose result the dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_QUERYDRAGICON:
        case WM_VKEYTOITEM:
            return true;
        default:
            return false;
    }
}

}  // namespace

INT_PTR CDialog::DoModal() {
    return DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_templateId),
                           AfxGetSafeOwner(m_parent, this), DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_INITDIALOG: {
            RECT before;
            GetWindowRect(m_hWnd, &before);
            result = OnInitDialog();
            RECT after;
            GetWindowRect(m_hWnd, &after);
            if (EqualRect(&before, &after)) {
                CenterWindow();
            }
            return true;
        }
        case WM_COMMAND:
            return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_HELP:
            return OnCommand(0, ID_HELP, nullptr);
        default:
            return false;
    }
}

bool CDialog::OnCommand(UINT code, int id, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case IDOK:
            OnOK();
            return true;
        case IDCANCEL:
            OnCancel();
            return true;
        default: {
            CWinApp* app = AfxGetApp();
            return app != nullptr && app->OnCommand(static_cast<UINT>(id));
        }
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<CDialog*>(lParam)->m_hWnd = window;
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    const INT_PTR handled = dialog->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        dialog->m_hWnd = nullptr;
    }
    return handled;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool outer = BeginMessage();
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = OnMessage(message, wParam, lParam, result);
    } catch (...) {
        ReportCurrentException(m_hWnd);
        handled = true;
        result = 0;
    }
    if (EndMessage(outer) || !handled) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
