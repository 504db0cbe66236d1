#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "framework/interrupt.h"
#include "framework/windows_text.h"
#include "ui/console_placement.h"
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

ScreenBox BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The console's window `window` as shapes describe it; false when the console cannot tell.
bool ReadConsoleShape(HWND window, ConsoleShape& shape) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    RECT box;
    if (!GetWindowRect(window, &box) || !GetConsoleScreenBufferInfo(out, &info)) {
        return false;
    }
    shape.box = BoxOf(box);
    shape.columns = info.srWindow.Right - info.srWindow.Left + 1;
    shape.rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    CONSOLE_FONT_INFO font;
    const COORD cell = GetCurrentConsoleFont(out, FALSE, &font)
                           ? GetConsoleFontSize(out, font.nFont)
                           : COORD{0, 0};
    shape.cellWidth = cell.X > 0 ? cell.X : shape.box.Width() / std::max(shape.columns, 1L);
    shape.cellHeight = cell.Y > 0 ? cell.Y : shape.box.Height() / std::max(shape.rows, 1L);
    return shape.columns > 0 && shape.rows > 0 && shape.cellWidth > 0 && shape.cellHeight > 0;
}

// Shows `columns` by `rows` cells in the console; its buffer becomes as wide as its window, so
// that long lines wrap rather than run out of sight.
void ResizeConsole(const ConsoleShape& shape, long columns, long rows) {
    if (columns == shape.columns && rows == shape.rows) {
        return;
    }
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(out, &info)) {
        return;
    }
    // The window first, then the buffer, which may be no narrower than the window.
    const SMALL_RECT window = {0, info.srWindow.Top, static_cast<SHORT>(columns - 1),
                               static_cast<SHORT>(info.srWindow.Top + rows - 1)};
    if (SetConsoleWindowInfo(out, TRUE, &window)) {
        SetConsoleScreenBufferSize(out, COORD{static_cast<SHORT>(columns), info.dwSize.Y});
    }
}

}  // namespace

void CMainDlg::PlaceConsoleBeside(HWND console) const {
    RECT dialog;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ConsoleShape shape;
    if (!GetWindowRect(m_hWnd, &dialog) || !ReadConsoleShape(console, shape) ||
        !GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const ConsolePlacement place = PlaceConsole(BoxOf(monitor.rcWork), BoxOf(dialog), shape);
    if (place.dialog.left != dialog.left || place.dialog.top != dialog.top) {
        SetWindowPos(m_hWnd, nullptr, place.dialog.left, place.dialog.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ResizeConsole(shape, place.columns, place.rows);
    SetWindowPos(console, nullptr, place.console.left, place.console.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
