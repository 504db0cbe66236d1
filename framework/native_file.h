#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// An operating system file handle: a file descriptor on POSIX, a HANDLE on Windows.
using NativeHandle = std::intptr_t;

// The handle value of a closed file.
inline constexpr NativeHandle kNullHandle = -1;

// Every call below returns its failure value (kNullHandle, -1 or false) with the reason left in
// LastOsError().

// Opens `path` with CFile's open flags; sharing flags are honoured where the system has them.
NativeHandle NativeOpen(const std::string& path, unsigned flags);

// Creates `path` as a new file for reading and writing, never opening or writing through anything
// that already has that name. What stands there is cleared first where that loses nothing: an
// earlier run's leftover (a regular file that no running conversion holds, empty or beginning like
// `signature`), one of several names of a file, a symbolic link, or an entry that is neither file
// nor folder. Fails with kErrorTemporaryInUse while another process holds a file of that name
// created here, with kErrorFolderInTheWay or kErrorForeignFileInTheWay for what must be kept. The
// file stays held until its handle is closed, and can be moved while open.
NativeHandle NativeCreateTemporary(const std::string& path, std::string_view signature);

// Closes the handle.
bool NativeClose(NativeHandle handle);

// Reads up to `count` bytes; returns the number read (0 at end of file) or -1.
long NativeRead(NativeHandle handle, void* buffer, unsigned long count);

// Writes all `count` bytes.
bool NativeWrite(NativeHandle handle, const void* buffer, unsigned long count);

// Moves the file position (origin 0 begin, 1 current, 2 end); returns the new position or -1.
long long NativeSeek(NativeHandle handle, long long offset, int origin);

// Returns the file's length in bytes or -1; the position is not moved.
long long NativeLength(NativeHandle handle);

// Cuts or extends the file to `length` bytes.
bool NativeSetLength(NativeHandle handle, long long length);

// Commits written data, and the length, to the device.
bool NativeFlush(NativeHandle handle);

// Commits the data of the temporary `handle` made by NativeCreateTemporary(`from`) to the device
// and, while it is still open and held, moves it over `to` in one step. A file it replaces passes
// on its permission bits, and its owner and group where this process may give them (POSIX), or
// its hidden, system and not-indexed attributes (Windows).

bool NativeCommitTemporary(NativeHandle handle, const std::string& from, const std::string& to);

// Renames `from` to `to`, replacing a file that `to` names.
bool NativeReplace(const std::string& from, const std::string& to);

// Deletes the file.
bool NativeRemove(const std::string& path);

// True when the file `path` is marked read-only: no write permission for anyone (POSIX), or the
// read-only attribute (Windows); false when it is not, or cannot be looked at.
bool NativeIsReadOnly(const std::string& path);

// Test seam: makes native reads or writes fail with a chosen error once a byte budget is spent.
struct NativeFaultPlan {
    long long readBudget = -1;  // bytes that may still be read; -1 for no limit
    long readError = 0;
    long long writeBudget = -1;  // bytes that may still be written; -1 for no limit
    long writeError = 0;
    bool failClose = false;
    long closeError = 0;
    std::function<void()> beforeRead = nullptr;  // called before every read
};

// Installs a fault plan for the calling process; a default plan removes it.
void SetNativeFaultPlan(const NativeFaultPlan& plan);
