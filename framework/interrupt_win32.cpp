#include <io.h>
#include <windows.h>

#include <mutex>

#include "framework/interrupt.h"
#include "framework/windows_text.h"

// The console runs the handler on a thread of its own; the armed cleanup is guarded by a lock
// that the converting thread holds while it arms or disarms, and through an InterruptHold.
namespace {

// Recursive: a conversion arms and disarms while an InterruptHold of its own has it.
std::recursive_mutex g_lock;
std::wstring g_temporaryPath;
std::string g_message;
bool g_armed = false;
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
    {
        std::lock_guard<std::recursive_mutex> hold(g_lock);
        if (g_armed) {
            // The temporary was opened for sharing with deletion, so it goes although its
            // handle is open; the process's end closes that.
            DeleteFileW(g_temporaryPath.c_str());
            const HANDLE report = g_report != nullptr
                                      ? reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(g_report)))
                                      : INVALID_HANDLE_VALUE;
            // The stream's own buffer is left alone: the converting thread may hold its lock.
            DWORD written = 0;
            if (report != INVALID_HANDLE_VALUE && !WriteToConsole(report, g_message)) {
                WriteFile(report, g_message.data(), static_cast<DWORD>(g_message.size()), &written,
                          nullptr);
            }
        }
        // Holding the lock, so that no conversion moves its temporary meanwhile.
        ExitProcess(kStatusControlCExit);
    }
}

}  // namespace

// The console's handler waits for the lock, so holding it holds interruptions back.
InterruptHold::InterruptHold() {
    g_lock.lock();
}

void InterruptHold::Release() {
    if (m_held) {
        m_held = false;
        g_lock.unlock();
    }
}

void ArmInterruptCleanup(const std::string& temporaryPath, const std::string& message) {
    std::lock_guard<std::recursive_mutex> hold(g_lock);
    g_temporaryPath = FileSystemPath(temporaryPath);
    g_message = message + "\r\n";
    g_armed = true;
}

void DisarmInterruptCleanup() {
    std::lock_guard<std::recursive_mutex> hold(g_lock);
    g_armed = false;
}

void InstallInterruptHandlers(std::FILE* report) {
    g_report = report;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
