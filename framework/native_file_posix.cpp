#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "framework/file.h"
#include "framework/native_file_impl.h"

// POSIX has no mandatory sharing modes, so the sharing flags have no effect here.
namespace native_impl {

namespace {

int Fd(NativeHandle handle) {
    return static_cast<int>(handle);
}

}  // namespace

NativeHandle Open(const std::string& path, unsigned flags) {
    int access = O_RDONLY;
    if ((flags & CFile::modeReadWrite) != 0) {
        access = O_RDWR;
    } else if ((flags & CFile::modeWrite) != 0) {
        access = O_WRONLY;
    }
    int creation = 0;
    if ((flags & CFile::modeCreate) != 0) {
        creation = O_CREAT | ((flags & CFile::modeNoTruncate) != 0 ? 0 : O_TRUNC);
    }
    int fd;
    do {
        fd = ::open(path.c_str(), access | creation | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return kNullHandle;
    }
    // Only a read-only open can succeed on a folder; the others already failed with EISDIR.
    struct stat info {};
    if (access == O_RDONLY && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return kNullHandle;
    }
    return fd;
}

bool Close(NativeHandle handle) {
    return ::close(Fd(handle)) == 0;
}

long Read(NativeHandle handle, void* buffer, unsigned long count) {
    ssize_t got;
    do {
        got = ::read(Fd(handle), buffer, count);
    } while (got < 0 && errno == EINTR);
    return static_cast<long>(got);
}

bool Write(NativeHandle handle, const void* buffer, unsigned long count) {
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t put = ::write(Fd(handle), bytes, count);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += put;
        count -= static_cast<unsigned long>(put);
    }
    return true;
}

long long Seek(NativeHandle handle, long long offset, int origin) {
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) {
        errno = EINVAL;
        return -1;
    }
    return ::lseek(Fd(handle), static_cast<off_t>(offset), kWhence[origin]);
}

long long Length(NativeHandle handle) {
    struct stat info {};
    if (::fstat(Fd(handle), &info) != 0) {
        return -1;
    }
    return info.st_size;
}

bool SetLength(NativeHandle handle, long long length) {
    return ::ftruncate(Fd(handle), static_cast<off_t>(length)) == 0;
}

bool Flush(NativeHandle handle) {
    return ::fsync(Fd(handle)) == 0 || errno == EINVAL;
}

bool Replace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

}  // namespace native_impl
