#include <windows.h>

#include "framework/path_keys.h"
#include "framework/windows_text.h"

namespace {

// NTFS compares names by upper-casing them with a table of its own, independent of the user's
// language; the invariant locale's upper case is the nearest mapping the system offers.
std::wstring UpperCase(const std::wstring& text) {
    if (text.empty()) {
        return text;
    }
    std::wstring upper(text.size(), L'\0');
    const int length =
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.data(), static_cast<int>(text.size()),
                     upper.data(), static_cast<int>(upper.size()));
    if (length <= 0) {
        return text;
    }
    upper.resize(static_cast<std::size_t>(length));
    return upper;
}

// The key of `folder`: its volume's serial number and its index there, or its full path in upper
// case after a mark no path begins with.
std::string FolderKey(const std::string& folder) {
    const std::wstring path = FileSystemPath(folder);
    // Only the attributes are asked for, sharing everything, so no one's use of it is in the way.
    const HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = GetFileInformationByHandle(handle, &info) != 0 &&
                           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        CloseHandle(handle);
        if (known) {
            return std::to_string(info.dwVolumeSerialNumber) + ':' +
                   std::to_string(info.nFileIndexHigh) + ':' + std::to_string(info.nFileIndexLow) +
                   '\\';
        }
    }
    return '\n' + Narrow(UpperCase(path)) + '\\';
}

}  // namespace

std::string PathKeys::Key(const std::string& path) {
    std::size_t name = path.find_last_of("\\/") + 1;
    if (name == 0 && path.size() >= 2 && path[1] == ':') {
        name = 2;  // "C:name": in that drive's current folder
    }
    const std::string folder = name > 0 ? path.substr(0, name) : ".";
    auto [known, added] = m_folders.try_emplace(folder);
    if (added) {
        known->second = FolderKey(folder);
    }
    return known->second + Narrow(UpperCase(Widen(path.substr(name))));
}
