#include "framework/file_exception.h"

#include <array>

#include "framework/os_error.h"

namespace {

// What each cause means when the system gives no message of its own.
std::string CauseText(int cause) {
    static constexpr std::array<const char*, 15> kTexts = {
        "no error",
        "an unspecified error occurred",
        "the file was not found",
        "the path is invalid",
        "too many files are open",
        "access was denied",
        "the file is not valid or not open",
        "the current directory cannot be removed",
        "the directory is full",
        "the file position cannot be set",
        "a hardware error occurred",
        "the file is in use by another program",
        "a region of the file is locked",
        "the disk is full",
        "the end of the file was reached",
    };
    if (cause < 0 || cause >= static_cast<int>(kTexts.size())) {
        return "an unknown error occurred";
    }
    return kTexts[static_cast<std::size_t>(cause)];
}

std::string ReasonText(int cause, long osError) {
    return osError != 0 ? OsErrorMessage(osError) : CauseText(cause);
}

std::string Message(const std::string& fileName, const std::string& reason) {
    return fileName.empty() ? reason : fileName + ": " + reason;
}

}  // namespace

CFileException::CFileException() : CFileException(none, 0, std::string()) {}

CFileException::CFileException(int cause, long osError, std::string fileName)
    : CException(Message(fileName, ReasonText(cause, osError))),
      m_cause(cause),
      m_lOsError(osError),
      m_strFileName(std::move(fileName)) {}

CFileException::CFileException(int cause, std::string fileName, std::string reason)
    : CException(Message(fileName, reason)),
      m_cause(cause),
      m_lOsError(0),
      m_strFileName(std::move(fileName)),
      m_reason(std::move(reason)) {}

int CFileException::OsErrorToException(long osError) {
    return OsErrorToCause(osError);
}

std::string CFileException::Reason() const {
    return m_reason.empty() ? ReasonText(m_cause, m_lOsError) : m_reason;
}

void AfxThrowFileException(int cause, long osError, const std::string& fileName) {
    throw CFileException(cause, osError, fileName);
}
