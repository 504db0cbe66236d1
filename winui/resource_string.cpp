#include "winui/resource_string.h"

#include "winui/win_app.h"

std::string AfxLoadString(UINT id) {
    // Table strings are at most 4097 characters long; a zero length means there is no such string.
    char text[4100] = {};
    const int length = LoadStringA(AfxGetResourceHandle(), id, text, sizeof text);
    return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}
