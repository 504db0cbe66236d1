#include "dialog_driver.h"

#include <io.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "framework/windows_text.h"
#include "winui/dialog.h"
#include "winui/file_dialog.h"
#include "winui/win_app.h"

namespace {

// The command Settle posts: dialogs hand commands they do not bind to the application.
constexpr UINT kSettleCommand = 0x7F00;

// The application object of the test program, as the real program has one. It counts the
// settle commands that reached it.
class TestApp : public CWinApp {
  public:
    TestApp() : CWinApp("Kelvane") {}

    // Counts the settle commands and, as the program's application does, opens the guide on F1.
    bool OnCommand(UINT id) override {
        if (id == ID_HELP) {
            OnHelp();
            return true;
        }
        if (id != kSettleCommand) {
            return CWinApp::OnCommand(id);
        }
        ++m_settled;
        return true;
    }

    std::atomic<long> m_posted = 0;
    std::atomic<long> m_settled = 0;
};

TestApp g_testApp;

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK CollectVisibleDialog(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && ClassName(window) == "#32770") {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> VisibleDialogs(DWORD thread) {
    std::vector<HWND> found;
    EnumThreadWindows(thread, CollectVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

bool CanCreateWindows() {
    const HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
    if (probe == nullptr) {
        return false;
    }
    DestroyWindow(probe);
    return true;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

HWND WaitForDialog(DWORD thread, const std::function<bool(HWND)>& accept, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (const HWND window : VisibleDialogs(thread)) {
                if (accept(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

void CancelDialogs(DWORD thread, const std::atomic<bool>& done) {
    while (!done) {
        for (const HWND window : VisibleDialogs(thread)) {
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        Sleep(200);
    }
}

HWND WaitForBoxOver(HWND dialog, DWORD timeoutMs) {
    return WaitForDialog(
        GetWindowThreadProcessId(dialog, nullptr),
        [dialog](HWND window) { return window != dialog; }, timeoutMs);
}

std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &length);
    text.resize(length);
    return Narrow(text);
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text) {
    const std::wstring wide = Widen(text);
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
}

void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Settle(HWND dialog) {
    const long ticket = ++g_testApp.m_posted;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kSettleCommand, BN_CLICKED), 0);
    return WaitUntil([ticket] { return g_testApp.m_settled >= ticket; }, 10000);
}

MessageBoxView ReadMessageBox(HWND box) {
    MessageBoxView view;
    view.text = ItemText(box, 0xFFFF);
    DWORD_PTR icon = 0;
    SendMessageTimeoutA(GetDlgItem(box, 0x440), STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
    view.icon = reinterpret_cast<HICON>(icon);
    return view;
}

namespace {

constexpr SHORT kConsoleWidth = 512;

// Makes the console's rows wide enough that no progress line wraps: a wrap that falls on a space
// cannot be told from the end of a line once the row is read back.
void WidenConsole() {
    const HANDLE console =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) {
        return;
    }
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(console, &info) && info.dwSize.X < kConsoleWidth) {
        SetConsoleScreenBufferSize(console, {kConsoleWidth, info.dwSize.Y});
    }
    CloseHandle(console);
}

}  // namespace

DrivenRun RunDriven(CDialog& dialog, const std::function<void(HWND)>& script, DWORD limitMs) {
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> done = false;
    DrivenRun run;
    std::thread helper([&] {
        const HWND window = WaitForDialog(
            thread, [&dialog](HWND candidate) { return candidate == dialog.GetSafeHwnd(); });
        if (window != nullptr) {
            WidenConsole();
            script(window);
        }
    });
    std::thread watchdog([&] {
        if (WaitUntil([&] { return done.load(); }, limitMs)) {
            return;
        }
        run.watchdogFired = true;
        CancelDialogs(thread, done);
    });
    CWinApp* app = AfxGetApp();
    app->m_pMainWnd = &dialog;
    run.result = dialog.DoModal();
    app->m_pMainWnd = nullptr;
    helper.join();
    done = true;
    watchdog.join();
    return run;
}

std::vector<std::string> ConsoleLines() {
    std::fflush(stdout);
    std::vector<std::string> lines;
    const HANDLE console =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) {
        return lines;
    }
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(console, &info)) {
        const auto width = static_cast<std::size_t>(info.dwSize.X);
        std::wstring row(width, L' ');
        bool wrapped = false;
        for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
            DWORD got = 0;
            ReadConsoleOutputCharacterW(console, row.data(), static_cast<DWORD>(width), {0, y},
                                        &got);
            const std::size_t end = row.find_last_not_of(L' ');
            const std::wstring text = end == std::wstring::npos ? L"" : row.substr(0, end + 1);
            if (wrapped) {
                lines.back() += Narrow(text);
            } else {
                lines.push_back(Narrow(text));
            }
            // A line longer than the console is wide goes on in the next row.
            wrapped = text.size() == width;
        }
    }
    CloseHandle(console);
    return lines;
}

StdioGuard::StdioGuard()
    : m_out((std::fflush(stdout), _dup(1))),
      m_in(_dup(0)),
      m_outHandle(GetStdHandle(STD_OUTPUT_HANDLE)),
      m_inHandle(GetStdHandle(STD_INPUT_HANDLE)),
      m_errHandle(GetStdHandle(STD_ERROR_HANDLE)) {}

void StdioGuard::Restore() {
    if (m_restored) {
        return;
    }
    m_restored = true;
    std::fflush(stdout);
    if (m_out >= 0) {
        _dup2(m_out, 1);
        _close(m_out);
    }
    if (m_in >= 0) {
        _dup2(m_in, 0);
        _close(m_in);
    }
    SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
    SetStdHandle(STD_INPUT_HANDLE, nullptr);
    FreeConsole();
    SetStdHandle(STD_OUTPUT_HANDLE, m_outHandle);
    SetStdHandle(STD_INPUT_HANDLE, m_inHandle);
    SetStdHandle(STD_ERROR_HANDLE, m_errHandle);
    std::clearerr(stdout);
}

INT_PTR RunOpenDialog(CFileDialog& dialog, const std::string& dir,
                      const std::function<void(HWND)>& script) {
    const std::wstring initialDir = Widen(dir);
    dialog.m_ofn.lpstrInitialDir = initialDir.c_str();
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> done = false;
    std::thread helper([&] {
        if (const HWND open = WaitForDialog(thread, [](HWND) { return true; })) {
            script(open);
        }
        if (!WaitUntil([&] { return done.load(); }, 3000)) {
            CancelDialogs(thread, done);
        }
    });
    const INT_PTR result = dialog.DoModal();
    done = true;
    helper.join();
    return result;
}
