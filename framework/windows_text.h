#pragma once

// The one crossing between the program's own strings, UTF-8 throughout, and the wide-character
// (UTF-16) calls of Windows. Windows-only: no ANSI call and no code page is used anywhere, so no
// name is ever mapped "best fit" to another.

#include <string>
#include <string_view>

// The UTF-16 form of UTF-8 text; a byte that is not UTF-8 becomes U+FFFD.
std::wstring Widen(std::string_view text);

// The UTF-8 form of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view text);

// The path that the wide file calls take for `path`: separators made '\', a relative path made
// absolute against the current folder, "." and ".." resolved, and the "\\?\" (or "\\?\UNC\")
// prefix put in front, which lifts the MAX_PATH limit and keeps names such as "nul.dat" or
// "aux" the files they name rather than devices. A path that already has such a prefix, or that
// names a device ("\\.\..."), is passed on as it is.
std::wstring FileSystemPath(const std::string& path);

// Writes UTF-8 `text` as wide characters when `handle` (a HANDLE) is a console, where bytes would
// be read in the console's code page; true then, false with nothing written otherwise.
bool WriteToConsole(void* handle, std::string_view text);

// True when `path` can only mean a device: "\\.\" followed by anything, or a reserved device
// name alone, whatever its extension ("CON", "nul.txt", "COM1"); in a path with a folder such a
// name is a file's.
bool IsDevicePath(std::string_view path);
