#include "core/text_file.h"

#include <climits>

#include "core/stream_mode.h"
#include "framework/os_error.h"

CTextFile::CTextFile() = default;

CTextFile::~CTextFile() {
    if (m_pStream != nullptr && m_bCloseOnDelete) {
        try {
            Close();
        } catch (const CFileException&) {
            // A destructor cannot report; the caller that needed the data closed explicitly.
        }
    }
    // The stream owns the handle and closes it with itself.
    m_hFile = hFileNull;
}

void CTextFile::Raise(int cause) const {
    long osError = m_pStream != nullptr ? m_pStream->OsError() : 0;
    if (osError == 0) {
        osError = LastOsError();
    }
    AfxThrowFileException(cause, osError, m_strFileName);
}

void CTextFile::RaiseNoStream() const {
    AfxThrowFileException(CFileException::invalidFile, 0, m_strFileName);
}

void CTextFile::RaisePositionUnknown() const {
    if (m_pStream == nullptr) {
        RaiseNoStream();
    }
    Raise(CFileException::invalidFile);
}

void CTextFile::RaiseIfReadFailed() const {
    if (m_pStream->Error()) {
        m_pStream->ClearError();
        Raise(CFileException::generic);
    }
}

void CTextFile::SetFilePath(const std::string& path) {
    m_strFileName = path;
}

bool CTextFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    m_pStream.reset();
    if (!CFile::Open(path, flags & ~static_cast<unsigned>(typeText), error)) {
        return false;
    }
    m_pStream = std::make_unique<TextStream>(m_hFile, StreamModeFor(flags));
    return true;
}

bool CTextFile::OpenTemporary(const std::string& path, std::string_view signature,
                              CFileException* error) {
    m_pStream.reset();
    if (!CFile::OpenTemporary(path, signature, error)) {
        return false;
    }
    m_pStream = std::make_unique<TextStream>(m_hFile, StreamModeFor(modeCreate | modeReadWrite));
    return true;
}

std::uint64_t CTextFile::Seek(std::int64_t offset, unsigned from) {
    TextStream& stream = Stream();
    SetLastOsError(0);
    if (!stream.Seek(offset, static_cast<int>(from))) {
        Raise(CFileException::badSeek);
    }
    return GetPosition();
}

unsigned CTextFile::Read(void* buffer, unsigned count) {
    if (count == 0) {
        return 0;
    }
    TextStream& stream = Stream();
    const std::size_t got = stream.Read(buffer, count);
    if ((got == 0 && !stream.Eof()) || stream.Error()) {
        stream.ClearError();
        Raise(CFileException::generic);
    }
    return static_cast<unsigned>(got);
}

void CTextFile::Write(const void* buffer, unsigned count) {
    if (Stream().Write(buffer, count) != count) {
        Raise(CFileException::generic);
    }
}

void CTextFile::Abort() {
    if (m_pStream != nullptr && m_bCloseOnDelete) {
        m_pStream->Close();
    }
    m_pStream.reset();
    m_hFile = hFileNull;
    m_bCloseOnDelete = false;
}

void CTextFile::Flush() {
    if (m_pStream != nullptr && !m_pStream->Flush()) {
        Raise(CFileException::diskFull);
    }
}

void CTextFile::Close() {
    bool closed = true;
    long osError = 0;
    if (m_pStream != nullptr) {
        closed = m_pStream->Close();
        osError = m_pStream->OsError();
    }
    m_pStream.reset();
    m_hFile = hFileNull;
    m_bCloseOnDelete = false;
    if (!closed) {
        AfxThrowFileException(CFileException::diskFull, osError, m_strFileName);
    }
}

char* CTextFile::ReadLine(char* buffer, unsigned maxCount) {
    TextStream& stream = Stream();
    const int size = maxCount > INT_MAX ? INT_MAX : static_cast<int>(maxCount);
    char* got = stream.Gets(buffer, size);
    if (got == nullptr && !stream.Eof()) {
        stream.ClearError();
        Raise(CFileException::generic);
    }
    return got;
}

std::size_t CTextFile::ReadBytes(void* buffer, std::size_t count) {
    TextStream& stream = Stream();
    const std::size_t got = stream.ReadBytes(buffer, count);
    if (stream.Error()) {
        stream.ClearError();
        Raise(CFileException::generic);
    }
    return got;
}
