#include <windows.h>

#include "framework/file.h"
#include "framework/native_file_impl.h"

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
    const HANDLE handle = CreateFileA(path.c_str(), access, ShareMode(flags), nullptr, creation,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return kNullHandle;
    }
    // CreateFile with OPEN_ALWAYS reports an existing file through the last error; clear it.
    SetLastError(NO_ERROR);
    return reinterpret_cast<NativeHandle>(handle);
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

bool Replace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Remove(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

}  // namespace native_impl
