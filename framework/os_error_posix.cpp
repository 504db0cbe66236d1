#include <cerrno>
#include <cstring>

#include "framework/file_exception.h"
#include "framework/os_error.h"

long LastOsError() {
    return errno;
}

void SetLastOsError(long osError) {
    errno = static_cast<int>(osError);
}

std::string OsErrorMessage(long osError) {
    if (const char* own = ProjectErrorMessage(osError)) {
        return own;
    }
    char buffer[256] = {};
    // The GNU strerror_r may return a static string instead of filling the buffer.
    const char* text = strerror_r(static_cast<int>(osError), buffer, sizeof buffer);
    return text;
}

int OsErrorToCause(long osError) {
    if (const int own = ProjectErrorCause(osError); own >= 0) {
        return own;
    }
    switch (osError) {
        case 0:
            return CFileException::none;
        case ENOENT:
            return CFileException::fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return CFileException::badPath;
        case EMFILE:
        case ENFILE:
            return CFileException::tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EEXIST:
            return CFileException::accessDenied;
        case EBADF:
            return CFileException::invalidFile;
        case ESPIPE:
        case EINVAL:
            return CFileException::badSeek;
        case EIO:
            return CFileException::hardIO;
        case EBUSY:
        case ETXTBSY:
            return CFileException::sharingViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return CFileException::diskFull;
        default:
            return CFileException::generic;
    }
}
