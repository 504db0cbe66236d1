#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

// The longest line, in characters, that BreakLongLines leaves in a message box's text.
inline constexpr std::size_t kBoxLineWidth = 80;

// `text` with every line longer than `width` characters broken after its last '\', '/' or space
// within the width (or, lacking one, at the width itself), so that a box naming a long path stays
// on the screen. Nothing is dropped: taking the inserted line ends out gives `text` back.
std::string BreakLongLines(std::string_view text, std::size_t width = kBoxLineWidth);

// Shows UTF-8 `text` in a message box of `type` with caption `caption` (empty: "Error"), owned
// by `owner`; returns the button pressed, or 0 when the box could not be shown.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);
