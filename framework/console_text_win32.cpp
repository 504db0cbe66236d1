#include <io.h>
#include <windows.h>

#include "framework/console_text.h"
#include "framework/windows_text.h"

void WriteConsoleText(std::FILE* stream, std::string_view text) {
    std::fflush(stream);
    if (!WriteToConsole(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), text)) {
        std::fwrite(text.data(), 1, text.size(), stream);
        std::fflush(stream);
    }
}
