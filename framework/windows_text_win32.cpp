#include "framework/windows_text.h"

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// The current folder, or the current folder of `drive` ("C:") when it is given.
std::wstring CurrentFolder(const std::wstring& drive) {
    const std::wstring query = drive.empty() ? std::wstring(L".") : drive;
    const DWORD size = GetFullPathNameW(query.c_str(), 0, nullptr, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = GetFullPathNameW(query.c_str(), size, folder.data(), nullptr);
    folder.resize(length < size ? length : 0);
    return folder;
}

// True for "C:\\..." and "\\\\server\\share...".
bool IsAbsolute(std::wstring_view path) {
    return (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' &&
            IsSeparator(path[2])) ||
           (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
            !IsSeparator(path[2]));
}

// The length of an absolute path's root with its separator: "C:\\" or "\\\\server\\share\\".
std::size_t RootLength(std::wstring_view path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::size_t end = 2;
        for (int separators = 0; end < path.size(); ++end) {
            if (IsSeparator(path[end]) && ++separators == 2) {
                return end + 1;
            }
        }
        return path.size();
    }
    return path.size() >= 3 ? 3 : path.size();
}

// `root` (such as "C:\" or "\\server\share\") followed by the components of `rest`, with "." and
// ".." resolved; ".." never climbs above the root.
std::wstring Join(const std::wstring& root, std::wstring_view rest) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !IsSeparator(rest[end])) {
            ++end;
        }
        const std::wstring_view part = rest.substr(start, end - start);
        if (part == L"..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring joined = root;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            joined += L'\\';
        }
        joined += parts[i];
    }
    return joined;
}

}  // namespace

std::wstring Widen(std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

bool WriteToConsole(void* handle, std::string_view text) {
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode)) {
        return false;
    }
    const std::wstring wide = Widen(text);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return true;
}

bool IsDevicePath(std::string_view path) {
    if (path.size() >= 4 && IsSeparator(static_cast<wchar_t>(path[0])) &&
        IsSeparator(static_cast<wchar_t>(path[1])) && path[2] == '.' &&
        IsSeparator(static_cast<wchar_t>(path[3]))) {
        return true;
    }
    // A bare reserved device name, as typed for the device itself: "CON", "nul.txt", "COM1". In
    // a path with a folder such a name is a file's, which the long-path form reaches.
    if (path.find_first_of("\\/:") != std::string_view::npos) {
        return false;
    }
    std::string stem(path.substr(0, path.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    for (char& c : stem) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (stem == device) {
            return true;
        }
    }
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

std::wstring FileSystemPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    const std::wstring_view view = wide;
    if (view.size() >= 4 && IsSeparator(view[0]) && IsSeparator(view[1]) &&
        (view[2] == L'?' || view[2] == L'.') && IsSeparator(view[3])) {
        return wide;
    }
    std::wstring absolute;
    if (IsAbsolute(view)) {
        absolute = wide;
    } else if (view.size() >= 2 && IsDriveLetter(view[0]) && view[1] == L':') {
        // "C:name": relative to that drive's current folder.
        absolute =
            CurrentFolder(std::wstring(view.substr(0, 2))) + L"\\" + std::wstring(view.substr(2));
    } else if (!view.empty() && IsSeparator(view[0])) {
        // "\name": from the root of the current folder's drive or share.
        const std::wstring current = CurrentFolder(std::wstring());
        absolute = std::wstring(current.substr(0, RootLength(current))) + wide;
    } else {
        absolute = CurrentFolder(std::wstring()) + L"\\" + wide;
    }
    if (!IsAbsolute(absolute)) {
        return wide;
    }
    const std::size_t rootLength = RootLength(absolute);
    const std::wstring_view root = std::wstring_view(absolute).substr(0, rootLength);
    const std::wstring_view rest = std::wstring_view(absolute).substr(rootLength);
    if (IsSeparator(root[0])) {
        // \\server\share\ becomes \\?\UNC\server\share\.
        std::wstring unc = L"\\\\?\\UNC\\" + std::wstring(root.substr(2));
        for (wchar_t& c : unc) {
            c = c == L'/' ? L'\\' : c;
        }
        return Join(unc, rest);
    }
    return Join(L"\\\\?\\" + std::wstring(root.substr(0, 2)) + L"\\", rest);
}
