#pragma once

#include <cstdio>
#include <string_view>

// Writes UTF-8 `text` to `stream` so that a person sees it as written: on a Windows console as
// wide characters (the console would otherwise read the bytes in its own code page), elsewhere,
// and into files and pipes, as the bytes themselves. Flushes the stream.
void WriteConsoleText(std::FILE* stream, std::string_view text);
