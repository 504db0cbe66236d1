#pragma once

#include <windows.h>

#include <string>

#include "winui/menu.h"

// A window the program drives through its handle; the base of the dialogs.
class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window's handle, or null while the window does not exist.
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Replaces the text of the child control `id` with UTF-8 `text`.
    void SetItemText(int id, const std::string& text) const;
    // The text of control `id` in UTF-8, of at most its first `maxCharacters` - 1 characters.
    std::string GetItemText(int id, int maxCharacters) const;
    // The whole text of control `id` in UTF-8.
    std::string GetItemText(int id) const;

    // Sends `message` to the window and returns its result; no text passes through here.
    LRESULT SendMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    // True while the window is minimized.
    bool IsIconic() const { return ::IsIconic(m_hWnd) != 0; }
    // The client area, in client coordinates.
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    // Lets files dragged from Explorer be dropped on the window (WM_DROPFILES), or stops it.
    void DragAcceptFiles(BOOL accept = TRUE) const;
    // Centres the window over its owner, or over the work area when it has no visible owner.
    void CenterWindow() const;
    // The window's system menu (revert TRUE restores the standard one and yields none).
    CMenu GetSystemMenu(BOOL revert) const {
        return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert));
    }

    // Leaves the message being handled to the system's default processing once the handler
    // returns; returns 0.
    LRESULT Default();

    // The window's handle while it exists.
    HWND m_hWnd = nullptr;

  protected:
    // Starts handling a message: Default() then applies to it. Returns the previous state, for
    // EndMessage, since handlers can be entered again by nested messages.
    bool BeginMessage();
    // Ends handling a message; true when its handler asked for the default processing.
    bool EndMessage(bool previous);

  private:
    bool m_defaultWanted = false;
};

// The owner for a window about to open: `parent`, else the application's main window, else none.
HWND AfxGetSafeOwner(const CWnd* parent, const CWnd* self);
