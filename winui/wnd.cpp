#include "winui/wnd.h"

#include <shellapi.h>

#include <algorithm>

#include "framework/windows_text.h"
#include "winui/win_app.h"

void CWnd::SetItemText(int id, const std::string& text) const {
    ::SetDlgItemTextW(m_hWnd, id, Widen(text).c_str());
}

std::string CWnd::GetItemText(int id, int maxCharacters) const {
    if (maxCharacters <= 0) {
        return std::string();
    }
    std::wstring text(static_cast<std::size_t>(maxCharacters), L'\0');
    text.resize(::GetDlgItemTextW(m_hWnd, id, text.data(), maxCharacters));
    return Narrow(text);
}

std::string CWnd::GetItemText(int id) const {
    return GetItemText(id, ::GetWindowTextLengthW(::GetDlgItem(m_hWnd, id)) + 1);
}

void CWnd::DragAcceptFiles(BOOL accept) const {
    ::DragAcceptFiles(m_hWnd, accept);
}

void CWnd::CenterWindow() const {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    RECT around = area;
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !::IsIconic(owner)) {
        GetWindowRect(owner, &around);
    }
    RECT rect;
    GetWindowRect(m_hWnd, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    LONG x = (around.left + around.right - width) / 2;
    LONG y = (around.top + around.bottom - height) / 2;
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::Default() {
    m_defaultWanted = true;
    return 0;
}

bool CWnd::BeginMessage() {
    const bool previous = m_defaultWanted;
    m_defaultWanted = false;
    return previous;
}

bool CWnd::EndMessage(bool previous) {
    const bool wanted = m_defaultWanted;
    m_defaultWanted = previous;
    return wanted;
}

HWND AfxGetSafeOwner(const CWnd* parent, const CWnd* self) {
    if (parent != nullptr) {
        return parent->GetSafeHwnd();
    }
    const CWinApp* app = AfxGetApp();
    if (app == nullptr || app->m_pMainWnd == nullptr || app->m_pMainWnd == self) {
        return nullptr;
    }
    return app->m_pMainWnd->GetSafeHwnd();
}
