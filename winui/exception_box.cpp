#include "winui/exception_box.h"

#include <exception>
#include <new>
#include <string>

#include "winui/message_box.h"
#include "winui/win_app.h"

namespace {

const char* CurrentExceptionText() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "There is not enough memory to go on.";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "An unexpected error occurred.";
    }
}

}  // namespace

void ReportCurrentException(HWND owner) noexcept {
    const char* text = CurrentExceptionText();
    try {
        ShowMessageBox(owner, BreakLongLines(text), AfxGetAppName(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        // No memory for the text's wide form: what fits a fixed buffer, else the general words.
        wchar_t wide[1024] = {};
        if (MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 1024) == 0) {
            lstrcpynW(wide, L"An unexpected error occurred.", 1024);
        }
        MessageBoxW(owner, wide, nullptr, MB_OK | MB_ICONSTOP);
    }
}
