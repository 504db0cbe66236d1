#pragma once

// True when `byte` opens a two-byte character in the system's ANSI code page (never on POSIX,
// where paths are UTF-8 and no byte of a multibyte sequence can be taken for '\', '/' or '.').
bool IsAnsiLeadByte(unsigned char byte);
