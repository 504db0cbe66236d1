#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "framework/native_file.h"

// The byte that ends the text of a stream in text mode, as the C library's text mode ends it.
inline constexpr char kCtrlZ = '\x1A';

// The lines that lie whole in a TextStream's buffer, read in place from a copy of the stream's
// reading state that a loop keeps in registers (TextStream::BeginInPlace), in text mode only:
// nothing else may read the stream until TextStream::EndInPlace hands the state back.
class InPlaceLines {
  public:
    // No lines.
    InPlaceLines() = default;
    // The lines of the text from `begin` to `end` in memory, read as those of a stream in text
    // mode; a last line that does not end in `lineEnd` is not read.
    InPlaceLines(char* begin, char* end, char lineEnd = '\n')
        : m_next(begin), m_stop(end), m_limit(end), m_lineEnd(lineEnd) {}

    // Sets `line` to the next line's bytes in the buffer, valid until the stream reads again,
    // ended as ReadLine ends it; the byte after them, its line end, is overwritten with a NUL, so
    // that the line also reads as a C string. False, with nothing read, when the next line starts
    // at or after the limit, or does not lie whole in the buffer.
    bool Next(std::string_view& line) {
        if (m_next >= m_limit) {
            return false;
        }
        char* feed = static_cast<char*>(
            std::memchr(m_next, m_lineEnd, static_cast<std::size_t>(m_stop - m_next)));
        if (feed == nullptr) {
            return false;
        }
        char* const bytes = m_next;
        m_next = feed + 1;
        feed -= feed > bytes && feed[-1] == '\r' ? 1 : 0;
        *feed = '\0';
        line = std::string_view(bytes, static_cast<std::size_t>(feed - bytes));
        return true;
    }

  private:
    friend class TextStream;

    char* m_next = nullptr;   // the next line's first byte
    char* m_stop = nullptr;   // the end of the text in the buffer
    char* m_limit = nullptr;  // no line starting here or after is read
    char m_lineEnd = '\n';
};

// Room in a TextStream's buffer for writing in place (TextStream::BeginPlace): bytes stored from
// `next` up to `end` are written, as they are, once TextStream::EndPlace takes them; nothing else
// may write to the stream meanwhile.
struct OutputPlace {
    char* next = nullptr;
    char* end = nullptr;

    // True when `count` more bytes fit.
    bool Fits(std::size_t count) const { return static_cast<std::size_t>(end - next) >= count; }
};

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

    // Replaces `line` with the next line without its line feed (in text mode a CR LF ending loses
    // both); false, with `line` empty, when nothing was read (end of input, or an error: see
    // Error). A line that lies whole in the buffer is copied once, straight into `line`.
    bool ReadLine(std::string& line) { return ReadLinePrefix(line, std::string::npos); }
    // ReadLine keeping only the first `maxLength` bytes of the line in `line`: the rest of the
    // line is read and dropped piece by piece, never held, so memory stays bounded on any input.
    bool ReadLinePrefix(std::string& line, std::size_t maxLength) {
        if (m_direction == Direction::reading && !m_error && m_begin < m_stop) {
            const char* bytes = m_buffer.get() + m_begin;
            const char* feed =
                static_cast<const char*>(std::memchr(bytes, m_lineEnd, m_stop - m_begin));
            // A line whole in the buffer is shorter than the buffer, so only a smaller maxLength
            // needs the check; a line longer than maxLength is cut by the reader across buffers.
            if (feed != nullptr &&
                (maxLength >= kBufferSize || static_cast<std::size_t>(feed - bytes) <= maxLength)) {
                std::size_t length = static_cast<std::size_t>(feed - bytes);
                m_begin += length + 1;
                if (m_text && length > 0 && bytes[length - 1] == '\r') {
                    --length;
                }
                line.assign(bytes, length);
                return true;
            }
        }
        return ReadLineAcrossBuffers(line, maxLength);
    }
    // Reads as fgets does: at most `size` - 1 bytes, up to and including a line feed, then a
    // terminating zero; null when nothing was read.
    char* Gets(char* buffer, int size);
    // Reads up to `count` bytes; returns how many were read.
    std::size_t Read(void* buffer, std::size_t count);
    // Reads up to `count` bytes as they are in the file, in any mode: no CR LF is joined and a
    // Ctrl-Z is a byte like any other. Returns how many were read; a buffer's worth or more is
    // read straight into `buffer` once the stream's buffer is used up.
    std::size_t ReadBytes(void* buffer, std::size_t count);
    // Makes the line readers end lines at `lineEnd`: a line feed (the default, after which a CR
    // before it is dropped in text mode) or a CR, for text whose lines end in CR alone.
    void SetLineEnd(char lineEnd) { m_lineEnd = lineEnd; }
    // Writes `count` bytes; returns how many were taken (fewer on error). The usual text, one
    // line ending in its only line feed, goes straight into the buffer.
    std::size_t Write(const void* data, std::size_t count) {
        const char* bytes = static_cast<const char*>(data);
        if (m_direction == Direction::writing && m_text && count > 0 &&
            count < kBufferSize - m_end && bytes[count - 1] == '\n' &&
            std::memchr(bytes, '\n', count - 1) == nullptr) {
            char* out = m_buffer.get() + m_end;
            std::memcpy(out, bytes, count - 1);
            out[count - 1] = '\r';
            out[count] = '\n';
            m_end += count + 1;
            return count;
        }
        return WriteAny(bytes, count);
    }
    // Writes `count` bytes as they are, in any mode: a line feed stays a line feed. Returns how
    // many were taken (fewer on error); a buffer's worth or more goes straight to the file.
    std::size_t WriteBytes(const void* data, std::size_t count);

    // Starts reading the lines that lie whole in the buffer in place (InPlaceLines), those that
    // start before the byte offset `limit`; none when the stream is not reading in text mode or
    // has failed.
    InPlaceLines BeginInPlace(long long limit) {
        InPlaceLines lines;
        if (m_direction == Direction::reading && m_text && !m_error) {
            char* const buffer = m_buffer.get();
            lines.m_next = buffer + m_begin;
            lines.m_stop = buffer + m_stop;
            const long long left = limit - (m_bufferOffset + static_cast<long long>(m_begin));
            const std::size_t available = m_stop - m_begin;
            lines.m_limit = left <= 0
                                ? lines.m_next
                                : lines.m_next + (static_cast<unsigned long long>(left) < available
                                                      ? static_cast<std::size_t>(left)
                                                      : available);
            lines.m_lineEnd = m_lineEnd;
        }
        return lines;
    }
    // Takes back the reading state after the lines BeginInPlace started were read.
    void EndInPlace(const InPlaceLines& lines) {
        if (lines.m_next != nullptr) {
            m_begin = static_cast<std::size_t>(lines.m_next - m_buffer.get());
        }
    }
    // The room left in the buffer for writing in place (OutputPlace); none when the stream is not
    // writing. In text mode the bytes stored there are not translated: a line ends in CR LF there.
    OutputPlace BeginPlace() {
        OutputPlace place;
        if (m_direction == Direction::writing && !m_error) {
            place.next = m_buffer.get() + m_end;
            place.end = m_buffer.get() + kBufferSize;
        }
        return place;
    }
    // Takes the bytes stored at the place BeginPlace gave, up to its `next`.
    void EndPlace(const OutputPlace& place) {
        if (place.next != nullptr) {
            m_end = static_cast<std::size_t>(place.next - m_buffer.get());
        }
    }

    // The byte offset of the next byte to read or write, or -1 on error.
    long long Tell() const {
        if (m_handle == kNullHandle) {
            return -1;
        }
        const std::size_t within = m_direction == Direction::reading ? m_begin : m_end;
        return m_bufferOffset + static_cast<long long>(within);
    }
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

    static constexpr std::size_t kBufferSize = 64 * 1024;

    bool ReadLineAcrossBuffers(std::string& line, std::size_t maxLength);
    std::size_t WriteAny(const char* bytes, std::size_t count);
    bool PrepareRead();
    bool PrepareWrite();
    // Drops the buffer's bytes and reads up to `count` bytes of the file into `into`: how many,
    // with m_eof set at the end of the file and the stream failed on an error when none.
    std::size_t ReadPastBuffer(char* into, std::size_t count);
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
    char m_lineEnd = '\n';
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
