#include "winui/resource_string.h"

#include "framework/windows_text.h"
#include "winui/win_app.h"

std::string AfxLoadString(UINT id) {
    // Table strings are at most 4097 characters long; a zero length means there is no such string.
    wchar_t text[4100] = {};
    const int length = LoadStringW(AfxGetResourceHandle(), id, text, 4100);
    return Narrow(std::wstring_view(text, static_cast<std::size_t>(length > 0 ? length : 0)));
}
