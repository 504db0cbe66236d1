#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstddef>
#include <string>
#include <vector>

#include "winui/wnd.h"

// Where GetNextPathName goes on in a file dialog's selection; null after the last path.
using POSITION = const wchar_t*;

// The system's file-open (or save) dialog, Explorer style.
class CFileDialog {
  public:
    // A dialog with default extension `defExt`, initial name `fileName`, `flags` (OFN_EXPLORER is
    // added) and `filter` given as "text|pattern|...||", all UTF-8. The selection buffer holds
    // MAX_PATH wide characters unless the caller points m_ofn.lpstrFile and m_ofn.nMaxFile at a
    // larger one.
    CFileDialog(BOOL openFileDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // Runs the dialog; IDOK once the user chose and the whole selection fit the buffer, else
    // IDCANCEL.
    INT_PTR DoModal();
    // True when the last DoModal ended because the selection did not fit the buffer, or because a
    // multi-file selection came back as only a part of the files selected in the dialog's view.
    bool SelectionTooLong() const { return m_selectionTooLong; }

    // The first chosen path's position, or null when nothing was chosen.
    POSITION GetStartPosition() const;
    // The full path at `position` in UTF-8; moves `position` on to the next one (null after the
    // last).
    std::string GetNextPathName(POSITION& position) const;

    // The parameters handed to the system; the caller may change them before DoModal.
    OPENFILENAMEW m_ofn;

  private:
    static UINT_PTR CALLBACK SelectionHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
    bool SelectionEndsInBuffer() const;
    bool LostSelectedFiles() const;

    BOOL m_openFileDialog;
    CWnd* m_parent;
    std::wstring m_defExt;
    std::wstring m_filter;
    wchar_t m_fileName[MAX_PATH] = {};
    bool m_selectionTooLong = false;
    // The files selected in the dialog's view when Open was pressed.
    std::vector<std::wstring> m_selectedInView;
};
