#pragma once

#include <string>

// The calling thread's last operating system error number (GetLastError on Windows, errno
// elsewhere).
long LastOsError();

// The operating system's message for an error number, without a trailing line end or full stop.
std::string OsErrorMessage(long osError);

// Maps an operating system error number to a CFileException cause.
int OsErrorToCause(long osError);

// Sets the calling thread's last operating system error number.
void SetLastOsError(long osError);

// Error numbers of this project's own, for failures the system has no number for. They lie in the
// range Windows leaves to applications (bit 29 set), which no errno value reaches either.
inline constexpr long kErrorTemporaryInUse = 0x20000001;
inline constexpr long kErrorFolderInTheWay = 0x20000002;
inline constexpr long kErrorForeignFileInTheWay = 0x20000003;
inline constexpr long kErrorNotRegularFile = 0x20000004;
inline constexpr long kErrorTemporaryTakenAway = 0x20000005;
inline constexpr long kErrorFolderGiven = 0x20000006;

// The message for one of the project's own error numbers; null for any other number.
const char* ProjectErrorMessage(long osError);

// The cause for one of the project's own error numbers; -1 for any other number.
int ProjectErrorCause(long osError);
