#include "winui/menu.h"

#include "framework/windows_text.h"

bool CMenu::AppendItem(UINT flags, UINT_PTR id, const std::string& text) const {
    if ((flags & MF_SEPARATOR) != 0) {
        return ::AppendMenuW(m_hMenu, flags, id, nullptr) != 0;
    }
    return ::AppendMenuW(m_hMenu, flags, id, Widen(text).c_str()) != 0;
}
