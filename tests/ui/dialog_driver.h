#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class CDialog;

// True when windows can be created: there is a display, or Wine's null driver stands in for one.
bool CanCreateWindows();

// Why a test that needs windows is skipped when CanCreateWindows is false.
inline constexpr char kNoWindows[] =
    "Wine cannot create windows here: set DISPLAY to an X server (scripts/test-ui.sh starts Xvfb)";

// Waits, polling, until `condition` holds; false when `timeoutMs` passed first.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Waits for a visible dialog window (#32770) of `thread` that `accept` takes; null on timeout.
HWND WaitForDialog(DWORD thread, const std::function<bool(HWND)>& accept, DWORD timeoutMs = 5000);

// Presses Cancel in every visible dialog of `thread`, again and again, until `done`.
void CancelDialogs(DWORD thread, const std::atomic<bool>& done);

// Waits for a visible dialog window of the same thread as `dialog`, other than `dialog` itself.
HWND WaitForBoxOver(HWND dialog, DWORD timeoutMs = 5000);

// The text of `window` in UTF-8, read as wide characters.
std::string WindowText(HWND window);

// The text of control `id` of `dialog`.
std::string ItemText(HWND dialog, int id);

// Replaces the text of control `id` of `dialog` with UTF-8 `text` as wide characters, as typing
// would, and waits until it is handled.
void SetItemText(HWND dialog, int id, const std::string& text);

// Presses button `id` of `dialog` without waiting: the press may open a nested modal loop.
void Click(HWND dialog, int id);

// Waits until the thread of `dialog` has handled every message posted to it before, in its own
// loop or a nested modal one; false when that took too long.
bool Settle(HWND dialog);

// What a message box shows.
struct MessageBoxView {
    std::string text;
    HICON icon = nullptr;
};

// Reads message box `box`.
MessageBoxView ReadMessageBox(HWND box);

// Runs `dialog` modally on this thread while `script` drives it from a helper thread; the script
// gets the dialog window. Every dialog of this thread still open after `limitMs` is cancelled.
struct DrivenRun {
    INT_PTR result = -1;
    bool watchdogFired = false;
};
DrivenRun RunDriven(CDialog& dialog, const std::function<void(HWND)>& script,
                    DWORD limitMs = 20000);

// Runs the system's open dialog `dialog` on this thread in folder `dir` while `script` drives it
// from a helper thread; whatever is still open a while after the script ends (names refused, an
// error box) is cancelled. Returns DoModal's result.
class CFileDialog;
INT_PTR RunOpenDialog(CFileDialog& dialog, const std::string& dir,
                      const std::function<void(HWND)>& script);

// The lines now on the process's console screen up to the cursor in UTF-8, trailing blanks
// removed; rows filled to the console's width are taken as wrapped and joined to the next.
std::vector<std::string> ConsoleLines();

// Keeps the standard streams and handles of the test runner, and gives them back after a dialog
// pointed them at its console. Restore before any assertion, or its message lands in the console.
class StdioGuard {
  public:
    StdioGuard();
    ~StdioGuard() { Restore(); }
    StdioGuard(const StdioGuard&) = delete;
    StdioGuard& operator=(const StdioGuard&) = delete;

    // Gives the runner its streams back and releases the console; only the first call acts.
    void Restore();

  private:
    int m_out;
    int m_in;
    HANDLE m_outHandle;
    HANDLE m_inHandle;
    HANDLE m_errHandle;
    bool m_restored = false;
};
