#pragma once

#include <windows.h>

#include <string>

// A menu the program does not own, reached through its handle.
class CMenu {
  public:
    // Wraps `menu`, which may be null.
    static CMenu FromHandle(HMENU menu) { return CMenu(menu); }

    // The menu's handle, or null when there is none.
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // Appends an item with UTF-8 `text` (a separator with MF_SEPARATOR); false on failure.
    bool AppendItem(UINT flags, UINT_PTR id = 0, const std::string& text = std::string()) const;
    // Deletes the item `position`, taken as a command or an index as `flags` say; false on failure.
    bool DeleteMenu(UINT position, UINT flags) const {
        return ::DeleteMenu(m_hMenu, position, flags) != 0;
    }

    // The menu's handle, or null.
    HMENU m_hMenu;

  private:
    explicit CMenu(HMENU menu) : m_hMenu(menu) {}
};
