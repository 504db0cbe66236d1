#include <windows.h>

#include <algorithm>

#include "framework/path_key.h"
#include "framework/windows_text.h"

// NTFS compares names by upper-casing them with a table of its own, independent of the user's
// language; the invariant locale's upper case is the nearest mapping the system offers.
std::string PathKey(const std::string& path) {
    std::wstring wide = Widen(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.empty()) {
        return path;
    }
    std::wstring upper(wide.size(), L'\0');
    const int length =
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()),
                     upper.data(), static_cast<int>(upper.size()));
    if (length <= 0) {
        return Narrow(wide);
    }
    upper.resize(static_cast<std::size_t>(length));
    return Narrow(upper);
}
