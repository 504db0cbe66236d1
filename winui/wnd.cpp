#include "winui/wnd.h"

#include <algorithm>

#include "winui/win_app.h"

int CWnd::GetDlgItemTextA(int id, char* text, int size) const {
    return static_cast<int>(::GetDlgItemTextA(m_hWnd, id, text, size));
}

std::string CWnd::GetDlgItemTextA(int id) const {
    const HWND control = ::GetDlgItem(m_hWnd, id);
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CWnd::CenterWindow() const {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
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
