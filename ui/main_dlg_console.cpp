#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "framework/interrupt.h"
#include "framework/windows_text.h"
#include "ui/contact.h"
#include "ui/main_dlg.h"

namespace {

using GetConsoleWindowFunction = HWND(WINAPI*)();

// kernel32's GetConsoleWindow, looked up by name since older systems lack it; null without it.
GetConsoleWindowFunction FindGetConsoleWindow() {
    const HMODULE kernel = GetModuleHandleW(L"kernel32");
    if (kernel == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<GetConsoleWindowFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetConsoleWindow")));
}

// The offset of a span of `size` that starts at `wanted`, moved as little as needed to lie within
// [low, high) where it fits.
LONG Clamp(LONG wanted, LONG size, LONG low, LONG high) {
    return std::max(low, std::min(wanted, high - size));
}

}  // namespace

void CMainDlg::PlaceConsoleBeside(HWND console) const {
    RECT dialog;
    RECT own;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(m_hWnd, &dialog) || !GetWindowRect(console, &own) ||
        !GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const RECT& work = monitor.rcWork;
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    LONG x = dialog.right;
    LONG y = Clamp(dialog.top, height, work.top, work.bottom);
    if (dialog.right + width > work.right) {
        if (dialog.bottom + height <= work.bottom) {
            x = Clamp(dialog.left, width, work.left, work.right);
            y = dialog.bottom;
        } else {
            // No room on either side: the console takes the work area's right edge and the
            // dialog moves left of it, as far as the screen allows.
            x = std::max(work.left, work.right - width);
            const LONG dialogX = std::max(work.left, x - (dialog.right - dialog.left));
            SetWindowPos(m_hWnd, nullptr, dialogX, dialog.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SetWindowPos(console, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDlg::OpenConsole() {
    AllocConsole();
    const GetConsoleWindowFunction getConsoleWindow = FindGetConsoleWindow();
    if (getConsoleWindow != nullptr && getConsoleWindow() != nullptr) {
        // Closing the console would end the whole process: take the Close item off its menu.
        CMenu::FromHandle(::GetSystemMenu(getConsoleWindow(), FALSE))
            .DeleteMenu(SC_CLOSE, MF_BYCOMMAND);
        DrawMenuBar(getConsoleWindow());
        PlaceConsoleBeside(getConsoleWindow());
    }
    // Progress lines reach the console as wide characters; anything written to it as bytes is
    // read in the ANSI code page rather than the OEM one.
    SetConsoleOutputCP(GetACP());
    std::freopen("CONOUT$", "w+t", stdout);
    std::freopen("CONIN$", "r+t", stdin);
    // Ctrl+C, Ctrl+Break or closing the console mid-run removes the unfinished output first.
    InstallInterruptHandlers(stdout);
    const std::string title = std::string("Data conversion by ") + kContactAddress;
    SetConsoleTitleW(Widen(title).c_str());
}
