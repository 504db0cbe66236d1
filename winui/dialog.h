#pragma once

#include <windows.h>

#include <cstddef>

#include "winui/wnd.h"

// A modal dialog built from a dialog template of the program's resources. Derived dialogs bind
// messages in their OnMessage and control notifications in their OnCommand (see DispatchCommand).
// An exception that leaves a handler is shown in an error box and the dialog stays open. A dialog
// that OnInitDialog leaves where the template put it opens centred over its owner.
class CDialog : public CWnd {
  public:
    // A dialog from template `templateId`, owned by `parent` (null: the application's main window).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_templateId(templateId), m_parent(parent) {}

    // Runs the dialog until EndDialog; returns its result, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    // Prepares the controls; TRUE lets the system focus the first tab stop.
    virtual BOOL OnInitDialog() { return TRUE; }
    // The OK button or Enter: ends the dialog with IDOK.
    virtual void OnOK() { EndDialog(IDOK); }
    // The Cancel button, Esc or the close box: ends the dialog with IDCANCEL.
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Ends the modal run once the current message is handled; DoModal returns `result`.
    void EndDialog(int result) const { ::EndDialog(m_hWnd, result); }

  protected:
    // Handles one window message; true when handled, with the message's result in `result`.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Handles notification `code` from control (or command) `id`; true when handled. The base
    // binds IDOK to OnOK and IDCANCEL to OnCancel and hands other commands to the application.
    virtual bool OnCommand(UINT code, int id, HWND control);

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    CWnd* m_parent;
};

// One row of a dialog's command table: notification `code` from control `id` runs `handler`.
template <class Dialog>
struct CommandBinding {
    UINT code;
    int id;
    void (Dialog::*handler)();
};

// Runs the handler that `table` binds to (`code`, `id`); false when there is none.
template <class Dialog, std::size_t N>
bool DispatchCommand(Dialog& dialog, const CommandBinding<Dialog> (&table)[N], UINT code, int id) {
    for (const CommandBinding<Dialog>& binding : table) {
        if (binding.code == code && binding.id == id) {
            (dialog.*binding.handler)();
            return true;
        }
    }
    return false;
}
