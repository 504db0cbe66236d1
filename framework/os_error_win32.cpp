#include <windows.h>

#include "framework/file_exception.h"
#include "framework/os_error.h"
#include "framework/windows_text.h"

long LastOsError() {
    return static_cast<long>(GetLastError());
}

void SetLastOsError(long osError) {
    SetLastError(static_cast<DWORD>(osError));
}

std::string OsErrorMessage(long osError) {
    if (const char* own = ProjectErrorMessage(osError)) {
        return own;
    }
    // The system's own text ("being used by another process") leaves the user to guess which.
    if (osError == ERROR_SHARING_VIOLATION || osError == ERROR_LOCK_VIOLATION) {
        return "it is open in another program";
    }
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(osError), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message;
    if (length != 0 && text != nullptr) {
        message = Narrow(std::wstring_view(text, length));
    }
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = "system error " + std::to_string(osError);
    }
    return message;
}

int OsErrorToCause(long osError) {
    if (const int own = ProjectErrorCause(osError); own >= 0) {
        return own;
    }
    switch (osError) {
        case NO_ERROR:
            return CFileException::none;
        case ERROR_FILE_NOT_FOUND:
            return CFileException::fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_DRIVE:
            return CFileException::badPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return CFileException::tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return CFileException::accessDenied;
        case ERROR_INVALID_HANDLE:
            return CFileException::invalidFile;
        case ERROR_CURRENT_DIRECTORY:
            return CFileException::removeCurrentDir;
        case ERROR_CANNOT_MAKE:
            return CFileException::directoryFull;
        case ERROR_SEEK:
        case ERROR_NEGATIVE_SEEK:
            return CFileException::badSeek;
        case ERROR_CRC:
        case ERROR_GEN_FAILURE:
        case ERROR_NOT_READY:
            return CFileException::hardIO;
        case ERROR_SHARING_VIOLATION:
            return CFileException::sharingViolation;
        case ERROR_LOCK_VIOLATION:
            return CFileException::lockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return CFileException::diskFull;
        case ERROR_HANDLE_EOF:
            return CFileException::endOfFile;
        default:
            return CFileException::generic;
    }
}
