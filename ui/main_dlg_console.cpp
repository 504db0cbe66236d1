#include <windows.h>

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

}  // namespace

void CMainDlg::OpenConsole() {
    AllocConsole();
    const GetConsoleWindowFunction getConsoleWindow = FindGetConsoleWindow();
    if (getConsoleWindow != nullptr && getConsoleWindow() != nullptr) {
        // Closing the console would end the whole process: take the Close item off its menu.
        CMenu::FromHandle(::GetSystemMenu(getConsoleWindow(), FALSE))
            .DeleteMenu(SC_CLOSE, MF_BYCOMMAND);
        DrawMenuBar(getConsoleWindow());
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
