#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "framework/file.h"
#include "framework/native_file_impl.h"
#include "framework/os_error.h"

// POSIX has no mandatory sharing modes, so the sharing flags have no effect here.
namespace native_impl {

namespace {

int Fd(NativeHandle handle) {
    return static_cast<int>(handle);
}

// Attempts at creating a temporary before giving up on a name that keeps being taken.
constexpr int kTemporaryAttempts = 8;

// True when the open `fd` and `path` are the same file: nobody replaced the name meanwhile.
bool SameFile(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// True when the file's bytes are those of a temporary that a run left: none, or the start of
// `signature`.
bool LooksLikeLeftover(int fd, std::string_view signature) {
    char head[64];
    const std::size_t wanted = std::min(signature.size(), sizeof head);
    ssize_t got;
    do {
        got = ::pread(fd, head, wanted, 0);
    } while (got < 0 && errno == EINTR);
    return got >= 0 && std::string_view(head, static_cast<std::size_t>(got)) ==
                           signature.substr(0, static_cast<std::size_t>(got));
}

// Removes the name `path` once what it names is known to lose nothing by it.
bool Unlink(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

// Clears what stands at `path` where that loses nothing (see NativeCreateTemporary); false, with
// the reason in errno, for what must stay.
bool ClearLeftover(const std::string& path, std::string_view signature) {
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0) {
        return errno == ENOENT;
    }
    if (S_ISDIR(named.st_mode)) {
        errno = static_cast<int>(kErrorFolderInTheWay);
        return false;
    }
    if (!S_ISREG(named.st_mode)) {
        // A symbolic link, a pipe, a socket or a device node: a name without data of its own,
        // removed without ever being opened.
        return Unlink(path);
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT || errno == ELOOP;
    }
    bool cleared = true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        cleared = false;
        errno = errno == EWOULDBLOCK ? static_cast<int>(kErrorTemporaryInUse) : errno;
    } else if (SameFile(fd, path)) {
        struct stat opened {};
        ::fstat(fd, &opened);
        if (opened.st_nlink > 1 || LooksLikeLeftover(fd, signature)) {
            cleared = Unlink(path);
        } else {
            cleared = false;
            errno = static_cast<int>(kErrorForeignFileInTheWay);
        }
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return cleared;
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
    // Reading never waits on a pipe without a writer: only regular files are read.
    const int blocking = access == O_RDONLY ? O_NONBLOCK : 0;
    int fd;
    do {
        fd = ::open(path.c_str(), access | creation | blocking | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return kNullHandle;
    }
    struct stat info {};
    if (access == O_RDONLY && ::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        // Only a read-only open can succeed on a folder; the others already failed with EISDIR.
        errno = S_ISDIR(info.st_mode) ? EISDIR : static_cast<int>(kErrorNotRegularFile);
        return kNullHandle;
    }
    return fd;
}

NativeHandle CreateTemporary(const std::string& path, std::string_view signature) {
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        const int fd =
            ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Held from here on; another run that took it for a leftover in the moment before
            // has it, or has removed it, so this run starts again.
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path)) {
                return fd;
            }
            ::close(fd);
            continue;
        }
        if (errno != EEXIST || !ClearLeftover(path, signature)) {
            return kNullHandle;
        }
    }
    errno = EEXIST;
    return kNullHandle;
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
    return ::fdatasync(Fd(handle)) == 0 || errno == EINVAL;
}

bool CommitTemporary(NativeHandle handle, const std::string& from, const std::string& to) {
    if (!Flush(handle)) {
        return false;
    }
    struct stat replaced {};
    if (::stat(to.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode)) {
        // The owner where this process may give it, else the group alone where it may; a change
        // of owner clears the set-user-ID bits, so the mode comes after.
        if (::fchown(Fd(handle), replaced.st_uid, replaced.st_gid) != 0) {
            static_cast<void>(::fchown(Fd(handle), static_cast<uid_t>(-1), replaced.st_gid));
        }
        if (::fchmod(Fd(handle), replaced.st_mode & 07777) != 0) {
            return false;
        }
    }
    if (!SameFile(Fd(handle), from)) {
        errno = static_cast<int>(kErrorTemporaryTakenAway);
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool Replace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool IsReadOnly(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
}

}  // namespace native_impl
