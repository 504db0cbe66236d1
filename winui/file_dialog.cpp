#include "winui/file_dialog.h"

#include <cderr.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string_view>

#include "framework/windows_text.h"
#include "winui/win_app.h"

namespace {

// Fills the buffer behind the initial name before the dialog opens: the dialog writes zeros only
// where its selection goes, so a selection whose closing pair of zeros is missing was cut off.
constexpr wchar_t kUnwritten = L'\x01';

// The names of the files (not folders) selected in the list of the Explorer-style dialog
// `dialog`.
std::vector<std::wstring> SelectedFilesInView(HWND dialog) {
    std::vector<std::wstring> files;
    const HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
    const HWND list =
        view != nullptr ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    if (list == nullptr) {
        return files;
    }
    wchar_t folder[MAX_PATH] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    for (int item = -1;
         (item = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(item),
                                               LVNI_SELECTED))) != -1;) {
        wchar_t name[MAX_PATH] = {};
        LVITEMW text = {};
        text.pszText = name;
        text.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&text));
        std::wstring path = folder;
        if (!path.empty() && path.back() != L'\\') {
            path += L'\\';
        }
        const DWORD attributes = GetFileAttributesW((path + name).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            files.emplace_back(name);
        }
    }
    return files;
}

}  // namespace

UINT_PTR CALLBACK CFileDialog::SelectionHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hook, GWLP_USERDATA,
                          reinterpret_cast<const OPENFILENAMEW*>(lParam)->lCustData);
    } else if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_FILEOK) {
        auto* self = reinterpret_cast<CFileDialog*>(GetWindowLongPtrW(hook, GWLP_USERDATA));
        self->m_selectedInView = SelectedFilesInView(GetParent(hook));
    }
    return 0;
}

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
    m_selectedInView.clear();
    m_ofn.hwndOwner = AfxGetSafeOwner(m_parent, nullptr);
    if (m_ofn.nMaxFile == 0) {
        return IDCANCEL;
    }
    const std::size_t initial = wcsnlen(m_ofn.lpstrFile, m_ofn.nMaxFile - 1);
    m_ofn.lpstrFile[initial] = L'\0';
    std::wmemset(m_ofn.lpstrFile + initial + 1, kUnwritten, m_ofn.nMaxFile - initial - 1);
    // A multi-file selection is taken from the dialog's name field, whose text can hold fewer
    // names than the view has selected; the hook counts the selected files to tell.
    const bool multiple = (m_ofn.Flags & OFN_ALLOWMULTISELECT) != 0;
    if (multiple && (m_ofn.Flags & OFN_ENABLEHOOK) == 0) {
        m_ofn.Flags |= OFN_ENABLEHOOK;
        m_ofn.lpfnHook = SelectionHook;
        m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    }
    const BOOL chosen = m_openFileDialog ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
    if (!chosen) {
        m_selectionTooLong = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
        m_ofn.lpstrFile[0] = L'\0';
        return IDCANCEL;
    }
    if (!SelectionEndsInBuffer() || (multiple && LostSelectedFiles())) {
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

bool CFileDialog::LostSelectedFiles() const {
    // Names typed over the selection are the user's choice; only a part of the selection itself
    // coming back is a loss. The view may show names without their extensions.
    const auto shown = [this](std::wstring_view name) {
        const std::wstring_view stem = name.substr(0, name.rfind(L'.'));
        return std::any_of(m_selectedInView.begin(), m_selectedInView.end(),
                           [&](const std::wstring& view) { return view == name || view == stem; });
    };
    std::size_t returned = 0;
    for (const wchar_t* name = m_ofn.lpstrFile + m_ofn.nFileOffset; *name != L'\0';
         name += std::wcslen(name) + 1, ++returned) {
        if (!shown(name)) {
            return false;
        }
    }
    return returned < m_selectedInView.size();
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
