#pragma once

#include <string>

#include "framework/exception.h"

// A failed file operation: what went wrong, the operating system's error number and the file.
class CFileException : public CException {
  public:
    // The causes a file operation reports.
    enum Cause {
        none = 0,
        generic = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    // An empty record: cause none, no error number, no file.
    CFileException();
    // A failure of `fileName` with `cause` and the operating system's error number `osError`.
    CFileException(int cause, long osError, std::string fileName);
    // A failure of `fileName` with `cause`, explained by `reason` rather than by an error number.
    CFileException(int cause, std::string fileName, std::string reason);

    // Maps an operating system error number to the cause it stands for.
    static int OsErrorToException(long osError);

    // The reason in words: the one given, or the operating system's message for the error number,
    // or else the cause's.
    std::string Reason() const;

    int m_cause;
    long m_lOsError;
    std::string m_strFileName;

  private:
    std::string m_reason;
};

// Throws CFileException with the given cause, operating system error number and file name.
[[noreturn]] void AfxThrowFileException(int cause, long osError, const std::string& fileName);
