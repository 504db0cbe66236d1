#include <windows.h>

#include <algorithm>

#include "framework/file.h"
#include "framework/native_file_impl.h"
#include "framework/os_error.h"
#include "framework/windows_text.h"

namespace native_impl {

namespace {

HANDLE Handle(NativeHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

DWORD ShareMode(unsigned flags) {
    switch (flags & 0x70) {
        case CFile::shareDenyWrite:
            return FILE_SHARE_READ;
        case CFile::shareDenyRead:
            return FILE_SHARE_WRITE;
        case CFile::shareDenyNone:
            return FILE_SHARE_READ | FILE_SHARE_WRITE;
        default:
            // No sharing flag, or shareExclusive: no other program may open the file meanwhile.
            return 0;
    }
}

// Attempts at creating a temporary before giving up on a name that keeps being taken.
constexpr int kTemporaryAttempts = 8;

// True when the file's bytes are those of a temporary that a run left: none, or the start of
// `signature`.
bool LooksLikeLeftover(HANDLE file, std::string_view signature) {
    char head[64];
    const DWORD wanted = static_cast<DWORD>(std::min(signature.size(), sizeof head));
    DWORD got = 0;
    OVERLAPPED atStart = {};
    if (!ReadFile(file, head, wanted, &got, &atStart) && GetLastError() != ERROR_HANDLE_EOF) {
        return false;
    }
    return std::string_view(head, got) == signature.substr(0, got);
}

// Clears what stands at `systemPath` where that loses nothing (see NativeCreateTemporary); false,
// with the reason as the last error, for what must stay. Opening it without sharing is what tells a
// temporary that a running conversion holds from a leftover, and it stays so until deleted.
bool ClearLeftover(const std::wstring& systemPath, std::string_view signature) {
    const HANDLE file =
        CreateFileW(systemPath.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return true;
        }
        SetLastError(error == ERROR_SHARING_VIOLATION ? static_cast<DWORD>(kErrorTemporaryInUse)
                                                      : error);
        return false;
    }
    DWORD error = NO_ERROR;
    bool remove = false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        error = GetLastError();
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A symbolic link or junction: the name alone goes, never what it points to.
        remove = true;
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = static_cast<DWORD>(kErrorFolderInTheWay);
    } else if (info.nNumberOfLinks > 1 || LooksLikeLeftover(file, signature)) {
        remove = true;
    } else {
        error = static_cast<DWORD>(kErrorForeignFileInTheWay);
    }
    if (remove) {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        if (!SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition)) {
            error = GetLastError();
        }
    }
    CloseHandle(file);
    SetLastError(error);
    return error == NO_ERROR;
}

}  // namespace

NativeHandle Open(const std::string& path, unsigned flags) {
    DWORD access = GENERIC_READ;
    if ((flags & CFile::modeReadWrite) != 0) {
        access = GENERIC_READ | GENERIC_WRITE;
    } else if ((flags & CFile::modeWrite) != 0) {
        access = GENERIC_WRITE;
    }
    DWORD creation = OPEN_EXISTING;
    if ((flags & CFile::modeCreate) != 0) {
        creation = (flags & CFile::modeNoTruncate) != 0 ? OPEN_ALWAYS : CREATE_ALWAYS;
    }
    if (IsDevicePath(path)) {
        SetLastError(static_cast<DWORD>(kErrorNotRegularFile));
        return kNullHandle;
    }
    const std::wstring systemPath = FileSystemPath(path);
    const HANDLE handle = CreateFileW(systemPath.c_str(), access, ShareMode(flags), nullptr,
                                      creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(systemPath.c_str());
        // A folder opens as no file; say what it is rather than "access denied".
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        SetLastError(folder ? static_cast<DWORD>(kErrorFolderGiven) : error);
        return kNullHandle;
    }
    if (creation == OPEN_EXISTING && access == GENERIC_READ &&
        GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        SetLastError(static_cast<DWORD>(kErrorNotRegularFile));
        return kNullHandle;
    }
    // CreateFile with OPEN_ALWAYS reports an existing file through the last error; clear it.
    SetLastError(NO_ERROR);
    return reinterpret_cast<NativeHandle>(handle);
}

NativeHandle CreateTemporary(const std::string& path, std::string_view signature) {
    const std::wstring systemPath = FileSystemPath(path);
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        // Shared for deletion only, so that it can be moved over the output while still open.
        const HANDLE handle =
            CreateFileW(systemPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return reinterpret_cast<NativeHandle>(handle);
        }
        const DWORD error = GetLastError();
        const bool exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                            (error == ERROR_ACCESS_DENIED &&
                             GetFileAttributesW(systemPath.c_str()) != INVALID_FILE_ATTRIBUTES);
        if (!exists) {
            SetLastError(error);
            return kNullHandle;
        }
        if (!ClearLeftover(systemPath, signature)) {
            return kNullHandle;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return kNullHandle;
}

bool Close(NativeHandle handle) {
    return CloseHandle(Handle(handle)) != 0;
}

long Read(NativeHandle handle, void* buffer, unsigned long count) {
    DWORD got = 0;
    if (!ReadFile(Handle(handle), buffer, count, &got, nullptr)) {
        return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return static_cast<long>(got);
}

bool Write(NativeHandle handle, const void* buffer, unsigned long count) {
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        DWORD put = 0;
        if (!WriteFile(Handle(handle), bytes, count, &put, nullptr)) {
            return false;
        }
        if (put == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes += put;
        count -= put;
    }
    return true;
}

long long Seek(NativeHandle handle, long long offset, int origin) {
    static constexpr DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin < 0 || origin > 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(Handle(handle), distance, &position, kMethod[origin])) {
        return -1;
    }
    return position.QuadPart;
}

long long Length(NativeHandle handle) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Handle(handle), &size)) {
        return -1;
    }
    return size.QuadPart;
}

bool SetLength(NativeHandle handle, long long length) {
    const long long position = Seek(handle, 0, 1);
    if (position < 0 || Seek(handle, length, 0) < 0) {
        return false;
    }
    const bool cut = SetEndOfFile(Handle(handle)) != 0;
    const DWORD error = GetLastError();
    Seek(handle, position, 0);
    SetLastError(error);
    return cut;
}

bool Flush(NativeHandle handle) {
    return FlushFileBuffers(Handle(handle)) != 0;
}

bool CommitTemporary(NativeHandle handle, const std::string& from, const std::string& to) {
    if (!FlushFileBuffers(Handle(handle))) {
        return false;
    }
    const std::wstring target = FileSystemPath(to);
    const DWORD replaced = GetFileAttributesW(target.c_str());
    constexpr DWORD kKept =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (replaced != INVALID_FILE_ATTRIBUTES && (replaced & kKept) != 0) {
        FILE_BASIC_INFO basic = {};
        basic.FileAttributes = (replaced & kKept) | FILE_ATTRIBUTE_ARCHIVE;
        if (!SetFileInformationByHandle(Handle(handle), FileBasicInfo, &basic, sizeof basic)) {
            return false;
        }
    }
    return MoveFileExW(FileSystemPath(from).c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Replace(const std::string& from, const std::string& to) {
    return MoveFileExW(FileSystemPath(from).c_str(), FileSystemPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Remove(const std::string& path) {
    return DeleteFileW(FileSystemPath(path).c_str()) != 0;
}

bool IsReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace native_impl
