#include "winui/file_dialog.h"

#include <cderr.h>

#include <cstring>

#include "winui/win_app.h"

namespace {

// Fills the buffer behind the initial name before the dialog opens: the dialog writes zeros only
// where its selection goes, so a selection whose closing pair of zeros is missing was cut off.
constexpr char kUnwritten = '\x01';

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
        lstrcpynA(m_fileName, fileName, MAX_PATH);
    }
    if (defExt != nullptr) {
        m_defExt = defExt;
        m_ofn.lpstrDefExt = m_defExt.c_str();
    }
    if (filter != nullptr) {
        m_filter = filter;
        for (char& c : m_filter) {
            if (c == '|') {
                c = '\0';
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
    const std::size_t initial = strnlen(m_ofn.lpstrFile, m_ofn.nMaxFile - 1);
    m_ofn.lpstrFile[initial] = '\0';
    std::memset(m_ofn.lpstrFile + initial + 1, kUnwritten, m_ofn.nMaxFile - initial - 1);
    const BOOL chosen = m_openFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    if (!chosen) {
        m_selectionTooLong = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
        m_ofn.lpstrFile[0] = '\0';
        return IDCANCEL;
    }
    if (!SelectionEndsInBuffer()) {
        m_selectionTooLong = true;
        m_ofn.lpstrFile[0] = '\0';
        return IDCANCEL;
    }
    return IDOK;
}

bool CFileDialog::SelectionEndsInBuffer() const {
    const char* buffer = m_ofn.lpstrFile;
    const std::size_t size = m_ofn.nMaxFile;
    const std::size_t first = strnlen(buffer, size);
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) == 0) {
        return first < size;
    }
    for (std::size_t i = first; i + 1 < size; ++i) {
        if (buffer[i] == '\0' && buffer[i + 1] == '\0') {
            return true;
        }
    }
    return false;
}

POSITION CFileDialog::GetStartPosition() const {
    return m_ofn.lpstrFile[0] != '\0' ? m_ofn.lpstrFile : nullptr;
}

std::string CFileDialog::GetNextPathName(POSITION& position) const {
    const char* buffer = m_ofn.lpstrFile;
    const char* name = position;
    if (name == buffer) {
        const char* afterFirst = buffer + std::strlen(buffer) + 1;
        if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) == 0 || *afterFirst == '\0') {
            position = nullptr;
            return buffer;
        }
        name = afterFirst;
    }
    const char* next = name + std::strlen(name) + 1;
    position = *next != '\0' ? next : nullptr;
    std::string path = buffer;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    return path + name;
}
