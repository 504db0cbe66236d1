// Finds and drives the windows of a running Kelvane.exe for e2e_real_program.sh. Commands:
//   start <exe> <folder>       starts the program in <folder>, waits for its dialog, prints its id
//   rect <pid> <id>            prints "x y width height" of control <id> (0: the dialog) on screen
//   text <pid> <id>            prints the text of control <id>
//   choose <pid> <names>       presses "...", types <names> into the Open dialog and opens them
//   plot <pid>                 opens "Plot of the last run" from the window menu, prints its
//                              "x y width height" on screen
//   wait-exit <pid>            waits for the program to end and prints its exit code
// Exit status 0 on success, 1 when a window did not show up in time, 2 on wrong use.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kTimeoutMs = 10000;

struct Search {
    DWORD pid;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    char text[256] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, text, sizeof text);
    if (owner == s->pid && IsWindowVisible(window) && std::string(name) == "#32770" &&
        std::string(text) == s->caption) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog window of process `pid` whose caption is `caption`; null when there is none.
HWND FindDialog(DWORD pid, const char* caption) {
    Search search = {pid, caption, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD pid, const char* caption) {
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 50) {
        if (const HWND window = FindDialog(pid, caption)) {
            return window;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "no window \"%s\" of process %lu\n", caption, pid);
    return nullptr;
}

HWND MainDialog(DWORD pid) {
    return WaitForDialog(pid, "Kelvane@2025");
}

void Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int Start(const char* exe, const char* folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = std::string("\"") + exe + "\"";
    if (!CreateProcessA(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", exe, GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (MainDialog(process.dwProcessId) == nullptr) {
        return 1;
    }
    std::printf("%lu\n", process.dwProcessId);
    return 0;
}

int Rect(HWND dialog, int id) {
    RECT rect;
    GetWindowRect(id == 0 ? dialog : GetDlgItem(dialog, id), &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    return 0;
}

int Text(HWND dialog, int id) {
    char text[4096] = {};
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    std::fputs(text, stdout);
    return 0;
}

int Choose(DWORD pid, HWND dialog, const char* names) {
    Press(dialog, 1001);
    const HWND open = WaitForDialog(pid, "Open");
    if (open == nullptr) {
        return 1;
    }
    SendMessageA(GetDlgItem(open, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names));
    Press(open, IDOK);
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 50) {
        if (!IsWindow(open)) {
            return 0;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "the Open dialog stayed open\n");
    return 1;
}

// The window menu's "Plot of the last run..." (IDM_PLOT) of the program's resources.
constexpr WPARAM kPlotCommand = 0x0020;

int Plot(DWORD pid, HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, kPlotCommand, 0);
    const HWND plot = WaitForDialog(pid, "Plot of the last run");
    if (plot == nullptr) {
        return 1;
    }
    return Rect(plot, 0);
}

int WaitExit(DWORD pid) {
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        std::printf("ended\n");
        return 0;
    }
    const bool ended = WaitForSingleObject(process, kTimeoutMs) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    if (!ended) {
        std::fprintf(stderr, "process %lu still runs\n", pid);
        return 1;
    }
    std::printf("ended %lu\n", code);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Texts go out unchanged: the list's CR LF line ends are part of what the script checks.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 3) {
        return 2;
    }
    const std::string command = argv[1];
    if (command == "start" && argc == 4) {
        return Start(argv[2], argv[3]);
    }
    const DWORD pid = std::strtoul(argv[2], nullptr, 10);
    if (command == "wait-exit") {
        return WaitExit(pid);
    }
    const HWND dialog = MainDialog(pid);
    if (dialog == nullptr) {
        return 1;
    }
    if (command == "plot") {
        return Plot(pid, dialog);
    }
    if (command == "choose" && argc == 4) {
        return Choose(pid, dialog, argv[3]);
    }
    if (argc != 4) {
        return 2;
    }
    const int id = std::atoi(argv[3]);
    if (command == "rect") {
        return Rect(dialog, id);
    }
    return command == "text" ? Text(dialog, id) : 2;
}
