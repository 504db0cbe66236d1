#include "core/text_stream.h"

#include <cstring>

#include "framework/os_error.h"

TextStream::TextStream(NativeHandle handle, std::string_view mode)
    : m_handle(handle), m_buffer(new char[kBufferSize]) {
    const char first = mode.empty() ? 'r' : mode.front();
    const bool plus = mode.find('+') != std::string_view::npos;
    m_canRead = first == 'r' || plus;
    m_canWrite = first != 'r' || plus;
    m_append = first == 'a';
    m_text = mode.find('b') == std::string_view::npos;
}

TextStream::~TextStream() {
    if (m_handle != kNullHandle) {
        NativeClose(m_handle);
    }
}

void TextStream::Fail(long osError) {
    m_error = true;
    m_osError = osError;
}

void TextStream::ClearError() {
    m_eof = false;
    m_error = false;
}

bool TextStream::PrepareRead() {
    if (!m_canRead || m_handle == kNullHandle) {
        Fail(0);
        return false;
    }
    if (m_direction == Direction::writing) {
        if (!FlushWrites()) {
            return false;
        }
        m_direction = Direction::reading;
        m_begin = m_end = m_stop = 0;
    }
    return true;
}

bool TextStream::PrepareWrite() {
    if (!m_canWrite || m_handle == kNullHandle) {
        Fail(0);
        return false;
    }
    if (m_direction == Direction::reading) {
        // Bytes read ahead are dropped, and the system's position brought back to ours.
        const long long position = m_bufferOffset + static_cast<long long>(m_begin);
        if (m_end != 0 && NativeSeek(m_handle, position, 0) < 0) {
            Fail(LastOsError());
            return false;
        }
        m_bufferOffset = position;
        m_begin = m_end = m_stop = 0;
        m_direction = Direction::writing;
        m_eof = false;
    }
    return true;
}

std::size_t TextStream::ReadPastBuffer(char* into, std::size_t count) {
    m_bufferOffset += static_cast<long long>(m_end);
    m_begin = m_end = m_stop = 0;
    const long got = NativeRead(m_handle, into, static_cast<unsigned long>(count));
    if (got < 0) {
        Fail(LastOsError());
        return 0;
    }
    m_eof = got == 0;
    return static_cast<std::size_t>(got);
}

bool TextStream::Fill() {
    if (m_eof) {
        return false;
    }
    m_end = ReadPastBuffer(m_buffer.get(), kBufferSize);
    if (m_end == 0) {
        return false;
    }
    m_stop = m_end;
    if (m_text) {
        if (const void* stop = std::memchr(m_buffer.get(), kCtrlZ, m_end)) {
            m_stop = static_cast<std::size_t>(static_cast<const char*>(stop) - m_buffer.get());
        }
    }
    return true;
}

int TextStream::PeekByte() {
    if (m_begin == m_end) {
        // Keep the offset of the byte about to be read while the buffer refills.
        if (!Fill()) {
            return -1;
        }
    }
    return static_cast<unsigned char>(m_buffer[m_begin]);
}

bool TextStream::ReadLineAcrossBuffers(std::string& line, std::size_t maxLength) {
    line.clear();
    if (!PrepareRead()) {
        return false;
    }
    bool read = false;
    bool fed = false;
    bool cut = false;  // bytes of the line were dropped after its first maxLength
    while (!fed) {
        if (m_begin == m_stop) {
            if (m_stop < m_end) {
                m_eof = true;  // a Ctrl-Z ends the text
                break;
            }
            if (!Fill()) {
                break;
            }
            continue;
        }
        const char* bytes = m_buffer.get() + m_begin;
        const std::size_t available = m_stop - m_begin;
        const void* feed = std::memchr(bytes, m_lineEnd, available);
        fed = feed != nullptr;
        const std::size_t take =
            fed ? static_cast<std::size_t>(static_cast<const char*>(feed) - bytes) : available;
        const std::size_t room = maxLength - line.size();
        line.append(bytes, take < room ? take : room);
        cut = cut || take > room;
        m_begin += fed ? take + 1 : take;
        read = true;
    }
    if (m_error) {
        line.clear();
        return false;
    }
    // The CR of a CR LF split across two buffers is only now known to end the line. After a cut
    // the CR before the line feed went with the dropped bytes, and a CR kept is part of the text.
    if (fed && m_text && !cut && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return read;
}

int TextStream::NextByte() {
    const int byte = PeekByte();
    if (byte < 0) {
        return -1;
    }
    if (m_text && byte == kCtrlZ) {
        m_eof = true;
        return -1;
    }
    ++m_begin;
    if (m_text && byte == '\r' && PeekByte() == '\n') {
        ++m_begin;
        return '\n';
    }
    return byte;
}

char* TextStream::Gets(char* buffer, int size) {
    if (size <= 0 || !PrepareRead()) {
        return nullptr;
    }
    int count = 0;
    while (count < size - 1) {
        const int byte = NextByte();
        if (byte < 0) {
            break;
        }
        buffer[count++] = static_cast<char>(byte);
        if (byte == '\n') {
            break;
        }
    }
    if (m_error || count == 0) {
        return nullptr;
    }
    buffer[count] = '\0';
    return buffer;
}

std::size_t TextStream::Read(void* buffer, std::size_t count) {
    if (!PrepareRead()) {
        return 0;
    }
    char* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const int byte = NextByte();
        if (byte < 0) {
            break;
        }
        out[done++] = static_cast<char>(byte);
    }
    return done;
}

std::size_t TextStream::ReadBytes(void* buffer, std::size_t count) {
    if (!PrepareRead()) {
        return 0;
    }
    char* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (m_begin == m_end && count - done >= kBufferSize && !m_eof) {
        // The buffer is used up: large reads skip it.
        const std::size_t got = ReadPastBuffer(out + done, count - done);
        if (got == 0) {
            return done;
        }
        m_bufferOffset += static_cast<long long>(got);
        done += got;
    }
    while (done < count && (m_begin < m_end || Fill())) {
        const std::size_t available = m_end - m_begin;
        const std::size_t take = count - done < available ? count - done : available;
        std::memcpy(out + done, m_buffer.get() + m_begin, take);
        m_begin += take;
        done += take;
    }
    return done;
}

bool TextStream::Append(const char* bytes, std::size_t count) {
    while (count > 0) {
        if (m_end == kBufferSize && !FlushWrites()) {
            return false;
        }
        const std::size_t room = kBufferSize - m_end;
        const std::size_t take = count < room ? count : room;
        std::memcpy(m_buffer.get() + m_end, bytes, take);
        m_end += take;
        bytes += take;
        count -= take;
    }
    return true;
}

std::size_t TextStream::WriteAny(const char* bytes, std::size_t count) {
    if (!PrepareWrite()) {
        return 0;
    }
    if (!m_text) {
        return Append(bytes, count) ? count : 0;
    }
    std::size_t done = 0;
    while (done < count) {
        const void* feed = std::memchr(bytes + done, '\n', count - done);
        const std::size_t segment =
            feed != nullptr
                ? static_cast<std::size_t>(static_cast<const char*>(feed) - bytes) - done
                : count - done;
        if (!Append(bytes + done, segment)) {
            return done;
        }
        done += segment;
        if (feed != nullptr) {
            if (!Append("\r\n", 2)) {
                return done;
            }
            ++done;
        }
    }
    return done;
}

std::size_t TextStream::WriteBytes(const void* data, std::size_t count) {
    if (!PrepareWrite()) {
        return 0;
    }
    const char* bytes = static_cast<const char*>(data);
    if (count < kBufferSize || m_append) {
        return Append(bytes, count) ? count : 0;
    }
    if (!FlushWrites()) {
        return 0;
    }
    if (!NativeWrite(m_handle, bytes, static_cast<unsigned long>(count))) {
        Fail(LastOsError());
        return 0;
    }
    m_bufferOffset += static_cast<long long>(count);
    return count;
}

bool TextStream::FlushWrites() {
    if (m_direction != Direction::writing || m_end == 0) {
        return !m_error;
    }
    if (m_append) {
        const long long end = NativeSeek(m_handle, 0, 2);
        if (end < 0) {
            Fail(LastOsError());
            return false;
        }
        m_bufferOffset = end;
    }
    if (!NativeWrite(m_handle, m_buffer.get(), static_cast<unsigned long>(m_end))) {
        Fail(LastOsError());
        m_end = 0;
        return false;
    }
    m_bufferOffset += static_cast<long long>(m_end);
    m_end = 0;
    return true;
}

bool TextStream::Seek(long long offset, int origin) {
    if (m_handle == kNullHandle || !FlushWrites()) {
        return false;
    }
    long long target = offset;
    if (origin == 1) {
        target += Tell();
    } else if (origin == 2) {
        const long long length = NativeLength(m_handle);
        if (length < 0) {
            Fail(LastOsError());
            return false;
        }
        target += length;
    } else if (origin != 0) {
        return false;
    }
    if (target < 0 || NativeSeek(m_handle, target, 0) < 0) {
        return false;
    }
    m_direction = Direction::reading;
    m_bufferOffset = target;
    m_begin = m_end = m_stop = 0;
    m_eof = false;
    return true;
}

bool TextStream::Flush() {
    return m_handle != kNullHandle && FlushWrites();
}

bool TextStream::Close() {
    if (m_handle == kNullHandle) {
        return false;
    }
    bool closed = FlushWrites();
    if (!NativeClose(m_handle)) {
        if (closed) {
            Fail(LastOsError());
        }
        closed = false;
    }
    m_handle = kNullHandle;
    // Leaves nothing for the inline reading and writing paths to use.
    m_direction = Direction::reading;
    m_begin = m_end = m_stop = 0;
    return closed;
}
