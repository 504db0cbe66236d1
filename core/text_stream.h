#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "framework/native_file.h"

// A buffered stream over an open file handle, the project's own replacement for a C runtime
// stream so that every platform reads and writes the same bytes. In text mode ("t") CR LF in the
// file reads as a single line feed, a Ctrl-Z byte ends the input, and each line feed written
// becomes CR LF; binary mode ("b") passes bytes unchanged. Positions are byte offsets in the file.
class TextStream {
  public:
    // Takes over `handle`, just opened (at offset 0) for the access the fopen-style `mode` names.
    TextStream(NativeHandle handle, std::string_view mode);
    TextStream(const TextStream&) = delete;
    TextStream& operator=(const TextStream&) = delete;
    // Closes the handle if Close has not, dropping unwritten data.
    ~TextStream();

    // Appends the next line, with its line feed if it has one, to `line`; false when nothing was
    // read (end of input, or an error: see Error).
    bool GetLine(std::string& line);
    // Reads as fgets does: at most `size` - 1 bytes, up to and including a line feed, then a
    // terminating zero; null when nothing was read.
    char* Gets(char* buffer, int size);
    // Reads up to `count` bytes; returns how many were read.
    std::size_t Read(void* buffer, std::size_t count);
    // Writes `count` bytes; returns how many were taken (fewer on error).
    std::size_t Write(const void* data, std::size_t count);

    // The byte offset of the next byte to read or write, or -1 on error.
    long long Tell() const;
    // Moves to `offset` from the start (0), the current position (1) or the end (2).
    bool Seek(long long offset, int origin);
    // Hands written data to the system.
    bool Flush();
    // Flushes and closes the handle; true when both succeeded.
    bool Close();

    // True once a read met the end of the input.
    bool Eof() const { return m_eof; }
    // True once an operation failed.
    bool Error() const { return m_error; }
    // Clears the end-of-input and error indicators.
    void ClearError();
    // The operating system's error number for the last failure, or 0.
    long OsError() const { return m_osError; }

  private:
    enum class Direction { reading, writing };

    bool PrepareRead();
    bool PrepareWrite();
    bool Fill();
    bool FlushWrites();
    bool Append(const char* bytes, std::size_t count);
    int PeekByte();
    int NextByte();
    void Fail(long osError);

    NativeHandle m_handle;
    bool m_canRead = false;
    bool m_canWrite = false;
    bool m_append = false;
    bool m_text = true;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_begin = 0;       // next unread byte while reading
    std::size_t m_end = 0;         // end of the read bytes, or of the bytes waiting to be written
    std::size_t m_stop = 0;        // end of the text among the read bytes: a Ctrl-Z, or m_end
    long long m_bufferOffset = 0;  // file offset of m_buffer[0]
    Direction m_direction = Direction::reading;
    bool m_eof = false;
    bool m_error = false;
    long m_osError = 0;
};
