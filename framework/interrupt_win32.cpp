#include <io.h>
#include <windows.h>

#include "framework/interrupt.h"
#include "framework/interrupt_cleanup.h"
#include "framework/windows_text.h"

// The console runs the handler on a thread of its own, which takes the lock that holds
// interruptions back before it cleans up.
//
// Closing the console's window sends CTRL_CLOSE_EVENT on Windows. Wine 8 does not: its console
// host ends the program at once with exit code 0 and the handler never runs (measured with a run
// of 13 files of 3 million rows, closed through the window's close box: the outputs in progress
// were left as "+PDRT.tmp" files). Such a temporary begins with the table's header, so the next
// conversion of that file takes it over and replaces the output then.
namespace {

std::FILE* g_report = nullptr;

// What Windows' own Ctrl+C handling ends a console program with.
constexpr UINT kStatusControlCExit = 0xC000013A;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            break;
        default:
            return FALSE;
    }
    const HANDLE report = g_report != nullptr
                              ? reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(g_report)))
                              : INVALID_HANDLE_VALUE;
    CleanUpForInterruption([report](const std::string& path, const std::string& message) {
        // The temporary was opened for sharing with deletion, so it goes although its handle is
        // open; the process's end closes that.
        if (!path.empty()) {
            DeleteFileW(FileSystemPath(path).c_str());
        }
        // The stream's own buffer is left alone: a converting thread may hold its lock.
        const std::string line = message + "\r\n";
        DWORD written = 0;
        if (!message.empty() && report != INVALID_HANDLE_VALUE && !WriteToConsole(report, line)) {
            WriteFile(report, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        }
    });
    // Still holding the lock, so that no conversion moves its temporary meanwhile.
    ExitProcess(kStatusControlCExit);
}

}  // namespace

void InstallInterruptHandlers(std::FILE* report) {
    g_report = report;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
