#include "winui/exception_box.h"

#include <exception>
#include <new>
#include <string>

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
        const std::string caption = AfxGetAppName();
        MessageBoxA(owner, text, caption.c_str(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        MessageBoxA(owner, text, nullptr, MB_OK | MB_ICONSTOP);
    }
}
