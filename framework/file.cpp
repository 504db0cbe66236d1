#include "framework/file.h"

#include <string_view>

#include "framework/os_error.h"

namespace {

// Offset of the last path component: after the last '\', '/' or drive colon.
std::size_t LastComponentStart(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string_view::npos ? 0 : cut + 1;
}

}  // namespace

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(false) {}

CFile::~CFile() {
    if (m_hFile != hFileNull && m_bCloseOnDelete) {
        Abort();
    }
}

std::uint64_t CFile::GetPosition() const {
    const long long position = NativeSeek(m_hFile, 0, current);
    if (position < 0) {
        ThrowOsError();
    }
    return static_cast<std::uint64_t>(position);
}

std::string CFile::GetFileName() const {
    return m_strFileName.substr(LastComponentStart(m_strFileName));
}

std::string CFile::GetFileTitle() const {
    std::string name = GetFileName();
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string CFile::GetFilePath() const {
    return m_strFileName;
}

void CFile::SetFilePath(const std::string& path) {
    m_strFileName = path;
}

bool CFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    return Attach(NativeOpen(path, flags & ~static_cast<unsigned>(typeText)), path, error);
}

bool CFile::OpenTemporary(const std::string& path, std::string_view signature,
                          CFileException* error) {
    return Attach(NativeCreateTemporary(path, signature), path, error);
}

bool CFile::Attach(NativeHandle handle, const std::string& path, CFileException* error) {
    m_bCloseOnDelete = false;
    m_hFile = hFileNull;
    m_strFileName = path;
    if (handle == kNullHandle) {
        if (error != nullptr) {
            const long osError = LastOsError();
            *error = CFileException(CFileException::OsErrorToException(osError), osError, path);
        }
        return false;
    }
    m_hFile = handle;
    m_bCloseOnDelete = true;
    return true;
}

void CFile::CommitTemporary(const std::string& temporaryPath, const std::string& target) {
    Flush();
    if (!NativeCommitTemporary(m_hFile, temporaryPath, target)) {
        ThrowOsError();
    }
}

CFile* CFile::Duplicate() const {
    AfxThrowNotSupportedException();
}

std::uint64_t CFile::Seek(std::int64_t offset, unsigned from) {
    const long long position = NativeSeek(m_hFile, offset, static_cast<int>(from));
    if (position < 0) {
        ThrowOsError();
    }
    return static_cast<std::uint64_t>(position);
}

void CFile::SetLength(std::uint64_t length) {
    if (!NativeSetLength(m_hFile, static_cast<long long>(length))) {
        ThrowOsError();
    }
}

std::uint64_t CFile::GetLength() const {
    const long long length = NativeLength(m_hFile);
    if (length < 0) {
        ThrowOsError();
    }
    return static_cast<std::uint64_t>(length);
}

unsigned CFile::Read(void* buffer, unsigned count) {
    if (count == 0) {
        return 0;
    }
    const long got = NativeRead(m_hFile, buffer, count);
    if (got < 0) {
        ThrowOsError();
    }
    return static_cast<unsigned>(got);
}

void CFile::Write(const void* buffer, unsigned count) {
    if (count != 0 && !NativeWrite(m_hFile, buffer, count)) {
        ThrowOsError();
    }
}

void CFile::LockRange(std::uint64_t, std::uint64_t) {
    AfxThrowNotSupportedException();
}

void CFile::UnlockRange(std::uint64_t, std::uint64_t) {
    AfxThrowNotSupportedException();
}

void CFile::Abort() {
    if (m_hFile != hFileNull) {
        NativeClose(m_hFile);
        m_hFile = hFileNull;
    }
    m_bCloseOnDelete = false;
}

void CFile::Flush() {
    if (m_hFile != hFileNull && !NativeFlush(m_hFile)) {
        ThrowOsError();
    }
}

void CFile::Close() {
    bool failed = false;
    long osError = 0;
    if (m_hFile != hFileNull && !NativeClose(m_hFile)) {
        failed = true;
        osError = LastOsError();
    }
    m_hFile = hFileNull;
    m_bCloseOnDelete = false;
    if (failed) {
        AfxThrowFileException(CFileException::OsErrorToException(osError), osError, m_strFileName);
    }
}

void CFile::ReplaceFile(const std::string& from, const std::string& to) {
    if (!NativeReplace(from, to)) {
        const long osError = LastOsError();
        AfxThrowFileException(CFileException::OsErrorToException(osError), osError, to);
    }
}

void CFile::Remove(const std::string& path) {
    if (!NativeRemove(path)) {
        const long osError = LastOsError();
        AfxThrowFileException(CFileException::OsErrorToException(osError), osError, path);
    }
}

void CFile::ThrowOsError() const {
    const long osError = LastOsError();
    AfxThrowFileException(CFileException::OsErrorToException(osError), osError, m_strFileName);
}
