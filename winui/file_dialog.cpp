#include "winui/file_dialog.h"

#include <cderr.h>

#include <cwchar>

#include "framework/windows_text.h"
#include "winui/win_app.h"

namespace {

// Fills the buffer behind the initial name before the dialog opens: the dialog writes zeros only
// where its selection goes, so a selection whose closing pair of zeros is missing was cut off.
constexpr wchar_t kUnwritten = L'\x01';

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_ofn(), m_openFileDialog(openFileDialog), m_parent(parent) {
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.Flags = flags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_fileName;
    m_ofn.nMaxFile = MAX_PATH;
    if (fileName != nullptr) {
        lstrcpynW(m_fileName, Widen(fileName).c_str(), MAX_PATH);
    }
    if (defExt != nullptr) {
        m_defExt = Widen(defExt);
        m_ofn.lpstrDefExt = m_defExt.c_str();
    }
    if (filter != nullptr) {
        m_filter = Widen(filter);
        for (wchar_t& c : m_filter) {
            if (c == L'|') {
                c = L'\0';
            }
        }
        m_ofn.lpstrFilter = m_filter.c_str();
    }
}

INT_PTR CFileDialog::DoModal() {
    m_selectionTooLong = false;
    m_ofn.hwndOwner = AfxGetSafeOwner(m_parent, nullptr);
    if (m_ofn.nMaxFile == 0) {
        return IDCANCEL;
    }
    const std::size_t initial = wcsnlen(m_ofn.lpstrFile, m_ofn.nMaxFile - 1);
    m_ofn.lpstrFile[initial] = L'\0';
    std::wmemset(m_ofn.lpstrFile + initial + 1, kUnwritten, m_ofn.nMaxFile - initial - 1);
    const BOOL chosen = m_openFileDialog ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
    if (!chosen) {
        m_selectionTooLong = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
        m_ofn.lpstrFile[0] = L'\0';
        return IDCANCEL;
    }
    if (!SelectionEndsInBuffer()) {
        m_selectionTooLong = true;
        m_ofn.lpstrFile[0] = L'\0';
        return IDCANCEL;
    }
    return IDOK;
}

bool CFileDialog::SelectionEndsInBuffer() const {
    const wchar_t* buffer = m_ofn.lpstrFile;
    const std::size_t size = m_ofn.nMaxFile;
    const std::size_t first = wcsnlen(buffer, size);
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) == 0) {
        return first < size;
    }
    for (std::size_t i = first; i + 1 < size; ++i) {
        if (buffer[i] == L'\0' && buffer[i + 1] == L'\0') {
            return true;
        }
    }
    return false;
}

POSITION CFileDialog::GetStartPosition() const {
    return m_ofn.lpstrFile[0] != L'\0' ? m_ofn.lpstrFile : nullptr;
}

std::string CFileDialog::GetNextPathName(POSITION& position) const {
    const wchar_t* buffer = m_ofn.lpstrFile;
    const wchar_t* name = position;
    if (name == buffer) {
        const wchar_t* afterFirst = buffer + std::wcslen(buffer) + 1;
        if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) == 0 || *afterFirst == L'\0') {
            position = nullptr;
            return Narrow(buffer);
        }
        name = afterFirst;
    }
    const wchar_t* next = name + std::wcslen(name) + 1;
    position = *next != L'\0' ? next : nullptr;
    std::wstring path = buffer;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') {
        path += L'\\';
    }
    return Narrow(path + name);
}
