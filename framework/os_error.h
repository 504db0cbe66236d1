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
