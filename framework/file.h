#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/file_exception.h"
#include "framework/native_file.h"

// A file on disk reached through an operating system handle, closed when the object is destroyed.
class CFile {
  public:
    // Open flags: access, sharing, creation and text or binary type.
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    // Origins of Seek.
    enum SeekPosition : unsigned { begin = 0, current = 1, end = 2 };

    // The handle value of a closed file.
    static constexpr NativeHandle hFileNull = kNullHandle;

    // A closed file.
    CFile();
    // Closes the file if this object opened it.
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // The current position in bytes from the start.
    virtual std::uint64_t GetPosition() const;
    // The last component of the path, with its extension.
    virtual std::string GetFileName() const;
    // The last component of the path without its extension.
    virtual std::string GetFileTitle() const;
    // The path given to Open or SetFilePath.
    virtual std::string GetFilePath() const;
    // Records `path` as the file's path without opening anything.
    virtual void SetFilePath(const std::string& path);

    // Opens `path`; false on failure, with the cause and error number stored in `error` if given.
    virtual bool Open(const std::string& path, unsigned flags, CFileException* error = nullptr);
    // Creates `path` as a new temporary file for reading and writing, clearing only what an earlier
    // run left at that name (NativeCreateTemporary, with `signature`); false on failure, with the
    // cause and error number stored in `error` if given.
    virtual bool OpenTemporary(const std::string& path, std::string_view signature,
                               CFileException* error = nullptr);
    // Hands written data to the system, commits it to the device and moves this temporary file,
    // created at `temporaryPath`, over `target` while it stays open; raises CFileException.
    void CommitTemporary(const std::string& temporaryPath, const std::string& target);
    // Not offered by this layer: raises CNotSupportedException.
    virtual CFile* Duplicate() const;

    // Moves the position by `offset` from `from`; returns the new position.
    virtual std::uint64_t Seek(std::int64_t offset, unsigned from);
    // Cuts or extends the file to `length` bytes.
    virtual void SetLength(std::uint64_t length);
    // The file's length in bytes; the position is left where it was.
    virtual std::uint64_t GetLength() const;

    // Reads up to `count` bytes; returns how many were read (0 at end of file).
    virtual unsigned Read(void* buffer, unsigned count);
    // Writes `count` bytes.
    virtual void Write(const void* buffer, unsigned count);

    // Not offered by this layer: raise CNotSupportedException.
    virtual void LockRange(std::uint64_t position, std::uint64_t count);
    virtual void UnlockRange(std::uint64_t position, std::uint64_t count);

    // Closes without raising, ignoring errors.
    virtual void Abort();
    // Commits written data.
    virtual void Flush();
    // Closes the file; raises CFileException if the system reports an error.
    virtual void Close();

    // Moves `from` over `to`, replacing the file `to` names; raises CFileException on failure.
    static void ReplaceFile(const std::string& from, const std::string& to);
    // Deletes `path`; raises CFileException on failure.
    static void Remove(const std::string& path);

    NativeHandle m_hFile;
    bool m_bCloseOnDelete;

  protected:
    // Takes over `handle` as the open file `path`; false, with `error` filled from the last
    // operating system error if given, when `handle` is null.
    bool Attach(NativeHandle handle, const std::string& path, CFileException* error);
    // Raises CFileException for the last operating system error on this file.
    [[noreturn]] void ThrowOsError() const;

    std::string m_strFileName;
};
