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

// The fewest columns the console is narrowed to: its lines wrap, but stay readable.
constexpr SHORT kMinColumns = 40;

// Narrows the console, `width` pixels wide, to whole columns within `room` pixels, keeping at
// least kMinColumns, and makes its lines wrap there; returns its width in pixels afterwards.
LONG NarrowConsole(LONG width, LONG room) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (width <= room || !GetConsoleScreenBufferInfo(out, &info)) {
        return width;
    }
    const SHORT columns = static_cast<SHORT>(info.srWindow.Right - info.srWindow.Left + 1);
    const LONG cell = columns > 0 ? width / columns : 0;
    if (cell <= 0) {
        return width;
    }
    const LONG frame = width - columns * cell;
    const SHORT fit =
        static_cast<SHORT>(std::clamp<LONG>((room - frame) / cell, kMinColumns, columns));
    // The window first, then the buffer, which may be no narrower than the window.
    const SMALL_RECT window = {0, info.srWindow.Top, static_cast<SHORT>(fit - 1),
                               info.srWindow.Bottom};
    if (!SetConsoleWindowInfo(out, TRUE, &window)) {
        return width;
    }
    SetConsoleScreenBufferSize(out, COORD{fit, info.dwSize.Y});
    return frame + fit * cell;
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
    LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    LONG x = dialog.right;
    LONG y = Clamp(dialog.top, height, work.top, work.bottom);
    if (dialog.right + width > work.right) {
        if (dialog.bottom + height <= work.bottom) {
            x = Clamp(dialog.left, width, work.left, work.right);
            y = dialog.bottom;
        } else {
            // No room on either side: the dialog moves to the work area's left edge and the
            // console, narrowed to the room left beside it, follows; its lines wrap.
            const LONG dialogWidth = dialog.right - dialog.left;
            SetWindowPos(m_hWnd, nullptr, work.left, dialog.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            x = work.left + dialogWidth;
            width = NarrowConsole(width, work.right - x);
            if (x + width > work.right) {
                x = std::max(work.left, work.right - width);
            }
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
